#include "store/data1.h"

#include <optional>

#include "jet/errors.h"
#include "store/store_file.h"
#include "store/verse_columns.h"

namespace store {
namespace {

jet::Error NoCurrentRecord() { return jet::MakeError(jet::kErrNoCurrentRecord, "No current record."); }

}  // namespace

// The cursor keeps the table's page list and the row ids of one page at a time;
// only the current row's values are read.
struct Data1::State {
  jet::FileSystem& fs;
  std::string path;
  std::unique_ptr<jet::Database> db;
  jet::TableDef def;
  std::optional<VerseColumns> columns;

  std::vector<std::uint32_t> pages;  // the table's map, in the table's order
  std::size_t pageIndex = 0;         // the page whose rows are in `rows`
  std::vector<jet::RowId> rows;
  std::size_t rowIndex = 0;  // the current row within `rows`; after a delete, the one that followed
  // Where the cursor stands: on a row, before the first (moved back past it), in
  // the gap a delete left, or nowhere (past the last row, or no rows).
  enum class Where { kNowhere, kOnRow, kBeforeFirst, kAfterDelete } where = Where::kNowhere;
  int position = -1;  // of the current row, or of the deleted one

  VerseRecord record;
  std::vector<jet::Value> values;  // the current row as read, for an optimistic delete
  std::function<void()> rowChanged;

  State(jet::FileSystem& f, std::string p) : fs(f), path(std::move(p)) {}

  void Notify() {
    if (rowChanged) rowChanged();
  }

  bool onRow() const { return where == Where::kOnRow; }

  void Clear() {
    where = Where::kNowhere;
    position = -1;
    record = {};
    values.clear();
  }

  jet::Status LoadPage(std::size_t index) {
    pageIndex = index;
    rows.clear();
    JET_ASSIGN(auto refs, db->RowsOnPage(def, pages[index]));
    for (const auto& r : refs) rows.push_back(r.id);
    return jet::Ok();
  }

  jet::Status ReadCurrent() {
    JET_ASSIGN(jet::RowRef row, db->ReadRow(def, rows[rowIndex]));
    JET_ASSIGN(values, db->RowValues(def, row.bytes));
    record = columns->ToRecord(values);
    return jet::Ok();
  }

  // Steps to the row after (rowIndex on pageIndex), or past the end; `from`
  // is where to start looking on the current page.
  jet::Status Advance(std::size_t from) {
    jet::ReadScope scope(db->pager());
    JET_TRY(scope.status());
    std::size_t index = from;
    for (;;) {
      while (index >= rows.size()) {
        if (pageIndex + 1 >= pages.size()) {
          Clear();
          return jet::Ok();  // past the last row: end of file, not a failure
        }
        JET_TRY(LoadPage(pageIndex + 1));
        index = 0;
      }
      rowIndex = index;
      where = Where::kOnRow;
      jet::Status read = ReadCurrent();
      // A row another program removed since its page was listed is passed over, so
      // the cursor goes on to the one that followed it; it no longer counts.
      if (read.ok() || read.error().number != jet::kErrRecordDeleted) return read;
      index = rowIndex + 1;
    }
  }

  jet::Status First() {
    {
      jet::ReadScope scope(db->pager());
      JET_TRY(scope.status());
      JET_ASSIGN(def, db->ReloadTable(def));
      // The map as listed: a page that is not the table's yields no rows, as in a scan,
      // and is found so only when the cursor gets there.
      JET_ASSIGN(pages, db->MappedPages(def));
      rows.clear();
      pageIndex = 0;
      if (!pages.empty()) JET_TRY(LoadPage(0));
    }
    JET_TRY(Advance(0));
    position = onRow() ? 0 : -1;
    return jet::Ok();
  }
};

Data1::Data1(jet::FileSystem& fs, std::string path) : state_(std::make_unique<State>(fs, std::move(path))) {}
Data1::~Data1() = default;

jet::Status Data1::Refresh() {
  State& s = *state_;
  s.db.reset();
  s.Clear();
  JET_ASSIGN(OpenedStore opened, OpenStore(s.fs, s.path));
  s.def = std::move(opened.def);
  JET_ASSIGN(VerseColumns columns, VerseColumns::Find(s.def));
  s.columns = columns;
  s.db = std::move(opened.db);
  jet::Status status = s.First();
  s.Notify();
  return status;
}

jet::Status Data1::MoveNext() {
  State& s = *state_;
  if (!s.db) return NoCurrentRecord();
  using Where = State::Where;
  if (s.where == Where::kBeforeFirst) return MoveFirst();
  if (s.where == Where::kNowhere) return NoCurrentRecord();
  // After a delete the row that followed moves up into the deleted row's place.
  const bool afterDelete = s.where == Where::kAfterDelete;
  const int next = afterDelete ? s.position : s.position + 1;
  jet::Status status = s.Advance(afterDelete ? s.rowIndex : s.rowIndex + 1);
  if (status.ok())
    s.position = s.onRow() ? next : -1;
  else
    s.Clear();
  s.Notify();
  return status;
}

jet::Status Data1::MoveFirst() {
  State& s = *state_;
  if (!s.db) return NoCurrentRecord();
  jet::Status status = s.First();
  if (status.ok() && !s.onRow()) status = NoCurrentRecord();  // no rows at all
  if (!status.ok()) s.Clear();
  s.Notify();
  return status;
}

jet::Status Data1::Move(int rows) {
  State& s = *state_;
  if (!s.db || !s.onRow()) return NoCurrentRecord();
  const int target = s.position + rows;
  if (target < 0) {
    s.Clear();
    s.where = State::Where::kBeforeFirst;
    s.Notify();
    return jet::Ok();
  }
  // Forward moves walk on from here; backward ones walk again from the start.
  int at = s.position;
  jet::Status status = jet::Ok();
  if (rows < 0) {
    status = s.First();
    at = 0;
  }
  for (; status.ok() && at < target && s.onRow(); ++at) status = s.Advance(s.rowIndex + 1);
  if (status.ok())
    s.position = s.onRow() ? target : -1;
  else
    s.Clear();
  s.Notify();
  return status;
}

jet::Status Data1::DeleteCurrent() {
  State& s = *state_;
  if (!s.db || !s.onRow()) return NoCurrentRecord();
  JET_TRY(s.db->Delete(s.def, s.rows[s.rowIndex], s.values));
  s.rows.erase(s.rows.begin() + static_cast<std::ptrdiff_t>(s.rowIndex));
  const int deletedAt = s.position;
  s.Clear();
  s.where = State::Where::kAfterDelete;
  s.position = deletedAt;
  s.Notify();
  return jet::Ok();
}

int Data1::Position() const { return state_->onRow() ? state_->position : -1; }
bool Data1::HasCurrent() const { return state_->onRow(); }
const VerseRecord& Data1::Current() const { return state_->record; }
void Data1::SetRowChanged(std::function<void()> handler) { state_->rowChanged = std::move(handler); }

}  // namespace store
