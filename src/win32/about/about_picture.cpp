// The About box picture: RCDATA bytes -> HGLOBAL stream -> OleLoadPicture -> DIB section.
#include "win32/about/about_picture.h"

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstring>
#include <utility>

#include "win32/common/late_dll.h"

namespace win32::about {

Picture::Picture(Picture&& other) noexcept
    : bitmap_(std::exchange(other.bitmap_, nullptr)), width_(other.width_), height_(other.height_) {}

Picture& Picture::operator=(Picture&& other) noexcept {
  if (this != &other) {
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    bitmap_ = std::exchange(other.bitmap_, nullptr);
    width_ = other.width_;
    height_ = other.height_;
  }
  return *this;
}

Picture::~Picture() {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

namespace {

// A stream over a private copy of the resource bytes; the stream frees the copy.
IStream* StreamOverResource(HMODULE module, int id, DWORD* size) {
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (info == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, info);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  *size = SizeofResource(module, info);
  if (bytes == nullptr || *size == 0) return nullptr;

  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, *size);
  if (copy == nullptr) return nullptr;
  void* target = GlobalLock(copy);
  if (target == nullptr) {
    GlobalFree(copy);
    return nullptr;
  }
  std::memcpy(target, bytes, *size);
  GlobalUnlock(copy);
  IStream* stream = nullptr;
  static const auto create =
      LateFunction<decltype(CreateStreamOnHGlobal)>(L"ole32.dll", "CreateStreamOnHGlobal");
  if (create == nullptr || FAILED(create(copy, TRUE, &stream))) {
    GlobalFree(copy);
    return nullptr;
  }
  return stream;
}

}  // namespace

Picture LoadPictureResource(HMODULE module, int id) {
  DWORD size = 0;
  IStream* stream = StreamOverResource(module, id, &size);
  if (stream == nullptr) return {};

  IPicture* picture = nullptr;
  static const auto load = LateFunction<decltype(OleLoadPicture)>(L"oleaut32.dll", "OleLoadPicture");
  const HRESULT loaded = load == nullptr ? E_FAIL
                                         : load(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                                reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(loaded) || picture == nullptr) return {};

  Picture result;
  SHORT type = PICTYPE_UNINITIALIZED;
  OLE_HANDLE handle = 0;
  if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
      SUCCEEDED(picture->get_Handle(&handle))) {
    // The picture object owns its bitmap; keep a copy of our own that outlives it.
    HANDLE own = CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0,
                           LR_CREATEDIBSECTION);
    BITMAP header{};
    if (own != nullptr && GetObjectW(own, sizeof header, &header) != 0) {
      result = Picture(static_cast<HBITMAP>(own), header.bmWidth, header.bmHeight);
    } else if (own != nullptr) {
      DeleteObject(own);
    }
  }
  picture->Release();
  return result;
}

}  // namespace win32::about
