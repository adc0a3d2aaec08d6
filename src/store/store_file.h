// The verse store file: its name, and how both programs open it.
#pragma once

#include <memory>
#include <string>

#include "jet/database.h"
#include "jet/file.h"
#include "jet/result.h"
#include "jet/table_def.h"

namespace store {

// The store's file name. Each program opens it in its own folder, which it makes current.
inline constexpr char kStoreFileName[] = "verse97.mdb";

struct OpenedStore {
  std::unique_ptr<jet::Database> db;
  jet::TableDef def;  // versetbl, checked to have the verse columns
};

// Opens the store for writing, or read-only when the file or its folder cannot be
// written (a read-only store still shows its verses; writes then fail one by one), and
// finds versetbl with its columns. Fails as the engine does, or with 3265 when the table
// lacks a verse column.
jet::Result<OpenedStore> OpenStore(jet::FileSystem& fs, const std::string& path);

}  // namespace store
