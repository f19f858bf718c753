// Text between UTF-8 and the other encodings the data file meets: code page 932 for the file,
// and the locale's own encoding for the system's error texts.
#pragma once

#include <string>
#include <string_view>

namespace taviro {

// `text` from the encoding `from` into `to` (iconv names). A character that `to` cannot represent,
// or input that is not valid in `from`, becomes "?". Throws std::runtime_error when the system has
// no such conversion.
std::string ConvertText(std::string_view text, const char* from, const char* to);

// UTF-8 text in the Japanese code page 932 (Microsoft's Shift_JIS).
std::string ToCodePage932(std::string_view utf8);

// A text in the encoding of the current locale (as the C library's messages come) as UTF-8.
std::string LocaleTextToUtf8(std::string_view text);

}  // namespace taviro
