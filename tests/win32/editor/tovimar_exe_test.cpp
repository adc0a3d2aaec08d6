// The real tovimar.exe, copied into a folder of its own and started with another folder
// current, as the reminder, a shortcut or a shell starts it: it opens only the store
// beside itself, shows its first row, and writes the row's edits when closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "editor/edit_view.h"
#include "jet/file.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"
#include "support/temp_dir.h"
#include "tovimar/tovimar_ids.h"
#include "win32/common/text.h"
#include "win32/reminder/window_probe.h"

namespace win32::editor::test {
namespace {

using win32::reminder::test::FindProcessWindow;
using win32::reminder::test::WaitFor;
using win32::reminder::test::WindowText;

// Three rows, the second as the saved picture of the window shows it.
void MakeStore(const std::string& path) {
  auto schema = store::VerseTableSchema();
  ASSERT_TRUE(schema.ok());
  ASSERT_TRUE(jet::CreateDatabase(jet::SystemFileSystem(), path, *schema, 45000.5).ok());
  store::JetVerseTable table(jet::SystemFileSystem(), path);
  for (const store::VerseRecord& row :
       {store::VerseRecord{"John", "3", "16",
                           "For God so loved the world, that he gave his only begotten Son, that whosoever "
                           "believeth in him should not perish, but have everlasting life.",
                           false},
        store::VerseRecord{"Psalms", "119", "105",
                           "Thy word is a lamp unto my feet, and a light unto my path. \xE2\x80\x94 David",
                           true},
        store::VerseRecord{
            "Proverbs", "3", "5-6",
            "Trust in the LORD with all thine heart; and lean not unto thine own "
            "understanding.\r\nIn all thy ways acknowledge him, and he shall direct thy paths.",
            false}}) {
    ASSERT_TRUE(table.Insert(row).ok());
  }
}

// true: the store beside the program, which it opens. false: the store only in the
// folder current at start, which it must not open: the data error shows, then the
// window without rows.
class TovimarExeTest : public testing::TestWithParam<bool> {};

TEST_P(TovimarExeTest, OpensOnlyTheStoreBesideItselfAndWritesEditsOnClosing) {
  const bool beside = GetParam();
  support::TempDir program, start;
  const std::string exe = program.File("tovimar.exe");
  const std::string store = beside ? program.File("verse97.mdb") : start.File("verse97.mdb");
  ASSERT_TRUE(CopyFileW(Wide(TOVIMAR_EXE).c_str(), Wide(exe).c_str(), FALSE));
  MakeStore(store);
  std::wstring commandLine = L"\"" + Wide(exe) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(Wide(exe).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             Wide(start.path()).c_str(), &startup, &info));
  HWND box = nullptr, window = nullptr;
  if (!beside) {
    ASSERT_TRUE(WaitFor([&] { return (box = FindProcessWindow(info.dwProcessId, "#32770")) != nullptr; }));
    EXPECT_EQ(WindowText(box), "Tovimar");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  ASSERT_TRUE(
      WaitFor([&] { return (window = FindProcessWindow(info.dwProcessId, "TovimarEditFrm")) != nullptr; }));
  HWND data = GetDlgItem(window, IDC_DAT_PRIMARY_RS);
  EXPECT_TRUE(WaitFor([&] { return WindowText(data) == (beside ? "Record: 1" : " "); })) << WindowText(data);

  if (beside) {  // a picture for people to look at, compared with nothing
    SetForegroundWindow(window);
    SendMessageW(GetDlgItem(data, IDC_NAV_NEXT), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return WindowText(data) == "Record: 2"; }));
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);  // let the editor finish painting; nothing is timed
    CreateDirectoryW(Wide(LUMARET_ARTIFACT_DIR).c_str(), nullptr);
    EXPECT_TRUE(
        win32::reminder::test::SaveWindowBitmap(window, std::string(LUMARET_ARTIFACT_DIR) + "/tovimar.bmp"));
    SendMessageW(GetDlgItem(window, IDC_TXT_FIELDS + ::editor::kChapterField), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"33"));
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(info.hProcess, 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(info.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);

  EXPECT_EQ(GetFileAttributesW(Wide(program.File("verse97.mdb")).c_str()) != INVALID_FILE_ATTRIBUTES, beside);
  EXPECT_EQ(GetFileAttributesW(Wide(start.File("verse97.mdb")).c_str()) != INVALID_FILE_ATTRIBUTES, !beside);
  store::JetVerseTable table(jet::SystemFileSystem(), store);
  auto rows = table.ReadAll();
  ASSERT_TRUE(rows.ok());
  EXPECT_EQ((*rows)[1].record.chapter, beside ? "33" : "119");
}

INSTANTIATE_TEST_SUITE_P(Store, TovimarExeTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& p) {
                           return std::string(p.param ? "BesideTheProgram" : "OnlyInTheStartFolder");
                         });

}  // namespace
}  // namespace win32::editor::test
