// The picture writer of a build without Qt: SVG alone, from the window-free SVG writer. A PNG takes
// Qt's painter and is refused.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "chart_layout/picture_writer.h"
#include "chart_layout/svg_drawing.h"

namespace taviro::stats {

namespace {

class SvgPictureWriter : public PictureWriter {
  public:
    bool Writes(PictureFormat format) const override { return format == PictureFormat::Svg; }

    // Written under a temporary name in the same folder, which replaces the file when complete.
    std::optional<std::string> Write(const Drawing& drawing,
                                     const PictureRequest& request) override {
        const std::string svg = SvgDocument(drawing, request.width, request.height);
        std::string temporary = request.path + ".XXXXXX";
        const int file = mkstemp(temporary.data());
        if (file < 0) return std::strerror(errno);
        std::size_t written = 0;
        while (written < svg.size()) {
            const ssize_t n = write(file, svg.data() + written, svg.size() - written);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            written += static_cast<std::size_t>(n);
        }
        const int error = written == svg.size() ? 0 : errno;
        const mode_t mask = umask(0);  // as a new file would be
        umask(mask);
        const bool closed = fchmod(file, 0666 & ~mask) == 0 && close(file) == 0;
        if (error != 0 || !closed || std::rename(temporary.c_str(), request.path.c_str()) != 0) {
            const int reason = error != 0 ? error : errno;
            std::remove(temporary.c_str());
            return std::strerror(reason);
        }
        return std::nullopt;
    }
};

}  // namespace

std::unique_ptr<PictureWriter> MakePictureWriter() {
    return std::make_unique<SvgPictureWriter>();
}

}  // namespace taviro::stats
