// The reminder's data control: a cursor over versetbl in the table's own order
// that reads one page of rows at a time, so a whole-Bible store opens as fast
// as a small one.
#pragma once

#include <memory>
#include <string>

#include "jet/database.h"
#include "jet/file.h"
#include "store/verse_cursor.h"

namespace store {

class Data1 final : public VerseCursor {
 public:
  // `path` names the store; nothing is opened before Refresh.
  Data1(jet::FileSystem& fs, std::string path);
  ~Data1() override;

  jet::Status Refresh() override;
  jet::Status MoveNext() override;
  jet::Status MoveFirst() override;
  jet::Status Move(int rows) override;
  jet::Status DeleteCurrent() override;
  int Position() const override;
  bool HasCurrent() const override;
  const VerseRecord& Current() const override;
  void SetRowChanged(std::function<void()> handler) override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace store
