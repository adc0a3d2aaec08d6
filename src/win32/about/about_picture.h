// The About box picture: a JPEG stored as RCDATA, decoded by the system's picture loader.
#pragma once

#include <windows.h>

namespace win32::about {

// An owned bitmap with its size in pixels; deletes the bitmap when it goes.
class Picture {
 public:
  Picture() = default;
  Picture(HBITMAP bitmap, int width, int height) : bitmap_(bitmap), width_(width), height_(height) {}
  Picture(Picture&& other) noexcept;
  Picture& operator=(Picture&& other) noexcept;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  ~Picture();

  HBITMAP Bitmap() const { return bitmap_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return bitmap_ == nullptr; }

 private:
  HBITMAP bitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// Decodes the RCDATA resource `id` of `module` with OleLoadPicture into a DIB section.
// An empty picture when the resource is missing or is not a picture.
Picture LoadPictureResource(HMODULE module, int id);

}  // namespace win32::about
