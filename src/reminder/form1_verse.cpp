// Form1: Next Verse, the position tooltip and Copy.
#include "reminder/form1.h"

namespace reminder {

namespace {

// A Book or VerseTxt that is empty or only spaces marks a row not worth showing.
bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

}  // namespace

void Form1::NewVerseCMD_Click() {
  const jet::Status stepped = [this]() -> jet::Status {
    JET_TRY(data1_.MoveNext());
    while (data1_.HasCurrent()) {
      const store::VerseRecord& row = data1_.Current();
      if (!IsBlank(row.book) && !IsBlank(row.verseTxt)) return jet::Ok();
      if (data1_.DeleteCurrent().ok()) return data1_.MoveFirst();
      // A blank row that cannot be deleted (a read-only store, or the editor got to
      // it first) stays and is stepped over: going back to the first row instead
      // would keep every row after it from ever being shown.
      JET_TRY(data1_.MoveNext());
    }
    return data1_.MoveFirst();  // wrapped past the last row
  }();
  if (!stepped.ok()) {
    // One attempt only: on an empty table this fails too, and the click must end
    // with the labels showing that no row is left.
    if (!data1_.MoveFirst().ok()) Data1_Reposition();
  }
  SaveINI();
}

void Form1::Data1_Reposition() {
  platform_.window.ShowVerse(data1_.Current());
  platform_.window.SetNextVerseToolTip("Verse " + std::to_string(data1_.Position() + 1));
}

void Form1::EditCopyMnu_Click() {
  const store::VerseRecord& row = data1_.Current();
  // A clipboard held by another program leaves it as it was; nothing to tell the user.
  (void)platform_.clipboard.SetText(row.book + " " + row.chapter + ":" + row.verses + "\r\n" + row.verseTxt);
}

}  // namespace reminder
