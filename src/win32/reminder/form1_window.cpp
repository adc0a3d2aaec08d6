// Form1's window: creation of the window and its controls, and the Window interface
// through which the reminder's logic moves, shows, hides and fills it.
#include "win32/reminder/form1_window.h"

#include <commctrl.h>

#include "verse/resource_ids.h"
#include "win32/common/text.h"
#include "win32/reminder/form1_layout.h"

namespace win32::reminder {

namespace {

constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

constexpr int kOptionsMenu = 2;        // File, Edit, Options, Help
constexpr int kIntervalMenuPlace = 1;  // below "&Start with Windows"

// Each control and its box, in creation order.
struct ControlBox {
  int id;
  const TwipsBox& box;
};
const ControlBox kControlBoxes[] = {
    {IDC_NEW_VERSE_CMD, kNewVerseCmdBox}, {IDC_MINIMIZE_CMD, kMinimizeCmdBox},
    {IDC_VERSES_LBL, kVersesLblBox},      {IDC_CHAP_VERSE_SEP_LBL, kChapVerseSepLblBox},
    {IDC_CHAPTER_LBL, kChapterLblBox},    {IDC_BOOK_LBL, kBookLblBox},
    {IDC_VERSE_TXT_LBL, kVerseTxtLblBox},
};

}  // namespace

Form1Window::Form1Window(HINSTANCE instance, UINT timerMilliseconds)
    : instance_(instance), timerMilliseconds_(timerMilliseconds) {}

Form1Window::~Form1Window() {
  if (Hwnd() != nullptr) {
    form_ = nullptr;  // the logic may be gone already; destroy without asking it
    DestroyWindow(Hwnd());
  }
  if (headingFont_ != nullptr) DeleteObject(headingFont_);
  if (verseFont_ != nullptr) DeleteObject(verseFont_);
  if (buttonFont_ != nullptr) DeleteObject(buttonFont_);
  if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
  if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

bool Form1Window::Create() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  screenDpi_ = dpi_ = ScreenDpi();

  bigIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_LUMARET), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ =
      static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_LUMARET), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  if (!Register(instance_, WindowClass{kClassName, bigIcon_, smallIcon_})) return false;

  accelerators_ = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDR_FORM1_ACCELERATORS));
  HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_FORM1_MENU));
  AddIntervalMenu(menu);
  RECT frame{0, 0, ToPixelsX(kClientWidthTwips), ToPixelsY(kClientHeightTwips)};
  AdjustWindowRectEx(&frame, kFrameStyle, TRUE, 0);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
  if (CreateFor(0, kClassName, Wide(kCaption), kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT, size, menu,
                instance_) == nullptr) {
    if (menu != nullptr) DestroyMenu(menu);
    return false;
  }
  FitClientArea();
  return true;
}

void Form1Window::FitClientArea() {
  // A menu bar that wrapped onto a second line would eat into the client area.
  win32::FitClientArea(Hwnd(), ToPixelsX(kClientWidthTwips), ToPixelsY(kClientHeightTwips));
}

void Form1Window::MakeFonts() {
  for (HFONT* font : {&headingFont_, &verseFont_, &buttonFont_}) {
    if (*font != nullptr) DeleteObject(*font);
    *font = nullptr;
  }
  headingFont_ = CreatePointFont(kLabelFontFace, kHeadingPointsX100, dpi_.y, FW_BOLD);
  verseFont_ = CreatePointFont(kLabelFontFace, kVerseTextPointsX100, dpi_.y, FW_NORMAL);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    // The system's message font is given at the system's DPI.
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi_.y, screenDpi_.y);
    buttonFont_ = CreateFontIndirectW(&metrics.lfMessageFont);
  }
}

void Form1Window::LayOutControls() {
  HFONT font = buttonFont_ != nullptr ? buttonFont_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const ControlBox& control : kControlBoxes) {
    HWND child = Control(control.id);
    MoveWindow(child, ToPixelsX(control.box.left), ToPixelsY(control.box.top), ToPixelsX(control.box.width),
               ToPixelsY(control.box.height), TRUE);
    if (control.id == IDC_NEW_VERSE_CMD || control.id == IDC_MINIMIZE_CMD) {
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
  }
}

void Form1Window::OnDpiChanged(Dpi dpi, const RECT& suggested) {
  if (dpi.x <= 0 || dpi.y <= 0) return;
  dpi_ = dpi;
  MakeFonts();
  LayOutControls();
  FollowDpiChange(Hwnd(), suggested, ToPixelsX(kClientWidthTwips), ToPixelsY(kClientHeightTwips));
}

void Form1Window::OnCreate() {
  MakeFonts();

  // Creation order is the tab order: Tab moves between the two buttons only.
  auto button = [this](int id, const char* text, const TwipsBox& box) {
    HWND control =
        CreateWindowExW(0, L"BUTTON", Wide(text).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        ToPixelsX(box.left), ToPixelsY(box.top), ToPixelsX(box.width), ToPixelsY(box.height),
                        Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    HFONT font = buttonFont_ != nullptr ? buttonFont_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  HWND newVerse = button(IDC_NEW_VERSE_CMD, kNewVerseCaption, kNewVerseCmdBox);
  SetTimer(Hwnd(), kTimer1, timerMilliseconds_, nullptr);
  HWND minimize = button(IDC_MINIMIZE_CMD, kMinimizeCaption, kMinimizeCmdBox);
  auto label = [this](int id, const char* text, const TwipsBox& box) {
    CreateWindowExW(0, L"STATIC", Wide(text).c_str(), WS_CHILD | WS_VISIBLE | SS_OWNERDRAW,
                    ToPixelsX(box.left), ToPixelsY(box.top), ToPixelsX(box.width), ToPixelsY(box.height),
                    Hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  };
  label(IDC_VERSES_LBL, kVersesPlaceholder, kVersesLblBox);
  label(IDC_CHAP_VERSE_SEP_LBL, ":", kChapVerseSepLblBox);
  label(IDC_CHAPTER_LBL, kChapterPlaceholder, kChapterLblBox);
  label(IDC_BOOK_LBL, kBookPlaceholder, kBookLblBox);
  label(IDC_VERSE_TXT_LBL, kVerseTxtPlaceholder, kVerseTxtLblBox);

  // "&Amen" comes first in the tab order: it has the focus when the window opens.
  focus_ = minimize;
  CreateToolTips();
  AddToolTip(minimize, kMinimizeToolTip);
  AddToolTip(newVerse, "");
}

void Form1Window::CreateToolTips() {
  // No parent: a window that owns a (topmost) tooltip does not reliably become
  // topmost itself under wine. The window destroys it itself.
  toolTip_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, nullptr);
}

void Form1Window::AddToolTip(HWND button, const std::string& text) {
  if (toolTip_ == nullptr) return;
  std::wstring wide = Wide(text);
  TTTOOLINFOW info{};
  // The version 2 size works with and without a common controls 6 manifest.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = Hwnd();
  info.uId = reinterpret_cast<UINT_PTR>(button);
  info.lpszText = wide.data();
  SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

int Form1Window::ToPixelsX(int twips) const { return TwipsToPixels(twips, dpi_.x); }
int Form1Window::ToPixelsY(int twips) const { return TwipsToPixels(twips, dpi_.y); }

// --- reminder::Window ---

::reminder::WindowHandle Form1Window::Handle() const {
  return static_cast<::reminder::WindowHandle>(reinterpret_cast<std::uintptr_t>(Hwnd()));
}

std::uint32_t Form1Window::IconHandle() const {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(smallIcon_));
}

std::string Form1Window::Caption() const { return Utf8(WindowText(Hwnd())); }

::reminder::TwipsRect Form1Window::Bounds() const {
  RECT frame{};
  GetWindowRect(Hwnd(), &frame);
  return {PixelsToTwips(frame.left, screenDpi_.x), PixelsToTwips(frame.top, screenDpi_.y),
          PixelsToTwips(frame.right - frame.left, screenDpi_.x),
          PixelsToTwips(frame.bottom - frame.top, screenDpi_.y)};
}

void Form1Window::SetLeft(std::int32_t left) {
  RECT frame{};
  GetWindowRect(Hwnd(), &frame);
  SetWindowPos(Hwnd(), nullptr, TwipsToPixels(left, screenDpi_.x), frame.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1Window::SetTop(std::int32_t top) {
  RECT frame{};
  GetWindowRect(Hwnd(), &frame);
  SetWindowPos(Hwnd(), nullptr, frame.left, TwipsToPixels(top, screenDpi_.y), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1Window::Show() { ShowWindow(Hwnd(), SW_SHOW); }

void Form1Window::Hide() { ShowWindow(Hwnd(), SW_HIDE); }

void Form1Window::Restore() {
  if (IsIconic(Hwnd()) || IsZoomed(Hwnd())) ShowWindow(Hwnd(), SW_RESTORE);
}

void Form1Window::Focus() {
  SetForegroundWindow(Hwnd());
  SetFocus(focus_ != nullptr ? focus_ : Control(IDC_MINIMIZE_CMD));
}

void Form1Window::RequestClose() { SendMessageW(Hwnd(), WM_CLOSE, 0, 0); }

void Form1Window::AddIntervalMenu(HMENU menu) {
  HMENU intervals = CreatePopupMenu();
  if (intervals == nullptr) return;
  for (const ::reminder::Interval& interval : ::reminder::kIntervals) {
    AppendMenuW(intervals, MF_STRING, static_cast<UINT_PTR>(IDM_INTERVAL_0 + interval.index),
                Wide(interval.caption).c_str());
  }
  if (!InsertMenuW(GetSubMenu(menu, kOptionsMenu), kIntervalMenuPlace, MF_BYPOSITION | MF_POPUP,
                   reinterpret_cast<UINT_PTR>(intervals), L"Reminder Interval")) {
    DestroyMenu(intervals);
  }
}

void Form1Window::ShowChoices(const ::reminder::Choices& choices) {
  HMENU menu = GetMenu(Hwnd());
  auto check = [menu](UINT id, bool on) {
    CheckMenuItem(menu, id, static_cast<UINT>(MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)));
  };
  check(IDM_OPTIONS_AUTOSTART, choices.autoStart);
  check(IDM_HOURLY_CHIME, choices.chimes);
  const int shown = ::reminder::IntervalShowing(choices.reminderMinutes).index;
  for (const ::reminder::Interval& interval : ::reminder::kIntervals) {
    check(static_cast<UINT>(IDM_INTERVAL_0 + interval.index), interval.index == shown);
  }
}

void Form1Window::ShowVerse(const store::VerseRecord& record) {
  SetWindowTextW(Control(IDC_BOOK_LBL), Wide(record.book).c_str());
  SetWindowTextW(Control(IDC_CHAPTER_LBL), Wide(record.chapter).c_str());
  SetWindowTextW(Control(IDC_VERSES_LBL), Wide(record.verses).c_str());
  SetWindowTextW(Control(IDC_VERSE_TXT_LBL), Wide(record.verseTxt).c_str());
}

void Form1Window::SetNextVerseToolTip(const std::string& text) {
  if (toolTip_ == nullptr) return;
  std::wstring wide = Wide(text);
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = Hwnd();
  info.uId = reinterpret_cast<UINT_PTR>(Control(IDC_NEW_VERSE_CMD));
  info.lpszText = wide.data();
  SendMessageW(toolTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace win32::reminder
