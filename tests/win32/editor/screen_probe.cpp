// Reading message boxes and the screen from the test process.
#include "win32/editor/screen_probe.h"

#include <cstdint>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "win32/editor/editor_process.h"
#include "win32/editor/utf8_win32.h"

namespace win32::editor::test {
namespace {

struct Statics {
  HWND text = nullptr;
  HWND icon = nullptr;
};

BOOL CALLBACK CollectStatic(HWND child, LPARAM lParam) {
  auto& found = *reinterpret_cast<Statics*>(lParam);
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  if (lstrcmpiW(name, L"Static") != 0) return TRUE;
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  if ((style & SS_TYPEMASK) == SS_ICON) {
    found.icon = child;
  } else if (found.text == nullptr && !TextOf(child).empty()) {
    found.text = child;
  }
  return TRUE;
}

Statics FindStatics(HWND box) {
  Statics found;
  EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The screen's pixels in `rc`, 32 bits each, top row first.
std::vector<std::uint32_t> ScreenPixels(const RECT& rc) {
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (std::uint32_t& pixel : pixels) pixel &= 0x00FFFFFFu;
  return pixels;
}

// `icon` drawn at its normal size over a plain `background`.
std::vector<std::uint32_t> IconPixels(HICON icon, int width, int height, std::uint32_t background) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  auto* first = static_cast<std::uint32_t*>(bits);
  std::fill(first, first + width * height, background);
  DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  GdiFlush();
  std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  for (std::uint32_t& pixel : pixels) pixel &= 0x00FFFFFFu;
  return pixels;
}

}  // namespace

std::string MessageBoxText(HWND box) {
  const Statics found = FindStatics(box);
  return found.text != nullptr ? TextOf(found.text) : std::string("<no text>");
}

HWND MessageBoxIcon(HWND box) { return FindStatics(box).icon; }

bool ShowsSystemIcon(HWND iconStatic, SystemIcon which) {
  if (iconStatic == nullptr || !IsWindowVisible(iconStatic)) return false;
  RECT rc;
  GetWindowRect(iconStatic, &rc);
  const int width = GetSystemMetrics(SM_CXICON);
  const int height = GetSystemMetrics(SM_CYICON);
  rc.right = rc.left + width;
  rc.bottom = rc.top + height;
  const std::vector<std::uint32_t> shown = ScreenPixels(rc);
  HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(static_cast<int>(which)));
  return icon != nullptr && shown == IconPixels(icon, width, height, shown.front());
}

bool SaveWindowPicture(HWND window, const std::string& path) {
  RECT rc;
  if (!GetWindowRect(window, &rc)) return false;
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  const std::vector<std::uint32_t> pixels = ScreenPixels(rc);
  const auto rowBytes = static_cast<std::uint32_t>((width * 3 + 3) & ~3);
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageBytes;
  BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, imageBytes, 0, 0, 0, 0};
  std::ofstream out(std::filesystem::path(win32::editor::Wide(path)), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  std::vector<char> row(rowBytes, 0);
  for (int y = height - 1; y >= 0; --y) {  // BMP rows go bottom up
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = pixels[static_cast<std::size_t>(y * width + x)];
      const auto at = static_cast<std::size_t>(x * 3);
      row[at] = static_cast<char>(pixel & 0xFF);
      row[at + 1] = static_cast<char>((pixel >> 8) & 0xFF);
      row[at + 2] = static_cast<char>((pixel >> 16) & 0xFF);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
  return static_cast<bool>(out);
}

}  // namespace win32::editor::test
