// The stand-in for the picture writer in a build without Qt: there is none.
#include "stats/picture_writer.h"

namespace taviro::stats {

std::unique_ptr<PictureWriter> MakePictureWriter() {
    return nullptr;
}

}  // namespace taviro::stats
