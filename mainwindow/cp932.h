#pragma once

#include <string>
#include <string_view>

namespace taviro {

// UTF-8 text in the Japanese code page 932 (Microsoft's Shift_JIS). A character the code page
// cannot represent, or a byte that is not valid UTF-8, becomes "?".
std::string ToCodePage932(std::string_view utf8);

}  // namespace taviro
