// The About box window under wine: placement over its owner, the topmost handover and
// give-back, closing by button, Enter, Esc, timer and close box, reopening, the picture,
// the captions and a screenshot of the box.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "win32/about/about_box.h"
#include "win32/about/about_picture.h"
#include "verse/about_resources.h"
#include "about_test_support.h"
#include "win32/about/about_layout.h"

namespace win32::about::test {
namespace {


// Away from where other window tests put their windows.
constexpr int kOwnerLeft = 520;
constexpr int kOwnerTop = 120;

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The pixels of a screen rectangle as 0x00RRGGBB, top row first.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Capture CaptureScreen(const RECT& r) {
  Capture shot;
  shot.width = r.right - r.left;
  shot.height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  shot.pixels.assign(source, source + shot.width * shot.height);
  for (auto& p : shot.pixels) p &= 0xFFFFFFu;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

// Writes a capture as a 24-bit BMP file.
bool SaveBmp(const Capture& shot, const std::string& path) {
  const int stride = (shot.width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = shot.width;
  header.biHeight = shot.height;  // bottom-up
  header.biPlanes = 1;
  header.biBitCount = 24;
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * shot.height);
  std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!out) return false;
  std::fwrite(&file, sizeof file, 1, out.get());
  std::fwrite(&header, sizeof header, 1, out.get());
  std::vector<unsigned char> row(static_cast<std::size_t>(stride), 0);
  for (int y = shot.height - 1; y >= 0; --y) {
    for (int x = 0; x < shot.width; ++x) {
      const std::uint32_t p = shot.At(x, y);
      row[static_cast<std::size_t>(x * 3)] = static_cast<unsigned char>(p & 0xFF);
      row[static_cast<std::size_t>(x * 3 + 1)] = static_cast<unsigned char>((p >> 8) & 0xFF);
      row[static_cast<std::size_t>(x * 3 + 2)] = static_cast<unsigned char>((p >> 16) & 0xFF);
    }
    std::fwrite(row.data(), 1, row.size(), out.get());
  }
  return true;
}

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

  void ExpectClosedAndOwnerOnTop(HWND box) {
    EXPECT_FALSE(box_->Form().IsOpen());
    EXPECT_EQ(Box(), nullptr);
    EXPECT_FALSE(IsWindow(box)) << "the window is destroyed";
    EXPECT_TRUE(IsTopmost(owner_->Hwnd()));
  }

  // Posts a key to the button, where the focus is (a plain message loop hands it there).
  void PostKey(UINT message, WPARAM key, LPARAM flags) {
    PostMessageW(box_->View().Command1(), message, key, flags);
  }

  std::unique_ptr<OwnerWindow> owner_;
  Win32Order order_;
  Win32Pump pump_;
  std::unique_ptr<AboutBoxWin32> box_;
};

TEST_F(AboutWindowTest, OpensAtTheOwnersLeftAnd160TwipsBelowItsTop) {
  Open();
  const Dpi dpi = ScreenDpi();
  const RECT owner = OwnerRect();
  const RECT box = BoxRect();
  EXPECT_EQ(box.left, owner.left);
  EXPECT_EQ(box.top, TwipsToPixels(PixelsToTwips(owner.top, dpi.y) + 160, dpi.y));
  if (dpi.y == 96) {
    EXPECT_EQ(box.top, owner.top + 11);
  }
}

TEST_F(AboutWindowTest, HasTheClientSizeOfItsLayoutAndIsAWindowOfItsOwn) {
  Open();
  const Dpi dpi = ScreenDpi();
  RECT client{};
  GetClientRect(Box(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(kClientWidth, dpi.x));
  EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeight, dpi.y));
  // Not owned by the main window, or it would follow it in and out of the top layer.
  EXPECT_EQ(GetWindow(Box(), GW_OWNER), nullptr);
  EXPECT_EQ(TextOf(Box()), L"About...");
}

TEST_F(AboutWindowTest, OnAMonitorOfAnotherScaleKeepsItsTwipsSizesAndItsFontsFollow) {
  Open();
  const Dpi screen = ScreenDpi();
  auto fontHeight = [](HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
  };
  const LONG versionFont = fontHeight(Child(2));
  // As the window system sends it when the box moves onto a monitor at 150 %.
  const RECT frame = BoxRect();
  RECT suggested{frame.left + 30, frame.top + 20, frame.left + 30 + (frame.right - frame.left) * 3 / 2,
                 frame.top + 20 + (frame.bottom - frame.top) * 3 / 2};
  SendMessageW(Box(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(BoxRect().left, suggested.left);
  EXPECT_EQ(BoxRect().top, suggested.top);
  RECT client{};
  GetClientRect(Box(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(kClientWidth, 144));
  EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeight, 144));
  RECT button{};
  GetWindowRect(box_->View().Command1(), &button);
  MapWindowPoints(nullptr, Box(), reinterpret_cast<POINT*>(&button), 2);
  EXPECT_EQ(button.left, TwipsToPixels(kCommand1.left, 144));
  EXPECT_EQ(button.top, TwipsToPixels(kCommand1.top, 144));
  EXPECT_EQ(button.right - button.left, TwipsToPixels(kCommand1.width, 144));
  EXPECT_EQ(button.bottom - button.top, TwipsToPixels(kCommand1.height, 144));
  EXPECT_EQ(fontHeight(Child(2)), -std::lround(kVersionFont.points * 144 / 72.0));
  EXPECT_EQ(versionFont, -std::lround(kVersionFont.points * screen.y / 72.0));
}

TEST_F(AboutWindowTest, ShowsTheVersionFromTheVersionResourceAndTheCopyrightSign) {
  Open();
  EXPECT_EQ(TextOf(Child(0)), L"&God Bless!");
  EXPECT_EQ(TextOf(Child(2)), L"Version 2.2.108");
  EXPECT_EQ(TextOf(Child(3)), L"Lumaret");
  const std::wstring copyright = TextOf(Child(1));
  EXPECT_EQ(copyright.rfind(L"Copyright \u00A9 ", 0), 0u) << "copyright text";
  EXPECT_NE(copyright.find(L"\r\n\r\nSee Help for more information"), std::wstring::npos);
}

TEST_F(AboutWindowTest, TheButtonIsTheDefaultButtonAndHasTheFocus) {
  Open();
  EXPECT_EQ(GetFocus(), box_->View().Command1());
  // Activated again after another window had the focus, it hands the focus to the button.
  SetFocus(owner_->Hwnd());
  SetActiveWindow(Box());
  SetFocus(Box());
  PumpMessages();
  EXPECT_EQ(GetFocus(), box_->View().Command1());
  EXPECT_NE(GetWindowLongW(box_->View().Command1(), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
}

TEST_F(AboutWindowTest, ItsButtonClosesItAndTheOwnerIsTopmostAgain) {
  Open();
  const HWND box = Box();
  SendMessageW(box_->View().Command1(), BM_CLICK, 0, 0);
  PumpMessages();
  ExpectClosedAndOwnerOnTop(box);
}

TEST_F(AboutWindowTest, EnterClosesIt) {
  Open();
  const HWND box = Box();
  PostKey(WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PumpMessages();
  ExpectClosedAndOwnerOnTop(box);
}

TEST_F(AboutWindowTest, EscClosesIt) {
  Open();
  const HWND box = Box();
  PostKey(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PumpMessages();
  ExpectClosedAndOwnerOnTop(box);
}

TEST_F(AboutWindowTest, EnterAndEscAlsoCloseItWhenTheMessageLoopRunsIsDialogMessage) {
  for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
    Open();
    const HWND box = Box();
    PostKey(WM_KEYDOWN, key, 0x00010001);
    PumpMessages(box);
    ExpectClosedAndOwnerOnTop(box);
    ASSERT_EQ(Box(), nullptr) << "key " << key;
  }
}

TEST_F(AboutWindowTest, AltGClosesIt) {
  Open();
  const HWND box = Box();
  PostKey(WM_SYSCHAR, 'g', 0x20220001);
  PumpMessages();
  ExpectClosedAndOwnerOnTop(box);
}

TEST_F(AboutWindowTest, Timer1sTickClosesIt) {
  Open();
  const HWND box = Box();
  // The tick the window's 11.5-second timer delivers.
  SendMessageW(box, WM_TIMER, AboutWindow::kTimer1Id, 0);
  PumpMessages();
  ExpectClosedAndOwnerOnTop(box);
}

TEST_F(AboutWindowTest, ItsCloseBoxClosesItLikeTheButton) {
  Open();
  const HWND box = Box();
  SendMessageW(box, WM_CLOSE, 0, 0);
  PumpMessages();
  ExpectClosedAndOwnerOnTop(box);
}

TEST_F(AboutWindowTest, TheEndOfTheProgramClosesIt) {
  Open();
  const HWND box = Box();
  box_->Close();
  PumpMessages();
  ExpectClosedAndOwnerOnTop(box);
}

TEST_F(AboutWindowTest, OpeningItAgainDoesNotMoveOrRecreateIt) {
  Open();
  const HWND first = Box();
  const RECT before = BoxRect();
  // The main window moves meanwhile; the box stays where it is.
  SetWindowPos(owner_->Hwnd(), nullptr, kOwnerLeft - 200, kOwnerTop + 100, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpMessages();
  box_->Show();
  PumpMessages();
  const RECT after = BoxRect();
  EXPECT_EQ(Box(), first);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_TRUE(IsTopmost(Box()));
  EXPECT_FALSE(IsTopmost(owner_->Hwnd()));
}

TEST_F(AboutWindowTest, ThePictureResourceDecodesTo124By112) {
  const Picture picture = LoadPictureResource(GetModuleHandleW(nullptr), IDR_ABOUT_PICTURE);
  ASSERT_FALSE(picture.Empty());
  EXPECT_EQ(picture.Width(), kPictureWidthPixels);
  EXPECT_EQ(picture.Height(), kPictureHeightPixels);
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
  const Capture shot = CaptureScreen(BoxRect());
  ASSERT_TRUE(SaveBmp(shot, std::string(LUMARET_ARTIFACT_DIR) + "/about_box.bmp"));

  POINT origin{0, 0};
  ClientToScreen(Box(), &origin);
  const RECT box = BoxRect();
  const int dx = origin.x - box.left;
  const int dy = origin.y - box.top;
  const Dpi dpi = ScreenDpi();
  auto px = [&](int twips) { return TwipsToPixels(twips, dpi.x); };
  auto py = [&](int twips) { return TwipsToPixels(twips, dpi.y); };

  const std::uint32_t frame = Rgb(GetSysColor(COLOR_WINDOWFRAME));
  const int left = dx + px(kPicture1.left);
  const int top = dy + py(kPicture1.top);
  EXPECT_EQ(shot.At(left, top + 20), frame) << "the picture's left border";
  EXPECT_EQ(shot.At(left + 20, top), frame) << "the picture's top border";
  // Inside: the sky at the top left of the picture is light blue, not the window colour.
  const std::uint32_t sky = shot.At(left + 4, top + 4);
  EXPECT_GT(sky & 0xFF, (sky >> 16) & 0xFF) << std::hex << sky;

  const std::uint32_t lineColour = Rgb(GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(shot.At(dx + px(4000), dy + py(kLine1.y1)), lineColour) << "Line1";

  // VersionLbl's background is the highlight-text colour inside its border.
  const int versionLeft = dx + px(kVersionLbl.left);
  const int versionTop = dy + py(kVersionLbl.top);
  EXPECT_EQ(shot.At(versionLeft + 3, versionTop + 2), Rgb(GetSysColor(COLOR_HIGHLIGHTTEXT)));
}

}  // namespace
}  // namespace win32::about::test
