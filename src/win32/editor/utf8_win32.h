// Conversions between the core's UTF-8 text and the wide text of the W APIs.
#pragma once

#include <string>
#include <string_view>

namespace win32::editor {

// Invalid UTF-8 becomes U+FFFD, as MultiByteToWideChar does.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace win32::editor
