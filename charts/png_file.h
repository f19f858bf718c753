// A PNG file of a picture, made for speed: every row filtered by its left neighbour, the rows
// deflated at zlib's fastest level in a fixed number of parts on up to `threads` threads, joined
// into the one stream a PNG holds. The same picture gives the same bytes with any number of
// threads.
#pragma once

#include <QByteArray>
#include <QImage>

namespace taviro::charts {

// The PNG of `image` (any format; written as 8-bit RGB); empty when zlib fails.
QByteArray EncodePng(const QImage& image, unsigned threads);

}  // namespace taviro::charts
