#include "cp932.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace taviro {

namespace {

// The length of the well-formed UTF-8 character at the start of `text`, or 1 for a byte that
// does not start one.
std::size_t CharacterLength(const char* text, std::size_t size) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4  ? 4
                               : lead >= 0xE0                ? 3
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                                                             : 1;
    if (length > size) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

}  // namespace

std::string ToCodePage932(std::string_view utf8) {
    iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("the CP932 converter is not available");
    }
    std::string out;
    out.resize(utf8.size() + 4);  // Shift_JIS never needs more bytes than UTF-8
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) break;  // cannot happen with the size above
        // EILSEQ or EINVAL: an unrepresentable character or broken input.
        const std::size_t skip = CharacterLength(in, inLeft);
        in += skip;
        inLeft -= skip;
        *outPtr++ = '?';
        --outLeft;
    }
    iconv_close(converter);
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    return out;
}

}  // namespace taviro
