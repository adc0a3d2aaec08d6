// The navigation bar's window procedure: one handler per message, state in a small
// structure hung off the window.
#include "win32/editor/nav_bar.h"

#include <array>

#include "tovimar/tovimar_ids.h"
#include "win32/editor/child_class.h"

namespace win32::editor {
namespace {

struct NavBar {
  std::array<HWND, 4> buttons{};
  HFONT font = nullptr;
};

// Left to right: two at the left end, two at the right end.
constexpr std::array<int, 4> kButtonIds = {IDC_NAV_FIRST, IDC_NAV_PREVIOUS, IDC_NAV_NEXT, IDC_NAV_LAST};
constexpr std::array<const wchar_t*, 4> kButtonNames = {L"First", L"Previous", L"Next", L"Last"};

NavBar* State(HWND hwnd) { return reinterpret_cast<NavBar*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// Square buttons as high as the bar's inside.
int ButtonSize(HWND hwnd) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  return rc.bottom - rc.top;
}

LRESULT OnCreate(HWND hwnd, const CREATESTRUCTW& cs) {
  auto* state = new NavBar;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  for (std::size_t i = 0; i < kButtonIds.size(); ++i) {
    state->buttons[i] =
        CreateWindowExW(0, L"BUTTON", kButtonNames[i], WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 0, 0, hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonIds[i])), cs.hInstance, nullptr);
    if (state->buttons[i] == nullptr) return -1;
  }
  return 0;
}

void OnDestroy(HWND hwnd) {
  delete State(hwnd);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
}

void OnSize(HWND hwnd, int width) {
  const NavBar* state = State(hwnd);
  const int size = ButtonSize(hwnd);
  const std::array<int, 4> lefts = {0, size, width - 2 * size, width - size};
  for (std::size_t i = 0; i < lefts.size(); ++i) MoveWindow(state->buttons[i], lefts[i], 0, size, size, TRUE);
  InvalidateRect(hwnd, nullptr, TRUE);
}

// A black arrow: a triangle pointing left or right, with a bar before it for first and last.
void DrawArrow(HDC dc, RECT rc, int id, bool pushed) {
  const int h = (rc.bottom - rc.top) / 3;
  const int cx = (rc.left + rc.right) / 2 + (pushed ? 1 : 0);
  const int cy = (rc.top + rc.bottom) / 2 + (pushed ? 1 : 0);
  const bool left = id == IDC_NAV_FIRST || id == IDC_NAV_PREVIOUS;
  const bool bar = id == IDC_NAV_FIRST || id == IDC_NAV_LAST;
  const int half = h / 2;
  const int tip = left ? cx - half : cx + half;
  const int base = left ? cx + half : cx - half;
  const int shift = bar ? (left ? 1 : -1) : 0;
  POINT triangle[3] = {{tip + shift, cy}, {base + shift, cy - h / 2 - 1}, {base + shift, cy + h / 2 + 1}};
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  Polygon(dc, triangle, 3);
  if (bar) {
    const int x = left ? tip + shift - 2 : tip + shift + 1;
    Rectangle(dc, x, cy - h / 2 - 1, x + 2, cy + h / 2 + 2);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

void OnDrawItem(const DRAWITEMSTRUCT& item) {
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  RECT rc = item.rcItem;
  DrawFrameControl(item.hDC, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0u));
  DrawArrow(item.hDC, item.rcItem, static_cast<int>(item.CtlID), pushed);
}

// The caption, left-aligned between the inner buttons, on the window background.
void OnPaint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  const int size = ButtonSize(hwnd);
  RECT text = {rc.left + 2 * size, rc.top, rc.right - 2 * size, rc.bottom};
  FillRect(dc, &text, GetSysColorBrush(COLOR_WINDOW));
  text.left += 4;
  wchar_t caption[128] = {};
  GetWindowTextW(hwnd, caption, static_cast<int>(std::size(caption)));
  HGDIOBJ oldFont =
      SelectObject(dc, State(hwnd)->font != nullptr ? State(hwnd)->font : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  DrawTextW(dc, caption, -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK NavBarProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(hwnd, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_DESTROY: OnDestroy(hwnd); return 0;
    case WM_SIZE: OnSize(hwnd, LOWORD(lParam)); return 0;
    case WM_DRAWITEM: OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_COMMAND:  // a button click goes on to the window that owns the bar
      return SendMessageW(GetParent(hwnd), WM_COMMAND, wParam, lParam);
    case WM_PAINT: OnPaint(hwnd); return 0;
    case WM_SETFONT:
      if (NavBar* state = State(hwnd)) state->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam) != 0) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(State(hwnd) != nullptr ? State(hwnd)->font : nullptr);
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return result;
    }
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

bool RegisterNavBarClass(HINSTANCE instance) {
  return RegisterChildClass(instance, kNavBarClass, NavBarProc, COLOR_WINDOW);
}

}  // namespace win32::editor
