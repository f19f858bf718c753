// The program version, from the build (the project version in CMakeLists.txt).
#pragma once

#include <string_view>

namespace taviro {

inline constexpr std::string_view kVersion = TAVIRO_VERSION;

}  // namespace taviro
