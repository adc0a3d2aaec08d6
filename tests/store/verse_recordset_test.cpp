// The editor's recordset against an in-memory table: moves, pending edits, writes and failures.
#include "store/verse_recordset.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "jet/errors.h"
#include "store/verse_schema.h"
#include "support/fake_verse_table.h"
#include "support/result_assert.h"
#include "support/verse_print.h"

namespace store {
namespace {

using support::FakeVerseTable;
using support::SameRecord;

const VerseRecord kJohn{"John", "3", "16", "For God so loved the world", true};
const VerseRecord kPsalm{"Psalm", "23", "1", "The LORD is my shepherd", false};
const VerseRecord kRomans{"Romans", "8", "28", "And we know that all things", true};

class VerseRecordsetTest : public ::testing::Test {
 protected:
  VerseRecordsetTest() : table_({kJohn, kPsalm, kRomans}), rs_(table_) { Listen(); }

  void Listen() {
    rs_.SetErrorHandler([this](const jet::Error& e) { errors_.push_back(e.description); });
    rs_.SetMoveCompleteHandler([this] { positions_.push_back(rs_.AbsolutePosition()); });
    rs_.SetWillChangeRecordHandler([this](ChangeReason r, int rows) {
      reasons_.push_back(r);
      EXPECT_EQ(rows, 1);
    });
  }

  void ExpectStore(const std::vector<VerseRecord>& expected) {
    auto actual = table_.Records();
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_TRUE(SameRecord(actual[i], expected[i])) << "row " << i << ": " << actual[i].book << " "
                                                      << actual[i].verseTxt;
    }
  }

  FakeVerseTable table_;
  VerseRecordset rs_;
  std::vector<std::string> errors_;
  std::vector<int> positions_;
  std::vector<ChangeReason> reasons_;
};

TEST_F(VerseRecordsetTest, OpenShowsTheFirstRowOfTheTableInItsOrder) {
  ASSERT_OK(rs_.Open());
  EXPECT_EQ(rs_.RecordCount(), 3);
  EXPECT_EQ(rs_.AbsolutePosition(), 1);
  EXPECT_TRUE(SameRecord(rs_.Current(), kJohn));
  EXPECT_FALSE(rs_.Eof());
  EXPECT_FALSE(rs_.Bof());
  EXPECT_EQ(positions_, std::vector<int>{1});
}

TEST_F(VerseRecordsetTest, OpenOfAnEmptyTableHasNoCurrentRowAndBothEnds) {
  FakeVerseTable empty;
  VerseRecordset rs(empty);
  ASSERT_OK(rs.Open());
  EXPECT_FALSE(rs.HasCurrent());
  EXPECT_TRUE(rs.Eof());
  EXPECT_TRUE(rs.Bof());
  EXPECT_EQ(rs.AbsolutePosition(), kPosUnknown);
  EXPECT_EQ(rs.Current().book, "");
}

TEST_F(VerseRecordsetTest, OpenFailureIsReportedThroughTheErrorNotification) {
  table_.FailNext(FakeVerseTable::Operation::kReadAll,
                  jet::MakeError(jet::kErrFileNotFound, "Could not find file 'verse97.mdb'."));
  EXPECT_ERROR(rs_.Open(), jet::kErrFileNotFound);
  EXPECT_EQ(errors_, std::vector<std::string>{"Could not find file 'verse97.mdb'."});
  EXPECT_EQ(rs_.RecordCount(), 0);
  EXPECT_TRUE(positions_.empty());
  EXPECT_ERROR(rs_.MoveLast(), jet::kErrNoCurrentRecord);
}

TEST_F(VerseRecordsetTest, MoveNextWalksTheRowsOntoEndOfFileAndNoFurther) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.MoveNext());
  EXPECT_TRUE(SameRecord(rs_.Current(), kPsalm));
  ASSERT_OK(rs_.MoveNext());
  ASSERT_OK(rs_.MoveNext());
  EXPECT_TRUE(rs_.Eof());
  EXPECT_FALSE(rs_.HasCurrent());
  EXPECT_EQ(rs_.AbsolutePosition(), kPosEof);
  EXPECT_ERROR(rs_.MoveNext(), jet::kErrNoCurrentRecord);
  EXPECT_EQ(positions_, (std::vector<int>{1, 2, 3, kPosEof}));
  ASSERT_OK(rs_.MovePrevious());
  EXPECT_EQ(rs_.AbsolutePosition(), 3);
}

TEST_F(VerseRecordsetTest, MovePreviousWalksBackOntoBeginningOfFileAndNoFurther) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.MoveLast());
  ASSERT_OK(rs_.MovePrevious());
  EXPECT_EQ(rs_.AbsolutePosition(), 2);
  ASSERT_OK(rs_.MoveFirst());
  ASSERT_OK(rs_.MovePrevious());
  EXPECT_TRUE(rs_.Bof());
  EXPECT_EQ(rs_.AbsolutePosition(), kPosBof);
  EXPECT_ERROR(rs_.MovePrevious(), jet::kErrNoCurrentRecord);
  ASSERT_OK(rs_.MoveNext());
  EXPECT_EQ(rs_.AbsolutePosition(), 1);
}

TEST_F(VerseRecordsetTest, NavigationBarStaysOnTheFirstAndLastRows) {
  ASSERT_OK(rs_.Open());
  EXPECT_OK(rs_.Navigate(NavButton::kPrevious));
  EXPECT_EQ(rs_.AbsolutePosition(), 1);
  EXPECT_OK(rs_.Navigate(NavButton::kLast));
  EXPECT_EQ(rs_.AbsolutePosition(), 3);
  EXPECT_OK(rs_.Navigate(NavButton::kNext));
  EXPECT_EQ(rs_.AbsolutePosition(), 3);
  EXPECT_OK(rs_.Navigate(NavButton::kPrevious));
  EXPECT_EQ(rs_.AbsolutePosition(), 2);
  EXPECT_OK(rs_.Navigate(NavButton::kFirst));
  EXPECT_EQ(rs_.AbsolutePosition(), 1);
  EXPECT_OK(rs_.Navigate(NavButton::kNext));
  EXPECT_EQ(rs_.AbsolutePosition(), 2);
  EXPECT_EQ(positions_.back(), 2);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(VerseRecordsetTest, NavigationBarOnAnEmptyTableDoesNothing) {
  FakeVerseTable empty;
  VerseRecordset rs(empty);
  int errors = 0;
  rs.SetErrorHandler([&](const jet::Error&) { ++errors; });
  ASSERT_OK(rs.Open());
  for (auto button : {NavButton::kFirst, NavButton::kPrevious, NavButton::kNext, NavButton::kLast}) {
    EXPECT_OK(rs.Navigate(button));
  }
  EXPECT_EQ(errors, 0);
  EXPECT_FALSE(rs.HasCurrent());
}

TEST_F(VerseRecordsetTest, EditsStayPendingUntilTheUserMovesOffTheRow) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kVerseTxt, "For God so loved the world, that he gave"));
  EXPECT_TRUE(rs_.HasPendingChanges());
  ExpectStore({kJohn, kPsalm, kRomans});
  ASSERT_OK(rs_.MoveNext());
  VerseRecord written = kJohn;
  written.verseTxt = "For God so loved the world, that he gave";
  ExpectStore({written, kPsalm, kRomans});
  EXPECT_FALSE(rs_.HasPendingChanges());
  EXPECT_EQ(reasons_, std::vector<ChangeReason>{ChangeReason::kUpdate});
}

TEST_F(VerseRecordsetTest, EveryKindOfMoveWritesThePendingEdits) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.MoveNext());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Psalms"));
  ASSERT_OK(rs_.MovePrevious());
  ASSERT_OK(rs_.SetField(VerseColumn::kChapter, "4"));
  ASSERT_OK(rs_.MoveLast());
  ASSERT_OK(rs_.SetField(VerseColumn::kVerses, "28-29"));
  ASSERT_OK(rs_.MoveFirst());
  VerseRecord john = kJohn, psalm = kPsalm, romans = kRomans;
  psalm.book = "Psalms";
  john.chapter = "4";
  romans.verses = "28-29";
  ExpectStore({john, psalm, romans});
  EXPECT_EQ(table_.writeCount(), 3);
}

TEST_F(VerseRecordsetTest, TypingTheStoredTextBackLeavesNothingToWrite) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Jude"));
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "John"));
  EXPECT_FALSE(rs_.HasPendingChanges());
  ASSERT_OK(rs_.MoveNext());
  EXPECT_EQ(table_.writeCount(), 0);
  EXPECT_TRUE(reasons_.empty());
}

TEST_F(VerseRecordsetTest, UpdateBatchWritesTheCurrentRowAndStaysOnIt) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.MoveNext());
  ASSERT_OK(rs_.SetField(VerseColumn::kVerses, "1-2"));
  ASSERT_OK(rs_.UpdateBatch());
  EXPECT_EQ(rs_.AbsolutePosition(), 2);
  EXPECT_EQ(table_.Records()[1].verses, "1-2");
  EXPECT_FALSE(rs_.HasPendingChanges());
}

TEST_F(VerseRecordsetTest, TheReadColumnIsWrittenBackAsItWasRead) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Jn"));  // John is read
  ASSERT_OK(rs_.MoveNext());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Ps"));  // Psalm is not
  ASSERT_OK(rs_.UpdateBatch());
  EXPECT_TRUE(table_.Records()[0].read);
  EXPECT_FALSE(table_.Records()[1].read);
  EXPECT_TRUE(table_.Records()[2].read);
}

TEST_F(VerseRecordsetTest, AddNewAppendsAnEmptyCurrentRowWrittenWhenTheUserLeavesIt) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.AddNew());
  EXPECT_EQ(rs_.AbsolutePosition(), 4);
  EXPECT_TRUE(SameRecord(rs_.Current(), VerseRecord{}));
  EXPECT_EQ(table_.Records().size(), 3u);
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Micah"));
  ASSERT_OK(rs_.SetField(VerseColumn::kVerseTxt, "He hath shewed thee, O man"));
  ASSERT_OK(rs_.MoveFirst());
  ExpectStore({kJohn, kPsalm, kRomans, VerseRecord{"Micah", "", "", "He hath shewed thee, O man", false}});
  EXPECT_EQ(reasons_, (std::vector<ChangeReason>{ChangeReason::kAddNew, ChangeReason::kUpdate}));
  EXPECT_EQ(positions_, (std::vector<int>{1, 4, 1}));
}

TEST_F(VerseRecordsetTest, AnAddedRowLeftEmptyIsStillWrittenAsAnEmptyRow) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.AddNew());
  ASSERT_OK(rs_.MovePrevious());
  ExpectStore({kJohn, kPsalm, kRomans, VerseRecord{}});
}

TEST_F(VerseRecordsetTest, AddNewWritesThePendingEditsOfTheRowItLeaves) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kChapter, "1"));
  ASSERT_OK(rs_.AddNew());
  EXPECT_EQ(table_.Records()[0].chapter, "1");
}

TEST_F(VerseRecordsetTest, AFailedWriteKeepsTheRowCurrentAndTheTypedValues) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Jonah"));
  table_.SetReadOnly(true);
  EXPECT_ERROR(rs_.MoveNext(), jet::kErrReadOnly);
  EXPECT_ERROR(rs_.AddNew(), jet::kErrReadOnly);
  EXPECT_ERROR(rs_.Refresh(), jet::kErrReadOnly);
  EXPECT_EQ(rs_.AbsolutePosition(), 1);
  EXPECT_EQ(rs_.RecordCount(), 3);
  EXPECT_EQ(rs_.Current().book, "Jonah");
  EXPECT_TRUE(rs_.HasPendingChanges());
  ExpectStore({kJohn, kPsalm, kRomans});
  EXPECT_EQ(positions_, std::vector<int>{1});

  table_.SetReadOnly(false);
  ASSERT_OK(rs_.MoveNext());
  EXPECT_EQ(table_.Records()[0].book, "Jonah");
}

TEST_F(VerseRecordsetTest, AFailedWriteFromTheNavigationBarGoesToTheErrorNotification) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Jonah"));
  table_.SetReadOnly(true);
  EXPECT_ERROR(rs_.Navigate(NavButton::kNext), jet::kErrReadOnly);
  EXPECT_EQ(errors_, std::vector<std::string>{"Cannot update. Database or object is read-only."});
  EXPECT_EQ(rs_.AbsolutePosition(), 1);
  EXPECT_EQ(rs_.Current().book, "Jonah");
}

TEST_F(VerseRecordsetTest, TextTheCodePageCannotHoldIsRefusedAndTheStoreIsUnchanged) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kVerseTxt, "\xE1\xBC\x90\xCE\xBD \xE1\xBC\x80\xCF\x81\xCF\x87\xE1\xBF\x87"));
  jet::Status status = rs_.UpdateBatch();
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().number, jet::kErrCannotEncode);
  EXPECT_FALSE(status.error().description.empty());
  ExpectStore({kJohn, kPsalm, kRomans});
  EXPECT_TRUE(rs_.HasPendingChanges());
  EXPECT_EQ(rs_.Current().verseTxt, "\xE1\xBC\x90\xCE\xBD \xE1\xBC\x80\xCF\x81\xCF\x87\xE1\xBF\x87");
}

TEST_F(VerseRecordsetTest, AValueTooLongForItsColumnIsRefused) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, std::string(kBookLength + 1, 'x')));
  EXPECT_ERROR(rs_.MoveNext(), jet::kErrFieldTooSmall);
  ExpectStore({kJohn, kPsalm, kRomans});
  EXPECT_EQ(rs_.AbsolutePosition(), 1);
}

TEST_F(VerseRecordsetTest, ARowChangedByAnotherProgramIsRefusedAndTheTypedValuesStay) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kVerseTxt, "God so loved"));
  VerseRecord theirs = kJohn;
  theirs.verses = "16-17";
  table_.ChangeByOtherProgram(0, theirs);

  jet::Status status = rs_.MoveNext();
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().number, jet::kErrWriteConflict);
  EXPECT_NE(status.error().description.find("update again"), std::string::npos);
  EXPECT_EQ(rs_.AbsolutePosition(), 1);
  EXPECT_EQ(rs_.Current().verseTxt, "God so loved");
  EXPECT_EQ(rs_.Current().verses, "16-17");  // their change shows where the user typed nothing
  ExpectStore({theirs, kPsalm, kRomans});

  ASSERT_OK(rs_.UpdateBatch());
  VerseRecord merged = theirs;
  merged.verseTxt = "God so loved";
  ExpectStore({merged, kPsalm, kRomans});
}

// The editor's row was written blank, the reminder removed it, the user typed: every
// way of writing it is refused once, then saves the typed values as a new row.
TEST_F(VerseRecordsetTest, ARowRemovedByAnotherProgramIsSavedAgainAsANewRow) {
  struct Case {
    const char* what;
    std::function<jet::Status(VerseRecordset&)> write;
  };
  const Case cases[] = {
      {"update", [](VerseRecordset& rs) { return rs.UpdateBatch(); }},
      {"move", [](VerseRecordset& rs) { return rs.MovePrevious(); }},
      {"refresh", [](VerseRecordset& rs) { return rs.Refresh(); }},
      {"close", [](VerseRecordset& rs) { return rs.Close(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeVerseTable table({kJohn, kPsalm, kRomans});
    VerseRecordset rs(table);
    ASSERT_OK(rs.Open());
    ASSERT_OK(rs.MoveNext());
    ASSERT_OK(rs.SetField(VerseColumn::kVerses, "1-6"));
    table.DeleteByOtherProgram(1);
    jet::Status refused = c.write(rs);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().number, jet::kErrRecordDeleted);
    EXPECT_NE(refused.error().description.find("as a new row"), std::string::npos) << refused.error().description;
    EXPECT_EQ(rs.AbsolutePosition(), 2);
    EXPECT_EQ(rs.Current().verses, "1-6");
    ASSERT_OK(c.write(rs));
    VerseRecord saved = kPsalm;
    saved.verses = "1-6";
    EXPECT_EQ(table.Records(), (std::vector<VerseRecord>{kJohn, kRomans, saved}));
  }
}

TEST_F(VerseRecordsetTest, DeleteOfARowAnotherProgramRemovedSucceeds) {
  ASSERT_OK(rs_.Open());
  table_.DeleteByOtherProgram(0);
  ASSERT_OK(rs_.Delete());
  ASSERT_OK(rs_.MoveNext());
  EXPECT_TRUE(SameRecord(rs_.Current(), kPsalm));
  ExpectStore({kPsalm, kRomans});
}

TEST_F(VerseRecordsetTest, CancelUpdateGivesUpTheEditsOfTheCurrentRowOnly) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Jonah"));
  rs_.CancelUpdate();
  EXPECT_TRUE(SameRecord(rs_.Current(), kJohn));
  EXPECT_FALSE(rs_.HasPendingChanges());
  ASSERT_OK(rs_.AddNew());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Ruth"));
  rs_.CancelUpdate();  // an added row goes away
  EXPECT_FALSE(rs_.HasCurrent());
  EXPECT_EQ(rs_.RecordCount(), 3);
  ASSERT_OK(rs_.MovePrevious());
  EXPECT_TRUE(SameRecord(rs_.Current(), kRomans));
  ExpectStore({kJohn, kPsalm, kRomans});
  EXPECT_EQ(table_.writeCount(), 0);
}

TEST_F(VerseRecordsetTest, DeleteOfAMiddleRowThenMoveNextShowsTheRowThatFollowed) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.MoveNext());
  ASSERT_OK(rs_.Delete());
  EXPECT_FALSE(rs_.HasCurrent());
  EXPECT_EQ(rs_.AbsolutePosition(), kPosUnknown);
  EXPECT_FALSE(rs_.Eof());
  ExpectStore({kJohn, kRomans});
  ASSERT_OK(rs_.MoveNext());
  EXPECT_TRUE(SameRecord(rs_.Current(), kRomans));
  EXPECT_EQ(rs_.AbsolutePosition(), 2);
  EXPECT_EQ(reasons_, std::vector<ChangeReason>{ChangeReason::kDelete});
}

TEST_F(VerseRecordsetTest, DeleteThenMovePreviousShowsTheRowBefore) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.MoveLast());
  ASSERT_OK(rs_.Delete());
  ASSERT_OK(rs_.MovePrevious());
  EXPECT_TRUE(SameRecord(rs_.Current(), kPsalm));
}

TEST_F(VerseRecordsetTest, DeleteOfTheLastRowThenMoveNextStandsAtEndOfFile) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.MoveLast());
  ASSERT_OK(rs_.Delete());
  ASSERT_OK(rs_.MoveNext());
  EXPECT_TRUE(rs_.Eof());
  ASSERT_OK(rs_.MoveLast());
  EXPECT_TRUE(SameRecord(rs_.Current(), kPsalm));
  EXPECT_EQ(rs_.AbsolutePosition(), 2);
}

TEST_F(VerseRecordsetTest, DeleteOfTheOnlyRowLeavesAnEmptyTableWhereMoveLastFails) {
  FakeVerseTable one({kJohn});
  VerseRecordset rs(one);
  ASSERT_OK(rs.Open());
  ASSERT_OK(rs.Delete());
  ASSERT_OK(rs.MoveNext());
  EXPECT_TRUE(rs.Eof());
  EXPECT_TRUE(rs.Bof());
  EXPECT_ERROR(rs.MoveLast(), jet::kErrNoCurrentRecord);
  EXPECT_TRUE(one.rows().empty());
  EXPECT_EQ(rs.RecordCount(), 0);
}

TEST_F(VerseRecordsetTest, DeleteOfAnUnwrittenNewRowDropsItWithoutTouchingTheStore) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.AddNew());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Ruth"));
  ASSERT_OK(rs_.Delete());
  EXPECT_FALSE(rs_.HasPendingChanges());
  ASSERT_OK(rs_.MoveNext());
  EXPECT_TRUE(rs_.Eof());
  ExpectStore({kJohn, kPsalm, kRomans});
  EXPECT_EQ(table_.writeCount(), 0);
}

TEST_F(VerseRecordsetTest, DeleteOfARowChangedByAnotherProgramIsRefusedOnce) {
  ASSERT_OK(rs_.Open());
  VerseRecord theirs = kJohn;
  theirs.read = false;
  table_.ChangeByOtherProgram(0, theirs);
  EXPECT_ERROR(rs_.Delete(), jet::kErrWriteConflict);
  EXPECT_EQ(rs_.AbsolutePosition(), 1);
  EXPECT_EQ(table_.Records().size(), 3u);
  ASSERT_OK(rs_.Delete());
  ExpectStore({kPsalm, kRomans});
}

TEST_F(VerseRecordsetTest, DeleteAndSetFieldNeedACurrentRow) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.MovePrevious());
  EXPECT_ERROR(rs_.Delete(), jet::kErrNoCurrentRecord);
  EXPECT_ERROR(rs_.SetField(VerseColumn::kBook, "Amos"), jet::kErrNoCurrentRecord);
  ExpectStore({kJohn, kPsalm, kRomans});
}

TEST_F(VerseRecordsetTest, RefreshWritesPendingEditsThenShowsTheFirstRowOfAFreshRead) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.MoveLast());
  ASSERT_OK(rs_.SetField(VerseColumn::kChapter, "9"));
  table_.AddByOtherProgram(kPsalm);
  ASSERT_OK(rs_.Refresh());
  EXPECT_EQ(rs_.RecordCount(), 4);
  EXPECT_EQ(rs_.AbsolutePosition(), 1);
  EXPECT_EQ(table_.Records()[2].chapter, "9");
  EXPECT_EQ(positions_.back(), 1);
}

TEST_F(VerseRecordsetTest, AFailedRefreshReadKeepsTheOldRowsAndPlace) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.MoveNext());
  table_.FailNext(FakeVerseTable::Operation::kReadAll, jet::MakeError(jet::kErrLocked, "Locked."));
  EXPECT_ERROR(rs_.Refresh(), jet::kErrLocked);
  EXPECT_EQ(rs_.AbsolutePosition(), 2);
  EXPECT_EQ(rs_.RecordCount(), 3);
}

TEST_F(VerseRecordsetTest, CloseWritesPendingEditsAndReportsAFailure) {
  ASSERT_OK(rs_.Open());
  ASSERT_OK(rs_.SetField(VerseColumn::kBook, "Jn"));
  table_.SetReadOnly(true);
  EXPECT_ERROR(rs_.Close(), jet::kErrReadOnly);
  EXPECT_EQ(errors_.size(), 1u);
  EXPECT_TRUE(rs_.HasPendingChanges());
  table_.SetReadOnly(false);
  ASSERT_OK(rs_.Close());
  EXPECT_EQ(table_.Records()[0].book, "Jn");
  EXPECT_EQ(errors_.size(), 1u);
}

}  // namespace
}  // namespace store
