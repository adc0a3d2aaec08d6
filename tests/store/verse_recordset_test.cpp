// The editor's recordset over both the fake table and the real one: moves, pending
// edits, writes and failures.
#include "store/verse_recordset.h"

#include <gtest/gtest.h>

#include "jet/errors.h"
#include "store/store_worlds.h"

namespace store::test {
namespace {

const VerseRecord kJohn{"John", "3", "16", "For God so loved the world", true};
const VerseRecord kPsalm{"Psalm", "23", "1", "The LORD is my shepherd", false};
const VerseRecord kRomans{"Romans", "8", "28", "And we know that all things", true};

VerseRecord With(VerseRecord r, std::string VerseRecord::*field, std::string value) {
  r.*field = std::move(value);
  return r;
}

class VerseRecordsetTest : public testing::TestWithParam<Kind<TableWorld>> {
 protected:
  VerseRecordsetTest() { Make({kJohn, kPsalm, kRomans}); }

  void Make(const std::vector<VerseRecord>& rows) {
    world_ = GetParam().make(rows);
    rs_ = std::make_unique<VerseRecordset>(world_->table());
    errors_.clear();
    positions_.clear();
    reasons_.clear();
    rs_->SetErrorHandler([this](const jet::Error& e) { errors_.push_back(e.number); });
    rs_->SetMoveCompleteHandler([this] { positions_.push_back(rs_->AbsolutePosition()); });
    rs_->SetWillChangeRecordHandler([this](ChangeReason r, int count) {
      reasons_.push_back(r);
      EXPECT_EQ(count, 1);
    });
  }
  VerseRecordset& rs() { return *rs_; }
  void ExpectStore(const std::vector<VerseRecord>& expected) { EXPECT_EQ(world_->Stored(), expected); }
  // Where the recordset stands and what it shows: "position book", with the ends named.
  std::string At() {
    EXPECT_TRUE(rs().HasCurrent() || rs().Current() == VerseRecord{}) << "without a current row no values show";
    return std::to_string(rs().AbsolutePosition()) + (rs().Eof() ? " eof" : "") + (rs().Bof() ? " bof" : "") +
           (rs().HasCurrent() ? " " + rs().Current().book : "");
  }

  std::unique_ptr<TableWorld> world_;
  std::unique_ptr<VerseRecordset> rs_;
  std::vector<int> errors_;
  std::vector<int> positions_;
  std::vector<ChangeReason> reasons_;
};

using Op = std::function<jet::Status(VerseRecordset&)>;
const Op kNext = [](VerseRecordset& rs) { return rs.MoveNext(); };
const Op kPrevious = [](VerseRecordset& rs) { return rs.MovePrevious(); };
const Op kFirst = [](VerseRecordset& rs) { return rs.MoveFirst(); };
const Op kLast = [](VerseRecordset& rs) { return rs.MoveLast(); };
const Op kDelete = [](VerseRecordset& rs) { return rs.Delete(); };
const Op kAddNew = [](VerseRecordset& rs) { return rs.AddNew(); };
Op Nav(NavButton b) {
  return [b](VerseRecordset& rs) { return rs.Navigate(b); };
}

// Each walk opens the three rows, applies its steps and ends where it says; a step that
// must fail names its error.
TEST_P(VerseRecordsetTest, MovesStopAtTheEndsAndTheNavigationBarStaysOnRows) {
  struct Step {
    Op op;
    int error;
    std::string at;
  };
  const std::vector<std::vector<Step>> walks = {
      {{kNext, 0, "2 Psalm"}, {kNext, 0, "3 Romans"}, {kNext, 0, "-3 eof"}, {kNext, 3021, "-3 eof"},
       {kPrevious, 0, "3 Romans"}},
      {{kLast, 0, "3 Romans"}, {kPrevious, 0, "2 Psalm"}, {kFirst, 0, "1 John"}, {kPrevious, 0, "-2 bof"},
       {kPrevious, 3021, "-2 bof"}, {kNext, 0, "1 John"}},
      {{Nav(NavButton::kPrevious), 0, "1 John"}, {Nav(NavButton::kLast), 0, "3 Romans"},
       {Nav(NavButton::kNext), 0, "3 Romans"}, {Nav(NavButton::kPrevious), 0, "2 Psalm"},
       {Nav(NavButton::kFirst), 0, "1 John"}, {Nav(NavButton::kNext), 0, "2 Psalm"}},
      // Delete leaves no current row; the next move goes on from the gap.
      {{kNext, 0, "2 Psalm"}, {kDelete, 0, "-1"}, {kNext, 0, "2 Romans"}},
      {{kLast, 0, "3 Romans"}, {kDelete, 0, "-1"}, {kPrevious, 0, "2 Psalm"}},
      {{kLast, 0, "3 Romans"}, {kDelete, 0, "-1"}, {kNext, 0, "-3 eof"}, {kLast, 0, "2 Psalm"}},
      {{kPrevious, 0, "-2 bof"}, {kDelete, 3021, "-2 bof"}},
  };
  for (std::size_t w = 0; w < walks.size(); ++w) {
    SCOPED_TRACE("walk " + std::to_string(w));
    Make({kJohn, kPsalm, kRomans});
    ASSERT_OK(rs().Open());
    EXPECT_EQ(At(), "1 John");
    for (const Step& step : walks[w]) {
      jet::Status status = step.op(rs());
      EXPECT_EQ(status.ok() ? 0 : status.error().number, step.error);
      EXPECT_EQ(At(), step.at);
    }
    EXPECT_TRUE(errors_.empty());
  }
  EXPECT_EQ(positions_, (std::vector<int>{1, kPosBof})) << "a refused delete moves nothing";
  EXPECT_EQ(reasons_, std::vector<ChangeReason>{});
  ExpectStore({kJohn, kPsalm, kRomans});
}

TEST_P(VerseRecordsetTest, AnEmptyTableHasBothEndsAndNothingToMoveTo) {
  Make({});
  ASSERT_OK(rs().Open());
  EXPECT_EQ(At(), "-1 eof bof");
  for (auto button : {NavButton::kFirst, NavButton::kPrevious, NavButton::kNext, NavButton::kLast}) {
    EXPECT_OK(rs().Navigate(button));
  }
  EXPECT_ERROR(rs().MoveLast(), jet::kErrNoCurrentRecord);
  EXPECT_ERROR(rs().SetField(VerseColumn::kBook, "Amos"), jet::kErrNoCurrentRecord);
  EXPECT_TRUE(errors_.empty());
}

TEST_P(VerseRecordsetTest, EveryNotificationMayBeLeftUnset) {
  VerseRecordset bare(world_->table());
  ASSERT_OK(bare.Open());
  ASSERT_OK(bare.AddNew());
  ASSERT_OK(bare.Delete());
  ASSERT_OK(bare.MoveFirst());
  ASSERT_OK(bare.SetField(VerseColumn::kBook, std::string(kBookLength + 1, 'x')));
  EXPECT_ERROR(bare.Close(), jet::kErrFieldTooSmall);
  ExpectStore({kJohn, kPsalm, kRomans});
}

TEST_P(VerseRecordsetTest, AFailedReadIsReportedAndKeepsWhatWasShown) {
  world_->BreakReads();
  EXPECT_FALSE(rs().Open().ok());
  EXPECT_EQ(errors_.size(), 1u) << "the data control's own action reports it";
  EXPECT_EQ(rs().RecordCount(), 0);
  EXPECT_TRUE(positions_.empty());
  Make({kJohn, kPsalm, kRomans});
  ASSERT_OK(rs().Open());
  ASSERT_OK(rs().MoveNext());
  world_->BreakReads();
  EXPECT_FALSE(rs().Refresh().ok());
  EXPECT_EQ(At(), "2 Psalm");
  EXPECT_EQ(rs().RecordCount(), 3);
}

// Edits stay pending until the user leaves the row; every way of leaving writes them,
// and typing the stored text back leaves nothing to write.
TEST_P(VerseRecordsetTest, EditsAreWrittenWhenTheUserLeavesTheRow) {
  ASSERT_OK(rs().Open());
  ASSERT_OK(rs().SetField(VerseColumn::kBook, "Jude"));
  ASSERT_OK(rs().SetField(VerseColumn::kBook, "John"));
  EXPECT_FALSE(rs().HasPendingChanges());
  ASSERT_OK(rs().SetField(VerseColumn::kVerseTxt, "God so loved"));
  EXPECT_TRUE(rs().HasPendingChanges());
  ExpectStore({kJohn, kPsalm, kRomans});
  ASSERT_OK(rs().MoveNext());
  ASSERT_OK(rs().SetField(VerseColumn::kBook, "Ps"));
  ASSERT_OK(rs().MovePrevious());
  ASSERT_OK(rs().SetField(VerseColumn::kChapter, "4"));
  ASSERT_OK(rs().MoveLast());
  ASSERT_OK(rs().SetField(VerseColumn::kVerses, "28-29"));
  ASSERT_OK(rs().MoveFirst());
  ASSERT_OK(rs().MoveNext());
  ASSERT_OK(rs().SetField(VerseColumn::kVerses, "1-2"));
  ASSERT_OK(rs().UpdateBatch());
  EXPECT_EQ(At(), "2 Ps") << "UpdateBatch stays on the row";
  EXPECT_FALSE(rs().HasPendingChanges());
  // The Read column is written back as it was read.
  ExpectStore({With(With(kJohn, &VerseRecord::verseTxt, "God so loved"), &VerseRecord::chapter, "4"),
               With(With(kPsalm, &VerseRecord::book, "Ps"), &VerseRecord::verses, "1-2"),
               With(kRomans, &VerseRecord::verses, "28-29")});
  EXPECT_EQ(reasons_, std::vector<ChangeReason>(5, ChangeReason::kUpdate));
}

TEST_P(VerseRecordsetTest, AddNewAppendsARowWrittenWhenTheUserLeavesIt) {
  ASSERT_OK(rs().Open());
  ASSERT_OK(rs().SetField(VerseColumn::kChapter, "1"));
  ASSERT_OK(rs().AddNew());  // writes the row it leaves
  EXPECT_EQ(At(), "4 ");
  EXPECT_EQ(world_->Stored().size(), 3u);
  ASSERT_OK(rs().SetField(VerseColumn::kBook, "Micah"));
  ASSERT_OK(rs().SetField(VerseColumn::kVerseTxt, "He hath shewed thee, O man"));
  ASSERT_OK(rs().AddNew());
  ASSERT_OK(rs().MoveFirst());  // an added row left empty is written empty
  ExpectStore({With(kJohn, &VerseRecord::chapter, "1"), kPsalm, kRomans,
               VerseRecord{"Micah", "", "", "He hath shewed thee, O man", false}, VerseRecord{}});
  EXPECT_EQ(reasons_, (std::vector<ChangeReason>{ChangeReason::kUpdate, ChangeReason::kAddNew, ChangeReason::kUpdate,
                                                 ChangeReason::kAddNew, ChangeReason::kUpdate}));
  EXPECT_EQ(positions_, (std::vector<int>{1, 4, 5, 1}));
  world_->ExpectSound();
}

TEST_P(VerseRecordsetTest, CancelUpdateAndDeletingAnUnwrittenRowTouchNothingStored) {
  ASSERT_OK(rs().Open());
  ASSERT_OK(rs().SetField(VerseColumn::kBook, "Jonah"));
  rs().CancelUpdate();
  EXPECT_EQ(rs().Current(), kJohn);
  EXPECT_FALSE(rs().HasPendingChanges());
  for (const Op& dropRow : {Op([](VerseRecordset& r) { r.CancelUpdate(); return jet::Ok(); }), kDelete}) {
    ASSERT_OK(rs().AddNew());
    ASSERT_OK(rs().SetField(VerseColumn::kBook, "Ruth"));
    ASSERT_OK(dropRow(rs()));
    EXPECT_EQ(At(), "-1");
    EXPECT_EQ(rs().RecordCount(), 3);
    EXPECT_FALSE(rs().HasPendingChanges());
    ASSERT_OK(rs().MovePrevious());
    EXPECT_EQ(rs().Current(), kRomans);
  }
  ExpectStore({kJohn, kPsalm, kRomans});
  EXPECT_EQ(reasons_, (std::vector<ChangeReason>{ChangeReason::kAddNew, ChangeReason::kAddNew, ChangeReason::kDelete}));
}

TEST_P(VerseRecordsetTest, DeleteRemovesTheRowAtOnce) {
  Make({kJohn});
  ASSERT_OK(rs().Open());
  ASSERT_OK(rs().Delete());
  ASSERT_OK(rs().MoveNext());
  EXPECT_EQ(At(), "-1 eof bof");
  EXPECT_ERROR(rs().MoveLast(), jet::kErrNoCurrentRecord);
  EXPECT_EQ(rs().RecordCount(), 0);
  ExpectStore({});
  EXPECT_EQ(reasons_, std::vector<ChangeReason>{ChangeReason::kDelete});
}

// A write the file refuses refuses the operation that caused it: the row stays current
// with the typed values and nothing is stored; the data control's own actions also
// report it. Once the value fits, the same operation writes it.
TEST_P(VerseRecordsetTest, AFailedWriteKeepsTheRowAndTheTypedValues) {
  const std::pair<Op, bool> ops[] = {
      {kNext, false},
      {kAddNew, false},
      {[](VerseRecordset& rs) { return rs.Refresh(); }, false},
      {[](VerseRecordset& rs) { return rs.UpdateBatch(); }, false},
      {Nav(NavButton::kNext), true},
      {[](VerseRecordset& rs) { return rs.Close(); }, true},
  };
  for (const auto& [op, reported] : ops) {
    Make({kJohn, kPsalm, kRomans});
    ASSERT_OK(rs().Open());
    const std::string tooLong(kBookLength + 1, 'x');
    ASSERT_OK(rs().SetField(VerseColumn::kBook, tooLong));
    EXPECT_ERROR(op(rs()), jet::kErrFieldTooSmall);
    EXPECT_EQ(At(), "1 " + tooLong);
    EXPECT_EQ(rs().RecordCount(), 3);
    EXPECT_TRUE(rs().HasPendingChanges());
    EXPECT_EQ(errors_, reported ? std::vector<int>{jet::kErrFieldTooSmall} : std::vector<int>{});
    EXPECT_EQ(positions_, std::vector<int>{1});
    ExpectStore({kJohn, kPsalm, kRomans});
    ASSERT_OK(rs().SetField(VerseColumn::kBook, "Jonah"));
    ASSERT_OK(op(rs()));
    EXPECT_EQ(world_->Stored()[0], With(kJohn, &VerseRecord::book, "Jonah"));
  }
}

// Another program changed the row: the write is refused once, the row shows their
// change where the user typed nothing, and the next write saves the user's change.
TEST_P(VerseRecordsetTest, ARowChangedByAnotherProgramIsRefusedOnceThenWritten) {
  const VerseRecord theirs = With(kJohn, &VerseRecord::verses, "16-17");
  ASSERT_OK(rs().Open());
  ASSERT_OK(rs().SetField(VerseColumn::kVerseTxt, "God so loved"));
  world_->ChangeElsewhere(0, theirs);
  jet::Status status = rs().MoveNext();
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().number, jet::kErrWriteConflict);
  EXPECT_NE(status.error().description.find("update again"), std::string::npos) << status.error().description;
  EXPECT_EQ(rs().Current(), With(theirs, &VerseRecord::verseTxt, "God so loved"));
  ExpectStore({theirs, kPsalm, kRomans});
  ASSERT_OK(rs().UpdateBatch());
  ExpectStore({With(theirs, &VerseRecord::verseTxt, "God so loved"), kPsalm, kRomans});
  // A delete likewise: refused once, then done.
  world_->ChangeElsewhere(0, kJohn);
  EXPECT_ERROR(rs().Delete(), jet::kErrWriteConflict);
  EXPECT_EQ(At(), "1 John");
  ASSERT_OK(rs().Delete());
  ExpectStore({kPsalm, kRomans});
}

// The editor's row was written, another program removed it, the user typed: every way
// of writing it is refused once, then saves the typed values as a new row. Deleting a
// row that is gone succeeds.
TEST_P(VerseRecordsetTest, ARowRemovedByAnotherProgramIsSavedAgainAsANewRow) {
  for (const Op& write : {Op([](VerseRecordset& rs) { return rs.UpdateBatch(); }), kPrevious,
                          Op([](VerseRecordset& rs) { return rs.Refresh(); }),
                          Op([](VerseRecordset& rs) { return rs.Close(); })}) {
    Make({kJohn, kPsalm, kRomans});
    ASSERT_OK(rs().Open());
    ASSERT_OK(rs().MoveNext());
    ASSERT_OK(rs().SetField(VerseColumn::kVerses, "1-6"));
    world_->RemoveElsewhere(1);
    jet::Status refused = write(rs());
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().number, jet::kErrRecordDeleted);
    EXPECT_NE(refused.error().description.find("as a new row"), std::string::npos) << refused.error().description;
    EXPECT_EQ(At(), "2 Psalm");
    EXPECT_EQ(rs().Current().verses, "1-6");
    ASSERT_OK(write(rs()));
    ExpectStore({kJohn, kRomans, With(kPsalm, &VerseRecord::verses, "1-6")});
  }
  Make({kJohn, kPsalm, kRomans});
  ASSERT_OK(rs().Open());
  world_->RemoveElsewhere(0);
  ASSERT_OK(rs().Delete());
  ASSERT_OK(rs().MoveNext());
  EXPECT_EQ(rs().Current(), kPsalm);
}

TEST_P(VerseRecordsetTest, RefreshWritesPendingEditsThenShowsTheFirstRowOfAFreshRead) {
  ASSERT_OK(rs().Open());
  ASSERT_OK(rs().MoveLast());
  ASSERT_OK(rs().SetField(VerseColumn::kChapter, "9"));
  world_->AddElsewhere(kPsalm);
  ASSERT_OK(rs().Refresh());
  EXPECT_EQ(rs().RecordCount(), 4);
  EXPECT_EQ(At(), "1 John");
  EXPECT_EQ(positions_.back(), 1);
  ExpectStore({kJohn, kPsalm, With(kRomans, &VerseRecord::chapter, "9"), kPsalm});
}

INSTANTIATE_TEST_SUITE_P(BothTables, VerseRecordsetTest, kTableKinds, KindName<Kind<TableWorld>>);

}  // namespace
}  // namespace store::test
