// The About box window under wine: what only the real window shows (its measured layout
// and fonts at two DPIs, the messages that close it, its picture and a screenshot). The
// box's logic is tested over fakes in tests/reminder/about_frm_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "about_test_support.h"
#include "verse/about_resources.h"
#include "win32/about/about_box.h"
#include "win32/about/about_picture.h"
#include "win32/common/text.h"
#include "window_probe.h"

namespace win32::about::test {
namespace {

using reminder::test::Capture;
using reminder::test::CaptureScreen;
using reminder::test::SaveWindowBitmap;

// Away from where other window tests put their windows.
constexpr int kOwnerLeft = 520;
constexpr int kOwnerTop = 120;

std::uint32_t Rgb(COLORREF c) {
  return (static_cast<std::uint32_t>(GetRValue(c)) << 16) | (static_cast<std::uint32_t>(GetGValue(c)) << 8) |
         GetBValue(c);
}

class AboutWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = std::make_unique<OwnerWindow>(kOwnerLeft, kOwnerTop);
    ASSERT_NE(owner_->Hwnd(), nullptr) << "no window: is there a display?";
    box_ = std::make_unique<AboutBoxWin32>(GetModuleHandleW(nullptr), *owner_, order_, pump_);
  }

  void TearDown() override {
    box_.reset();  // closes an open box
    owner_.reset();
  }

  HWND Box() const { return box_->View().Hwnd(); }
  RECT BoxRect() const {
    RECT r{};
    GetWindowRect(Box(), &r);
    return r;
  }
  RECT OwnerRect() const {
    RECT r{};
    GetWindowRect(owner_->Hwnd(), &r);
    return r;
  }
  HWND Child(int index) const {  // controls in creation order
    HWND child = GetWindow(Box(), GW_CHILD);
    for (int i = 0; i < index && child != nullptr; ++i) child = GetWindow(child, GW_HWNDNEXT);
    return child;
  }

  // Opens the box and checks the state every test starts from.
  void Open() {
    box_->Show();
    PumpMessages();
    ASSERT_NE(Box(), nullptr);
    ASSERT_TRUE(IsWindowVisible(Box()));
    ASSERT_TRUE(IsTopmost(Box()));
    ASSERT_FALSE(IsTopmost(owner_->Hwnd()));
  }

  std::unique_ptr<OwnerWindow> owner_;
  Win32Order order_;
  Win32Pump pump_;
  std::unique_ptr<AboutBoxWin32> box_;
};

// What a user measures on the box, in twips converted at the box's DPI: each control's
// place and font as the About box is designed, whatever the code's own constants say.
struct ControlSpec {
  int child;  // in creation order
  int left, top, width, height;
  const wchar_t* face;
  int pointsX100;
  bool bold;
};
constexpr ControlSpec kControls[] = {
    {0, 4560, 1920, 1695, 495, L"MS Sans Serif", 975, false},  // "&God Bless!"
    {1, 2160, 840, 3975, 975, L"MS Sans Serif", 975, false},   // the copyright
    {2, 120, 2040, 1900, 300, L"Verdana", 975, true},          // the version
    {3, 2280, 0, 3495, 650, L"Verdana", 2400, true},           // "Lumaret"
};

void ExpectDesignedLayout(HWND box, int dpi) {
  RECT client{};
  GetClientRect(box, &client);
  EXPECT_EQ(client.right, MulDiv(6405, dpi, 1440)) << dpi;
  EXPECT_EQ(client.bottom, MulDiv(2520, dpi, 1440)) << dpi;
  for (const ControlSpec& c : kControls) {
    HWND control = GetWindow(box, GW_CHILD);
    for (int i = 0; i < c.child; ++i) control = GetWindow(control, GW_HWNDNEXT);
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, MulDiv(c.left, dpi, 1440)) << c.child << " at " << dpi;
    EXPECT_EQ(r.top, MulDiv(c.top, dpi, 1440)) << c.child << " at " << dpi;
    EXPECT_EQ(r.right - r.left, MulDiv(c.width, dpi, 1440)) << c.child << " at " << dpi;
    EXPECT_EQ(r.bottom - r.top, MulDiv(c.height, dpi, 1440)) << c.child << " at " << dpi;
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, c.face) << c.child;
    EXPECT_EQ(font.lfHeight, -MulDiv(c.pointsX100, dpi, 7200)) << c.child << " at " << dpi;
    EXPECT_EQ(font.lfWeight, c.bold ? FW_BOLD : FW_NORMAL) << c.child;
  }
}

TEST_F(AboutWindowTest, OpensBelowTheOwnerAsDesignedAndKeepsItsTwipsOnAMonitorOfAnotherScale) {
  Open();
  const Dpi dpi = ScreenDpi();
  EXPECT_EQ(WindowText(Box()), L"About...");
  // Not owned by the main window, or it would follow it in and out of the top layer.
  EXPECT_EQ(GetWindow(Box(), GW_OWNER), nullptr);
  // At the owner's left, 160 twips below its top.
  EXPECT_EQ(BoxRect().left, OwnerRect().left);
  EXPECT_EQ(BoxRect().top, MulDiv(MulDiv(OwnerRect().top, 1440, dpi.y) + 160, dpi.y, 1440));
  ExpectDesignedLayout(Box(), dpi.y);

  // As the window system sends it when the box moves onto a monitor at 150 %.
  const RECT frame = BoxRect();
  RECT suggested{frame.left + 30, frame.top + 20, frame.left + 30 + (frame.right - frame.left) * 3 / 2,
                 frame.top + 20 + (frame.bottom - frame.top) * 3 / 2};
  SendMessageW(Box(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(BoxRect().left, suggested.left);
  EXPECT_EQ(BoxRect().top, suggested.top);
  ExpectDesignedLayout(Box(), 144);
}

TEST_F(AboutWindowTest, ShowsTheVersionTheCopyrightAndGivesTheDefaultButtonTheFocus) {
  Open();
  EXPECT_EQ(WindowText(Child(0)), L"&God Bless!");
  EXPECT_EQ(WindowText(Child(2)), L"Version 2.2.108");
  EXPECT_EQ(WindowText(Child(3)), L"Lumaret");
  const std::wstring copyright = WindowText(Child(1));
  EXPECT_EQ(copyright.rfind(L"Copyright \u00A9 ", 0), 0u) << "copyright text";
  EXPECT_NE(copyright.find(L"\r\n\r\nSee Help for more information"), std::wstring::npos);
  EXPECT_EQ(GetFocus(), box_->View().Command1());
  EXPECT_NE(GetWindowLongW(box_->View().Command1(), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
  // Activated again after another window had the focus, it hands the focus to the button.
  SetFocus(owner_->Hwnd());
  SetActiveWindow(Box());
  SetFocus(Box());
  PumpMessages();
  EXPECT_EQ(GetFocus(), box_->View().Command1());
}

// Every message by which the window system closes the box reaches the same unload: the
// box is destroyed and the main window takes the top layer back.
TEST_F(AboutWindowTest, EveryWayOfClosingItDestroysItAndGivesTheTopLayerBack) {
  struct Way {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool toButton;    // posted to the button, where the focus is
    bool dialogLoop;  // the program's loop runs IsDialogMessage
  };
  const Way ways[] = {
      {"click", BM_CLICK, 0, 0, true, false},
      {"Enter", WM_KEYDOWN, VK_RETURN, 0x001C0001, true, false},
      {"Esc", WM_KEYDOWN, VK_ESCAPE, 0x00010001, true, false},
      {"Enter, dialog loop", WM_KEYDOWN, VK_RETURN, 0x001C0001, true, true},
      {"Esc, dialog loop", WM_KEYDOWN, VK_ESCAPE, 0x00010001, true, true},
      {"Alt+G", WM_SYSCHAR, 'g', 0x20220001, true, false},
      {"close box", WM_CLOSE, 0, 0, false, false},
      {"Timer1", WM_TIMER, AboutWindow::kTimer1Id, 0, false, false},
  };
  for (const Way& way : ways) {
    Open();
    const HWND box = Box();
    PostMessageW(way.toButton ? box_->View().Command1() : box, way.message, way.wParam, way.lParam);
    PumpMessages(way.dialogLoop ? box : nullptr);
    EXPECT_FALSE(box_->Form().IsOpen()) << way.name;
    EXPECT_FALSE(IsWindow(box)) << way.name;
    EXPECT_TRUE(IsTopmost(owner_->Hwnd())) << way.name;
    ASSERT_EQ(Box(), nullptr) << way.name;
  }
}

TEST_F(AboutWindowTest, ThePictureResourceDecodesTo124By112) {
  const Picture picture = LoadPictureResource(GetModuleHandleW(nullptr), IDR_ABOUT_PICTURE);
  ASSERT_FALSE(picture.Empty());
  EXPECT_EQ(picture.Width(), 124);
  EXPECT_EQ(picture.Height(), 112);
  EXPECT_TRUE(LoadPictureResource(GetModuleHandleW(nullptr), 9999).Empty());
}

// Draws the box, saves it as about_box.bmp in the build tree, and checks what is on the
// screen: the picture's border and content, the line under the product name and the
// version label's colours.
TEST_F(AboutWindowTest, ScreenshotShowsThePictureInItsBorderTheLineAndTheVersionColours) {
  Open();
  UpdateWindow(Box());
  PumpMessages();
  Sleep(300);  // let the display catch up before reading it back
  PumpMessages();
  ASSERT_TRUE(SaveWindowBitmap(Box(), std::string(LUMARET_ARTIFACT_DIR) + "/about_box.bmp"));
  const Capture shot = CaptureScreen(BoxRect());

  POINT origin{0, 0};
  ClientToScreen(Box(), &origin);
  const RECT box = BoxRect();
  const int dx = origin.x - box.left;
  const int dy = origin.y - box.top;
  const Dpi dpi = ScreenDpi();
  auto px = [&](int twips) { return TwipsToPixels(twips, dpi.x); };
  auto py = [&](int twips) { return TwipsToPixels(twips, dpi.y); };

  const std::uint32_t frame = Rgb(GetSysColor(COLOR_WINDOWFRAME));
  const int left = dx + px(120);
  const int top = dy + py(120);
  EXPECT_EQ(shot.At(left, top + 20), frame) << "the picture's left border";
  EXPECT_EQ(shot.At(left + 20, top), frame) << "the picture's top border";
  // Inside: the sky at the top left of the picture is light blue, not the window colour.
  const std::uint32_t sky = shot.At(left + 4, top + 4);
  EXPECT_GT(sky & 0xFF, (sky >> 16) & 0xFF) << std::hex << sky;

  const std::uint32_t lineColour = Rgb(GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(shot.At(dx + px(4000), dy + py(650)), lineColour) << "Line1";

  // VersionLbl's background is the highlight-text colour inside its border.
  const int versionLeft = dx + px(120);
  const int versionTop = dy + py(2040);
  EXPECT_EQ(shot.At(versionLeft + 3, versionTop + 2), Rgb(GetSysColor(COLOR_HIGHLIGHTTEXT)));
}

}  // namespace
}  // namespace win32::about::test
