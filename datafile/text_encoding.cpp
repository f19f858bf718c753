#include "datafile/text_encoding.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace taviro {

namespace {

// The length of the well-formed UTF-8 character at the start of `text`, or 1 for a byte that
// does not start one.
std::size_t Utf8CharacterLength(const char* text, std::size_t size) {
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

// Closes the converter however the conversion ends.
class Converter {
  public:
    Converter(const char* from, const char* to) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("no conversion from ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

}  // namespace

std::string ConvertText(std::string_view text, const char* from, const char* to) {
    const Converter converter(from, to);
    const bool fromUtf8 = std::strcmp(from, "UTF-8") == 0;
    std::string out(text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    std::size_t used = 0;
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        used = static_cast<std::size_t>(outPtr - out.data());
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG || outLeft == 0) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ or EINVAL: an unrepresentable character or broken input.
        const std::size_t skip = fromUtf8 ? Utf8CharacterLength(in, inLeft) : 1;
        in += skip;
        inLeft -= skip;
        out[used++] = '?';
    }
    out.resize(used);
    return out;
}

std::string ToCodePage932(std::string_view utf8) {
#ifdef __EMSCRIPTEN__
    // The web build's C library knows the code page by its Shift_JIS name only; the two agree on
    // every character the program writes but a user's own text could hold.
    return ConvertText(utf8, "UTF-8", "SHIFT_JIS");
#else
    return ConvertText(utf8, "UTF-8", "CP932");
#endif
}

std::string LocaleTextToUtf8(std::string_view text) {
    return ConvertText(text, nl_langinfo(CODESET), "UTF-8");
}

}  // namespace taviro
