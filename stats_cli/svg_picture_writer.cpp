// The stand-in for the picture writer in a build without Qt: there is none.
#include "chart_layout/picture_writer.h"

namespace taviro::stats {

std::unique_ptr<PictureWriter> MakePictureWriter() {
    return nullptr;
}

}  // namespace taviro::stats
