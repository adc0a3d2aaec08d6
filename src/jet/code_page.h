// Text in the file's code page (Windows-1252) to and from UTF-8.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "jet/result.h"
#include "jet/value.h"

namespace jet {

// Decodes Windows-1252 bytes. The five bytes the code page leaves undefined map
// to the C1 controls of the same value, as Windows' best-fit tables do.
std::string DecodeCp1252(std::span<const std::uint8_t> bytes);
// The same, appended to `out` (for callers that reuse one buffer).
void AppendCp1252(std::string& out, std::span<const std::uint8_t> bytes);
// The same as a view, for callers that read the text and let it go: ASCII, which
// most text is, reads the same in both, so the view is then of `bytes` themselves;
// other text is decoded into `scratch`, and the view is valid until it changes.
std::string_view Cp1252View(std::span<const std::uint8_t> bytes, std::string& scratch);

// Encodes UTF-8 text. Fails (before anything is written) for text that is not
// valid UTF-8 or holds a character the code page cannot hold.
Result<Bytes> EncodeCp1252(std::string_view utf8);

}  // namespace jet
