// Joins texts by appending them to one string. (Chains of `"..." + std::string` make GCC 12 warn
// of overlapping copies that cannot happen, GCC bug 105329.)
#pragma once

#include <string>
#include <string_view>

namespace taviro {

template <class... Parts>
std::string Concat(const Parts&... parts) {
    std::string out;
    out.reserve((std::string_view(parts).size() + ... + 0));
    (out.append(std::string_view(parts)), ...);
    return out;
}

}  // namespace taviro
