// A Form1 over the fakes, with a verse store beside the program and helpers to
// start it, tick its timer and read its settings file.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "fake_verse_cursor.h"
#include "reminder/form1.h"

namespace reminder::test {

inline constexpr char kIniPath[] = "C:\\Lumaret\\verse.ini";
inline constexpr char kStorePath[] = "C:\\Lumaret\\verse97.mdb";
inline constexpr char kRunPath[] = "2147483650|software\\microsoft\\windows\\currentversion\\run|Lumaret2";
inline constexpr char kUserRunPath[] = "2147483649|software\\microsoft\\windows\\currentversion\\run|Lumaret2";

// Rows "Book1 1:1" ... with texts "Text 1" ...; row k (from 1) is shown as position k-1.
inline std::vector<store::VerseRecord> NumberedRows(int count) {
  std::vector<store::VerseRecord> rows;
  for (int k = 1; k <= count; ++k) {
    const std::string n = std::to_string(k);
    rows.push_back({"Book" + n, n, n + "-" + n, "Text " + n, false});
  }
  return rows;
}

class ReminderTest : public ::testing::Test {
 protected:
  ReminderTest() { fake.files.files[kStorePath] = "store"; }

  // Creates the form over `rows`; the window's close requests reach its close handler.
  void MakeForm(std::vector<store::VerseRecord> rows) {
    cursor = std::make_unique<FakeVerseCursor>(std::move(rows));
    form = std::make_unique<Form1>(fake.platform, *cursor);
    fake.window.onCloseRequest = [this] { return form->Form_QueryUnload(); };
  }

  // Runs both start-up steps as the shell does; stops after the first that ends.
  StartupResult Start() {
    if (!form) MakeForm(NumberedRows(5));
    if (form->Form_Initialize() == StartupResult::kEnd) return StartupResult::kEnd;
    return form->Form_Load();
  }

  // Starts with `ini` as the settings file and a clean record of effects.
  void StartWith(const std::string& ini, int rows = 5) {
    fake.files.files[kIniPath] = ini;
    MakeForm(NumberedRows(rows));
    ASSERT_EQ(Start(), StartupResult::kGoOn);
    fake.log.clear();
    fake.files.writes = 0;
  }

  std::string Ini() const {
    const auto found = fake.files.files.find(kIniPath);
    return found == fake.files.files.end() ? std::string("(none)") : found->second;
  }

  // One tick of Timer1, ten seconds after the last.
  void Tick() {
    fake.clock.Advance(Form1::kTimerMilliseconds);
    form->Timer1_Timer();
  }

  // Ticks until the clock reads hh:mm:00 of the next minute; returns the ticks made.
  void TickMinutes(int minutes) {
    for (int i = 0; i < minutes * 6; ++i) Tick();
  }

  FakePlatform fake;
  std::unique_ptr<FakeVerseCursor> cursor;
  std::unique_ptr<Form1> form;
};

}  // namespace reminder::test
