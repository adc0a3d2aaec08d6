// Starting, finding, driving and closing the editor from another process.
#include "win32/editor/editor_process.h"

#include <gtest/gtest.h>

#include "jet/file.h"
#include "jet/new_database.h"
#include "store/jet_verse_table.h"
#include "store/verse_schema.h"
#include "tovimar_ids.h"
#include "win32/editor/utf8_win32.h"

namespace win32::editor::test {
namespace {

constexpr double kCreated = 45000.5;  // any OLE date will do

struct FindData {
  DWORD pid;
  const wchar_t* className;
  const wchar_t* title;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND hwnd, LPARAM lParam) {
  auto& data = *reinterpret_cast<FindData*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != data.pid) return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (lstrcmpW(name, data.className) != 0) return TRUE;
  if (data.title != nullptr && win32::editor::Wide(TextOf(hwnd)) != data.title) return TRUE;
  data.found = hwnd;
  return FALSE;
}

INPUT Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, int ms) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (done()) return true;
    Sleep(20);
  }
  return done();
}

std::string TextOf(HWND hwnd) {
  std::wstring text(4096, L'\0');
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          5000, &length) == 0) {
    return "<no answer>";
  }
  text.resize(static_cast<std::size_t>(length));
  return win32::editor::Utf8(text);
}

HWND FindProcessWindow(DWORD pid, const wchar_t* className, const wchar_t* title) {
  FindData data{pid, className, title, nullptr};
  EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

void PressKeys(const std::vector<WORD>& keys, bool alt) {
  std::vector<INPUT> inputs;
  if (alt) inputs.push_back(Key(VK_MENU, false));
  for (WORD key : keys) {
    inputs.push_back(Key(key, false));
    inputs.push_back(Key(key, true));
  }
  if (alt) inputs.push_back(Key(VK_MENU, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void TypeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    for (bool up : {false, true}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = static_cast<WORD>(c);
      input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0u);
      inputs.push_back(input);
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

EditorProcess::EditorProcess(const std::vector<store::VerseRecord>& rows, StorePlace place) {
  const std::wstring exe = win32::editor::Wide(TOVIMAR_EXE);
  if (!CopyFileW(exe.c_str(), win32::editor::Wide(ExePath()).c_str(), FALSE)) {
    ADD_FAILURE() << "cannot copy " << TOVIMAR_EXE << ": error " << GetLastError();
    return;
  }
  auto schema = store::VerseTableSchema();
  if (!schema.ok()) {
    ADD_FAILURE() << schema.error().description;
    return;
  }
  const std::string store =
      place == StorePlace::kBesideProgram ? StorePath() : startDir_.File("verse97.mdb");
  jet::Status created = jet::CreateDatabase(jet::SystemFileSystem(), store, schema.value(), kCreated);
  if (!created.ok()) {
    ADD_FAILURE() << "cannot create the store: " << created.error().description;
    return;
  }
  store::JetVerseTable table(jet::SystemFileSystem(), store);
  for (const store::VerseRecord& row : rows) {
    auto id = table.Insert(row);
    if (!id.ok()) ADD_FAILURE() << "cannot add a row: " << id.error().description;
  }
}

EditorProcess::~EditorProcess() {
  if (info_.hProcess == nullptr) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool EditorProcess::Start() {
  if (!Launch()) return false;
  WaitForInputIdle(info_.hProcess, 10000);
  WaitUntil([this] {
    window_ = FindProcessWindow(info_.dwProcessId, L"TovimarEditFrm");
    return window_ != nullptr && IsWindowVisible(window_);
  });
  if (window_ == nullptr) {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    error_ = "no editor window; process exit code " + std::to_string(code);
    return false;
  }
  return true;
}

bool EditorProcess::Launch() {
  std::wstring exe = win32::editor::Wide(ExePath());
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      win32::editor::Wide(startFolder()).c_str(), &startup, &info_)) {
    error_ = "CreateProcess failed with " + std::to_string(GetLastError());
    return false;
  }
  return true;
}

DWORD EditorProcess::WaitForExit() const {
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(info_.hProcess, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

DWORD EditorProcess::Close() {
  if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
  return WaitForExit();
}

HWND EditorProcess::Control(int id) const {
  if (HWND child = GetDlgItem(window_, id)) return child;
  if (HWND child = GetDlgItem(GetDlgItem(window_, IDC_PIC_BUTTONS), id)) return child;
  return GetDlgItem(GetDlgItem(window_, IDC_DAT_PRIMARY_RS), id);
}

std::string EditorProcess::Field(int index) const { return TextOf(Control(IDC_TXT_FIELDS + index)); }

std::string EditorProcess::Caption() const { return TextOf(Control(IDC_DAT_PRIMARY_RS)); }

void EditorProcess::Click(int id) const {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Control(id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

bool EditorProcess::Activate() const {
  SetForegroundWindow(window_);
  return WaitUntil([this] { return GetForegroundWindow() == window_; }, 5000);
}

std::vector<store::VerseRecord> EditorProcess::StoredRows() const {
  store::JetVerseTable table(jet::SystemFileSystem(), StorePath());
  std::vector<store::VerseRecord> records;
  auto rows = table.ReadAll();
  EXPECT_TRUE(rows.ok()) << (rows.ok() ? "" : rows.error().description);
  if (rows.ok()) {
    for (const store::StoredVerse& row : rows.value()) records.push_back(row.record);
  }
  return records;
}

}  // namespace win32::editor::test
