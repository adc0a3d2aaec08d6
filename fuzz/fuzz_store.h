// What the fuzz targets share: the verse store they start from and a read of every value.
#pragma once

#include <cstdint>
#include <vector>

#include "jet/file.h"

namespace fuzz {

inline constexpr const char* kStorePath = "verse97.mdb";

// A new verse store with three rows (one with a memo on its own page), made once.
const std::vector<std::uint8_t>& VerseStoreBytes();
// `size` bytes of a whole page or more are the store itself; fewer are patches of 3 bytes
// (page, offset / 8, value) to the verse store.
std::vector<std::uint8_t> StoreFrom(const std::uint8_t* data, std::size_t size);
// Opens the store and reads every row of every table, ignoring failures.
void ReadEveryTable(jet::FileSystem& fs, bool writable);

}  // namespace fuzz
