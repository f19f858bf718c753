// std::bit_cast, also with a standard library that has none (the web build's): the compilers'
// built-in does the same.
#pragma once

#include <bit>
#include <version>

namespace taviro {

template <typename To, typename From>
constexpr To BitCast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From));
#if defined(__cpp_lib_bit_cast)
    return std::bit_cast<To>(from);
#else
    return __builtin_bit_cast(To, from);
#endif
}

}  // namespace taviro
