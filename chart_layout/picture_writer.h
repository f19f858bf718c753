// Writes a drawing as a PNG or SVG file. The drawings are laid out in this part, but putting them
// into pixels takes Qt, which this part never links: the program is given its writer by the part
// that draws (charts/), or, where the programs are built without Qt, by one that writes SVG alone
// (svg_drawing.h). The link decides which, as it decides the platform behind the other small
// interfaces.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "chart_layout/drawing.h"
#include "chart_layout/picture_request.h"

namespace taviro::stats {

class PictureWriter {
  public:
    virtual ~PictureWriter() = default;
    // Whether it writes pictures of that format at all.
    virtual bool Writes(PictureFormat) const { return true; }
    // Writes `drawing` at the request's size into its file, whole or not at all; the reason in
    // one line when it cannot.
    virtual std::optional<std::string> Write(const Drawing& drawing,
                                             const PictureRequest& request) = 0;
};

// The writer the program was built with.
std::unique_ptr<PictureWriter> MakePictureWriter();

}  // namespace taviro::stats
