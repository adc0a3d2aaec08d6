// EditFrm's controls at their positions in twips, converted with the screen's real
// resolution (twips per pixel = 1440 / dpi), created in tab order.
#include <array>

#include "tovimar/tovimar_ids.h"
#include "win32/common/dpi.h"
#include "win32/editor/button_strip.h"
#include "win32/editor/edit_window.h"
#include "win32/editor/nav_bar.h"

namespace win32::editor {
namespace {

constexpr int kClientWidth = 7665;
constexpr int kClientHeight = 3555;
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

struct FieldPlace {
  int index;
  const wchar_t* label;
  int labelLeft, labelTop, labelWidth;
  int boxLeft, boxTop, boxWidth, boxHeight;
};

constexpr int kLabelHeight = 255;

// lblLabels(i) and txtFields(i) (chkFields for the Read pair, index 2).
constexpr std::array<FieldPlace, 5> kFields = {{
    {::editor::kBookField, L"Book:", 120, 60, 1815, 2040, 60, 3375, 285},
    {::editor::kChapterField, L"Chapter:", 120, 380, 1815, 2040, 380, 3375, 285},
    {::editor::kReadField, L"Read:", 5640, 120, 615, 6360, 120, 495, 285},
    {::editor::kVersesField, L"Verses:", 120, 1020, 1815, 2040, 1020, 3375, 285},
    {::editor::kVerseTxtField, L"VerseTxt:", 120, 1340, 1815, 2040, 1340, 5415, 1365},
}};

struct ButtonPlace {
  int id;
  const wchar_t* caption;
  int left;
};

constexpr int kButtonWidth = 1095;
constexpr int kStripTop = 2925;
constexpr int kStripHeight = 300;
constexpr int kDataTop = 3225;
constexpr int kDataHeight = 330;
constexpr std::array<ButtonPlace, 4> kButtons = {{
    {IDC_CMD_ADD, L"&Add", 59},
    {IDC_CMD_UPDATE, L"&Update", 1213},
    {IDC_CMD_DELETE, L"&Delete", 2367},
    {IDC_CMD_REFRESH, L"&Refresh", 3521},
}};

}  // namespace

int EditWindow::Px(int twips) const { return TwipsToPixels(twips, dpi_); }

SIZE EditWindow::OuterSize() const {
  RECT rc = {0, 0, Px(kClientWidth), Px(kClientHeight)};
  AdjustWindowRectEx(&rc, kFrameStyle, TRUE, 0);
  return {rc.right - rc.left, rc.bottom - rc.top};
}

bool EditWindow::Create(HINSTANCE instance, int showCommand) {
  instance_ = instance;
  dpi_ = ScreenDpi().x;
  if (!RegisterNavBarClass(instance) || !RegisterButtonStripClass(instance)) return false;
  const WindowClass windowClass{
      kEditFrmClass, LoadIconW(instance, MAKEINTRESOURCEW(IDI_TOVIMAR)),
      static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TOVIMAR), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)),
      MAKEINTRESOURCEW(IDR_EDITFRM_MENU)};
  if (!Register(instance, windowClass)) return false;
  accelerators_ = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_EDITFRM_ACCEL));
  MakeFont();

  const SIZE size = OuterSize();
  const int left = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
  if (CreateFor(WS_EX_CONTROLPARENT, kEditFrmClass, L"Tovimar", kFrameStyle, left, top, size, nullptr,
                instance) == nullptr) {
    return false;
  }
  ShowWindow(Hwnd(), showCommand);
  UpdateWindow(Hwnd());
  SetFocus(txtFields_[::editor::kBookField]);
  return true;
}

void EditWindow::MakeFont() {
  if (font_ != nullptr) DeleteObject(font_);
  font_ = CreatePointFont(L"MS Sans Serif", 800, dpi_, FW_NORMAL);
}

void EditWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0) return;
  dpi_ = dpi;
  const HFONT old = font_;
  font_ = nullptr;
  MakeFont();
  auto place = [this](HWND child, int left, int top, int width, int height) {
    if (child == nullptr) return;
    MoveWindow(child, Px(left), Px(top), Px(width), Px(height), TRUE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  };
  for (const FieldPlace& field : kFields) {
    const auto i = static_cast<std::size_t>(field.index);
    place(lblLabels_[i], field.labelLeft, field.labelTop, field.labelWidth, kLabelHeight);
    place(field.index == ::editor::kReadField ? chkRead_ : txtFields_[i], field.boxLeft, field.boxTop,
          field.boxWidth, field.boxHeight);
  }
  place(picButtons_, 0, kStripTop, kClientWidth, kStripHeight);
  for (const ButtonPlace& button : kButtons) {
    place(GetDlgItem(picButtons_, button.id), button.left, 0, kButtonWidth, kStripHeight);
  }
  place(datPrimaryRS_, 0, kDataTop, kClientWidth, kDataHeight);
  if (old != nullptr) DeleteObject(old);  // no control uses it any more

  // The suggested frame is the old one scaled; the client area must be the layout's.
  FollowDpiChange(Hwnd(), suggested, Px(kClientWidth), Px(kClientHeight));
}

HWND EditWindow::CreateChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                             DWORD exStyle, int id, int left, int top, int width, int height) {
  HWND child = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | style, Px(left), Px(top),
                               Px(width), Px(height), parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (child != nullptr) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return child;
}

bool EditWindow::CreateControls() {
  for (const FieldPlace& field : kFields) {
    const auto i = static_cast<std::size_t>(field.index);
    const bool read = field.index == ::editor::kReadField;
    // The Read pair is bound but hidden: the user never sees or changes the column.
    const DWORD visible = read ? 0 : WS_VISIBLE;
    lblLabels_[i] = CreateChild(Hwnd(), L"STATIC", field.label, visible | SS_LEFT | SS_NOPREFIX, 0,
                                IDC_LBL_LABELS + field.index, field.labelLeft, field.labelTop,
                                field.labelWidth, kLabelHeight);
    if (lblLabels_[i] == nullptr) return false;
    if (read) {
      chkRead_ =
          CreateChild(Hwnd(), L"BUTTON", L"", BS_AUTOCHECKBOX | WS_TABSTOP, 0, IDC_CHK_FIELDS + field.index,
                      field.boxLeft, field.boxTop, field.boxWidth, field.boxHeight);
      if (chkRead_ == nullptr) return false;
      continue;
    }
    // The VerseTxt box wraps its words and has no scroll bars.
    const DWORD multiLine = field.index == ::editor::kVerseTxtField
                                ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN
                                : ES_AUTOHSCROLL;
    txtFields_[i] = CreateChild(Hwnd(), L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_LEFT | multiLine,
                                WS_EX_CLIENTEDGE, IDC_TXT_FIELDS + field.index, field.boxLeft, field.boxTop,
                                field.boxWidth, field.boxHeight);
    if (txtFields_[i] == nullptr) return false;
    SendMessageW(txtFields_[i], EM_SETLIMITTEXT, 0, 0);  // no length limit
  }

  picButtons_ = CreateChild(Hwnd(), kButtonStripClass, L"", WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                            IDC_PIC_BUTTONS, 0, kStripTop, kClientWidth, kStripHeight);
  if (picButtons_ == nullptr) return false;
  for (const ButtonPlace& button : kButtons) {
    if (CreateChild(picButtons_, L"BUTTON", button.caption, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0,
                    button.id, button.left, 0, kButtonWidth, kStripHeight) == nullptr) {
      return false;
    }
  }

  // The caption is a single space until the first move sets it.
  datPrimaryRS_ = CreateChild(Hwnd(), kNavBarClass, L" ", WS_VISIBLE, WS_EX_CLIENTEDGE, IDC_DAT_PRIMARY_RS, 0,
                              kDataTop, kClientWidth, kDataHeight);
  return datPrimaryRS_ != nullptr;
}

}  // namespace win32::editor
