// Smoke test of what the Windows programs need from the desktop: a true-colour screen,
// a top-level window with a tooltip that can stay on top, the programs' fonts and the
// clipboard. Under wine this checks the virtual display and the prefix set up by
// scripts/wine-env as much as the code.
#include <windows.h>
// commctrl.h needs the types from windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr char kClassName[] = "LumaretSmokeWindow";
constexpr int kButtonId = 101;

LRESULT CALLBACK SmokeWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

class WindowSmokeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = SmokeWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    // A second test in the same process finds the class already registered.
    if (RegisterClassA(&wc) == 0) {
      ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    }

    main_ = CreateWindowExA(0, kClassName, "Lumaret", WS_OVERLAPPEDWINDOW, 100, 100, 320, 200, nullptr, nullptr,
                            instance, nullptr);
    ASSERT_NE(main_, nullptr) << "CreateWindowEx failed with " << GetLastError() << "; is there a display?";
    button_ = CreateWindowExA(0, "BUTTON", "&Next Verse", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 100, 30,
                              main_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), instance, nullptr);
    ASSERT_NE(button_, nullptr);
    ShowWindow(main_, SW_SHOWNORMAL);
    UpdateWindow(main_);
  }

  void TearDown() override {
    // The tooltip has no parent, so it does not go with the main window.
    if (tooltip_ != nullptr) DestroyWindow(tooltip_);
    if (main_ != nullptr) DestroyWindow(main_);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

  // Adds a tooltip for the button the way the reminder does. Under wine, a window that
  // owns a tooltip (comctl32 makes tooltips topmost) often fails to become topmost itself;
  // a tooltip without a parent avoids that, and behaves the same on Windows.
  void AddTooltip(const char* text) {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(tooltip_, nullptr);
    TTTOOLINFOA info{};
    // The version 2 size: sizeof(TTTOOLINFOA) needs a comctl32 version 6 manifest on Windows.
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = main_;
    info.uId = reinterpret_cast<UINT_PTR>(button_);
    info.lpszText = const_cast<char*>(text);
    ASSERT_TRUE(SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
  }

  bool IsTopmost() const { return (GetWindowLongA(main_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

  HWND main_ = nullptr;
  HWND button_ = nullptr;
  HWND tooltip_ = nullptr;
};

TEST_F(WindowSmokeTest, TheScreenIsTrueColour) {
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  EXPECT_GE(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES), 24);
  ReleaseDC(nullptr, screen);
}

TEST_F(WindowSmokeTest, AWindowWithATooltipGoesOnTopAndBack) {
  AddTooltip("Shows the next verse");
  EXPECT_EQ(SendMessageA(tooltip_, TTM_GETTOOLCOUNT, 0, 0), 1);
  char buffer[80] = {};
  TTTOOLINFOA query{};
  query.cbSize = TTTOOLINFOA_V2_SIZE;
  query.hwnd = main_;
  query.uId = reinterpret_cast<UINT_PTR>(button_);
  query.lpszText = buffer;
  SendMessageA(tooltip_, TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&query));
  EXPECT_STREQ(buffer, "Shows the next verse");

  ASSERT_FALSE(IsTopmost());
  ASSERT_TRUE(SetWindowPos(main_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_TRUE(IsTopmost());
  ASSERT_TRUE(SetWindowPos(main_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_FALSE(IsTopmost());
}

TEST_F(WindowSmokeTest, TheProgramsFontsAreRealisedUnderTheirOwnNames) {
  HDC dc = GetDC(main_);
  ASSERT_NE(dc, nullptr);
  for (const char* face : {"Tahoma", "MS Sans Serif", "Verdana", "Arial", "Courier New"}) {
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    ASSERT_NE(font, nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    char realised[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, realised);
    EXPECT_STREQ(realised, face);
    SIZE extent{};
    EXPECT_TRUE(GetTextExtentPoint32A(dc, "Amen", 4, &extent));
    EXPECT_GT(extent.cx, 0);
    SelectObject(dc, old);
    DeleteObject(font);
  }
  ReleaseDC(main_, dc);
}

TEST_F(WindowSmokeTest, TextPutOnTheClipboardReadsBack) {
  const std::string verse = "John 3:16\r\nFor God so loved the world";
  ASSERT_TRUE(OpenClipboard(main_));
  ASSERT_TRUE(EmptyClipboard());
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, verse.size() + 1);
  ASSERT_NE(memory, nullptr);
  std::memcpy(GlobalLock(memory), verse.c_str(), verse.size() + 1);
  GlobalUnlock(memory);
  // On success the clipboard owns the memory.
  EXPECT_NE(SetClipboardData(CF_TEXT, memory), nullptr);
  ASSERT_TRUE(CloseClipboard());

  ASSERT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_TEXT);
  ASSERT_NE(data, nullptr);
  const char* text = static_cast<const char*>(GlobalLock(data));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), verse);
  GlobalUnlock(data);
  CloseClipboard();
}

}  // namespace
