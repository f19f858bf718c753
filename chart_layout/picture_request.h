// A picture asked for: the file it goes to, PNG or SVG, its size in pixels and the threads that
// may write it.
#pragma once

#include <string>
#include <utility>

namespace taviro::stats {

enum class PictureFormat { Png, Svg };

struct PictureRequest {
    std::string path;
    PictureFormat format = PictureFormat::Png;
    int width = 1600, height = 1000;  // pixels
    unsigned threads = 1;
};

inline constexpr std::pair<int, int> kLeastPicture = {600, 400};
inline constexpr int kMostPictureSide = 8000;

}  // namespace taviro::stats
