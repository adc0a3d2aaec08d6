// What the Windows tests read from real windows (also of another process), files and the
// registry, the keys they type, how they wait, and the layout check in a user's twips.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "jet/file.h"
#include "store/data1.h"
#include "win32/common/dpi.h"
#include "win32/common/text.h"

namespace win32::test {

// The first `count` rows of the store at `path`, in the cursor's order.
inline std::vector<store::VerseRecord> StoreRows(const std::string& path, std::size_t count) {
  std::vector<store::VerseRecord> rows;
  store::Data1 cursor(jet::SystemFileSystem(), path);
  for (bool ok = cursor.Refresh().ok(); ok && cursor.HasCurrent() && rows.size() < count;
       ok = cursor.MoveNext().ok())
    rows.push_back(cursor.Current());
  return rows;
}
// A window's text as UTF-8, by WM_GETTEXT, which reaches into another process too.
inline std::string Text(HWND window) {
  wchar_t text[8192] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, 0);
  return Utf8(text);
}
inline bool IsTopmost(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
// Pumps messages, each offered to `pre` first as a program's loop does, until `done` holds.
inline bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = 10000,
                    const std::function<bool(MSG&)>& pre = nullptr) {
  for (const ULONGLONG end = GetTickCount64() + milliseconds;; Sleep(20)) {
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
      if (msg.message != WM_QUIT && !(pre && pre(msg))) TranslateMessage(&msg), DispatchMessageW(&msg);
    }
    if (done() || GetTickCount64() >= end) return done();
  }
}
// Types `keys` with `modifier` held, as a user does, to the window with the focus.
inline void SendKeys(const std::vector<WORD>& keys, WORD modifier = 0) {
  std::vector<INPUT> inputs;
  auto add = [&](WORD key, DWORD up) {
    if (key != 0) inputs.push_back({INPUT_KEYBOARD, {.ki = {key, 0, up, 0, 0}}});
  };
  add(modifier, 0);
  for (WORD key : keys) add(key, 0), add(key, KEYEVENTF_KEYUP);
  add(modifier, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(100);
}
// The visible top-level window of class `className` that belongs to process `pid`.
inline HWND FindProcessWindow(DWORD pid, const char* className) {
  HWND window = nullptr;
  for (DWORD owner = 0; (window = FindWindowExA(nullptr, window, className, nullptr)) != nullptr;) {
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && IsWindowVisible(window)) return window;
  }
  return nullptr;
}
// A menu's captions in order, a submenu's items indented, "+" after a ticked one.
inline std::string MenuTree(HMENU menu, const std::string& indent = "") {
  std::string tree;
  for (UINT i = 0; i < static_cast<UINT>(GetMenuItemCount(menu)); ++i) {
    wchar_t caption[64] = {};
    GetMenuStringW(menu, i, caption, 64, MF_BYPOSITION);
    const bool ticked = (GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED) != 0;
    tree += indent + (caption[0] == L'\0' ? "-" : Utf8(caption)) + (ticked ? "+" : "") + "\n";
    if (HMENU sub = GetSubMenu(menu, static_cast<int>(i))) tree += MenuTree(sub, indent + "  ");
  }
  return tree;
}
// The clipboard's CF_TEXT, or "<none>".
inline std::string ClipboardText() {
  HANDLE data = OpenClipboard(nullptr) ? GetClipboardData(CF_TEXT) : nullptr;
  const char* bytes = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  const std::string text = bytes != nullptr ? bytes : "<none>";
  if (data != nullptr) GlobalUnlock(data);
  CloseClipboard();
  return text;
}
// The numbers of a settings file; none when it does not exist.
inline std::vector<long> SettingsNumbers(const std::string& path) {
  std::ifstream in(path);
  std::vector<long> numbers;
  for (long value = 0; in >> value;) numbers.push_back(value);
  return numbers;
}
constexpr char kRunKey[] = "Software\\microsoft\\windows\\currentversion\\run";
inline std::string RunValue() {  // "Lumaret2" in the machine's Run key
  char data[1024] = {};
  DWORD size = sizeof data;
  RegGetValueA(HKEY_LOCAL_MACHINE, kRunKey, "Lumaret2", RRF_RT_REG_SZ, nullptr, data, &size);
  return data;
}
inline void DeleteRunValue() {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RegDeleteKeyValueA(root, kRunKey, "Lumaret2");
}

// A control's place in twips of its parent's client area, font, text and visibility; a
// null face is the system's message font, an empty one is not compared, nor a null text.
struct Box {
  int id, left, top, width, height;
  const wchar_t* face;
  int pointsX100 = 0;
  bool bold = false;
  const char* text = nullptr;
  bool shown = true;
};

// Moves `window` as the system does onto a monitor of the screen's DPI, then of `otherDpi`:
// it takes the place suggested, its client area and boxes measure as designed at each.
template <typename Boxes>
void ExpectLayout(HWND window, int width, int height, const Boxes& boxes,
                  const std::function<HWND(int)>& control, int otherDpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const LOGFONTW& system = metrics.lfMessageFont;
  for (const int dpi : {ScreenDpi().y, otherDpi}) {
    SCOPED_TRACE("at " + std::to_string(dpi) + " dpi");
    auto px = [dpi](int twips) { return static_cast<long>(MulDiv(twips, dpi, 1440)); };
    RECT r{};
    GetWindowRect(window, &r);
    RECT moved{r.left + 30, r.top + 20, r.left + 30 + MulDiv(r.right - r.left, dpi, 96),
               r.top + 20 + MulDiv(r.bottom - r.top, dpi, 96)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&moved));
    GetWindowRect(window, &r);
    EXPECT_EQ(std::vector<long>({r.left, r.top}), std::vector<long>({moved.left, moved.top}));
    GetClientRect(window, &r);
    EXPECT_EQ(std::vector<long>({r.right, r.bottom}), std::vector<long>({px(width), px(height)}));
    for (const Box& b : boxes) {
      HWND c = control(b.id);
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, GetParent(c), reinterpret_cast<POINT*>(&r), 2);
      LOGFONTW font{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)), sizeof font, &font);
      const long size =
          b.face != nullptr ? -px(b.pointsX100 / 5) : MulDiv(system.lfHeight, dpi, ScreenDpi().y);
      const bool compared = b.face == nullptr || *b.face != L'\0';
      EXPECT_EQ(
          std::vector<long>({r.left, r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(c) != FALSE,
                             compared ? font.lfHeight : 0, compared ? font.lfWeight : 0}),
          std::vector<long>({px(b.left), px(b.top), px(b.width), px(b.height), b.shown, compared ? size : 0,
                             compared ? (b.bold ? FW_BOLD : FW_NORMAL) : 0}))
          << b.id;
      EXPECT_EQ(Text(c) + "|" + (compared ? Utf8(font.lfFaceName) : ""),
                (b.text != nullptr ? b.text : Text(c)) + "|" +
                    (compared ? Utf8(b.face ? b.face : system.lfFaceName) : ""))
          << b.id;
    }
  }
}

}  // namespace win32::test
