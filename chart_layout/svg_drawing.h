// A drawing as an SVG document, without Qt: the web page shows it inline, and taviro-stats built
// without Qt writes it as its --plot file. The marks are put down in order, with the colours of
// ink_colours.h; the captions are text in the reader's Japanese Gothic font.
#pragma once

#include <string>

#include "chart_layout/drawing.h"

namespace taviro::stats {

// The document: `width` x `height` pixels with a view box of the drawing's size, so that it
// scales; `title` (a description for a screen reader) when not empty.
std::string SvgDocument(const Drawing& drawing, double width, double height,
                        const std::string& title = {});

}  // namespace taviro::stats
