// The reminder's About box: wires AboutFrm, its window and the version resource together.
#include "win32/about/about_box.h"

namespace win32::about {

AboutBoxWin32::AboutBoxWin32(HINSTANCE instance, ::reminder::Window& mainWindow,
                             ::reminder::WindowOrder& order, ::reminder::EventPump& pump)
    : window_(instance), version_(instance), form_(mainWindow, order, pump, window_, version_) {
  window_.SetForm(&form_);
}

}  // namespace win32::about
