#include "charts/png_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "core/parallel_tasks.h"

namespace taviro::charts {

namespace {

// Parts the rows are deflated in: fixed, so that the bytes do not depend on the threads.
constexpr int kParts = 4;

void AppendBigEndian(QByteArray& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>(value >> shift & 0xff));
}

// A PNG chunk: length, type, data, and the CRC of type and data.
void AppendChunk(QByteArray& out, const char* type, const QByteArray& data) {
    AppendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* bytes = reinterpret_cast<const Bytef*>(out.constData() + start);
    AppendBigEndian(
        out, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(out.size() - start))));
}

struct Part {
    std::vector<unsigned char> deflated;  // empty when zlib failed
    uLong adler = 0;                      // of the filtered rows
    std::size_t length = 0;
};

// Rows [first, last) of an RGB32 image filtered and deflated a row at a time, without a copy of
// the rows. The last part ends the stream; the others end on a byte boundary, so that the parts
// join into one stream.
Part DeflateRows(const QImage& image, int first, int last, bool final) {
    const auto width = static_cast<std::size_t>(image.width());
    std::vector<unsigned char> row(1 + 3 * width);
    row[0] = 1;  // each byte less the byte of the pixel to its left
    std::array<unsigned char, 1 << 16> chunk;
    Part part;
    part.adler = adler32(0, nullptr, 0);
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return part;
    bool failed = false;
    for (int y = first; y < last && !failed; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb left = 0;
        for (std::size_t x = 0; x < width; ++x) {
            const QRgb p = pixels[x];
            row[1 + 3 * x] = static_cast<unsigned char>(qRed(p) - qRed(left));
            row[2 + 3 * x] = static_cast<unsigned char>(qGreen(p) - qGreen(left));
            row[3 + 3 * x] = static_cast<unsigned char>(qBlue(p) - qBlue(left));
            left = p;
        }
        part.adler = adler32(part.adler, row.data(), static_cast<uInt>(row.size()));
        part.length += row.size();
        const int flush = y + 1 < last ? Z_NO_FLUSH : (final ? Z_FINISH : Z_SYNC_FLUSH);
        z.next_in = row.data();
        z.avail_in = static_cast<uInt>(row.size());
        do {
            z.next_out = chunk.data();
            z.avail_out = static_cast<uInt>(chunk.size());
            const int result = deflate(&z, flush);
            failed = result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR;
            part.deflated.insert(part.deflated.end(), chunk.data(),
                                 chunk.data() + (chunk.size() - z.avail_out));
        } while (z.avail_out == 0 && !failed);
    }
    deflateEnd(&z);
    if (failed || part.deflated.empty()) part.deflated.clear();
    return part;
}

}  // namespace

QByteArray EncodePng(const QImage& image, unsigned threads) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);  // no copy when it is one
    const int height = rgb.height();
    const int parts = std::clamp(height, 1, kParts);
    std::vector<Part> done(static_cast<std::size_t>(parts));
    RunTasks(
        done.size(), threads,
        [&](std::size_t p) {
            const auto i = static_cast<int>(p);
            done[p] =
                DeflateRows(rgb, height * i / parts, height * (i + 1) / parts, i == parts - 1);
        },
        nullptr);
    if (std::any_of(done.begin(), done.end(), [](const Part& p) { return p.deflated.empty(); })) {
        return {};
    }
    QByteArray stream("\x78\x01", 2);  // zlib: deflate, 32 KiB window, fastest
    uLong adler = adler32(0, nullptr, 0);
    for (const Part& p : done) {
        stream.append(reinterpret_cast<const char*>(p.deflated.data()),
                      static_cast<qsizetype>(p.deflated.size()));
        adler = adler32_combine(adler, p.adler, static_cast<z_off_t>(p.length));
    }
    AppendBigEndian(stream, static_cast<std::uint32_t>(adler));

    QByteArray header;
    AppendBigEndian(header, static_cast<std::uint32_t>(rgb.width()));
    AppendBigEndian(header, static_cast<std::uint32_t>(height));
    header.append("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, adaptive, no interlace
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", stream);
    AppendChunk(png, "IEND", {});
    return png;
}

}  // namespace taviro::charts
