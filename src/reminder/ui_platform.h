// The window-system services the reminder's logic uses: message boxes, the mouse
// pointer, its own window, window order, the notification icon, the clipboard, the
// About box and the screen's monitors.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "reminder/choices.h"
#include "store/verse_cursor.h"

namespace reminder {

// Window handles as the 32-bit program passes them to the platform.
using WindowHandle = std::uint32_t;

enum class MessageIcon { kNone, kCritical, kExclamation, kInformation };

// Standard message boxes with a single OK button. Texts are UTF-8.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows a modal message and returns when the user has closed it.
  virtual void Show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
};

// The application-wide mouse pointer.
class MousePointer {
 public:
  virtual ~MousePointer() = default;
  // true: the busy hourglass; false: the default pointer.
  virtual void SetBusy(bool busy) = 0;
};

// A rectangle in twips.
struct TwipsRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The main window Form1 as its logic sees it. Positions and sizes are in twips of
// the whole window (frame included), as the settings file keeps them.
class Window {
 public:
  virtual ~Window() = default;
  virtual WindowHandle Handle() const = 0;
  virtual std::uint32_t IconHandle() const = 0;
  virtual std::string Caption() const = 0;

  virtual TwipsRect Bounds() const = 0;
  virtual void SetLeft(std::int32_t left) = 0;
  virtual void SetTop(std::int32_t top) = 0;

  // Makes the window visible (modeless) or invisible; neither unloads it.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // Sets the window's state to normal (undoes minimise or maximise).
  virtual void Restore() = 0;
  virtual void Focus() = 0;
  // Asks the window to close, as its close box would: the shell runs
  // Form1::Form_QueryUnload and destroys the window only when that allows it.
  virtual void RequestClose() = 0;

  // The check marks of the Options menu: "&Start with Windows", the interval that
  // shows the minutes, "&Chimes". Failures are not reported; the logic never needs them.
  virtual void ShowChoices(const Choices& choices) = 0;

  // The bound labels: Book, Chapter, Verses and VerseTxt of the current row.
  virtual void ShowVerse(const store::VerseRecord& record) = 0;
  // The tooltip of "&Next Verse".
  virtual void SetNextVerseToolTip(const std::string& text) = 0;
};

// SetWindowPos, used only to enter or leave the always-on-top layer.
class WindowOrder {
 public:
  static constexpr std::int32_t kTopmost = -1;       // HWND_TOPMOST
  static constexpr std::int32_t kNoTopmost = -2;     // HWND_NOTOPMOST
  static constexpr std::uint32_t kNoMoveNoSize = 3;  // SWP_NOMOVE + SWP_NOSIZE

  virtual ~WindowOrder() = default;
  // Arguments as SetWindowPos takes them; the result is never examined.
  virtual void SetWindowPos(WindowHandle window, std::int32_t insertAfter, int x, int y, int cx, int cy,
                            std::uint32_t flags) = 0;
};

// Shell_NotifyIconA with the 88-byte NOTIFYICONDATAA record.
class NotifyIcon {
 public:
  static constexpr std::uint32_t kAdd = 0;     // NIM_ADD
  static constexpr std::uint32_t kDelete = 2;  // NIM_DELETE

  virtual ~NotifyIcon() = default;
  // Returns what the service returned; callers ignore it.
  virtual bool ShellNotifyIcon(std::uint32_t message, const std::array<std::uint8_t, 88>& record) = 0;
};

// The clipboard's plain-text format.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Empties the clipboard and puts `text` (UTF-8, stored as CF_TEXT) on it alone.
  // false when the clipboard could not be opened or written.
  virtual bool SetText(const std::string& text) = 0;
};

// The About box AboutFrm.
class AboutBox {
 public:
  virtual ~AboutBox() = default;
  // Shows the box modeless (loading it when needed) or brings an open one to the front.
  virtual void Show() = 0;
  // Closes the box if it is open; nothing happens otherwise.
  virtual void Close() = 0;
};

// Screen metrics in twips.
class Screen {
 public:
  virtual ~Screen() = default;
  // The primary screen, at (0, 0).
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
  // Every monitor's rectangle in the coordinates of the primary screen; monitors
  // left of or above the primary one have negative edges.
  virtual std::vector<TwipsRect> Monitors() const = 0;
};

}  // namespace reminder
