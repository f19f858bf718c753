#include "charts/png_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "stats/parallel_tasks.h"

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
    std::vector<unsigned char> deflated;
    uLong adler = 0;  // of the filtered rows
    std::size_t length = 0;
};

// Rows [first, last) filtered and deflated; the last part ends the stream, the others end on a
// byte boundary, so that the parts join into one stream.
Part DeflateRows(const QImage& rgb, int first, int last, bool final) {
    const auto width = static_cast<std::size_t>(rgb.width());
    const std::size_t rowBytes = 1 + 3 * width;
    std::vector<unsigned char> rows(rowBytes * static_cast<std::size_t>(last - first));
    for (int y = first; y < last; ++y) {
        const uchar* in = rgb.constScanLine(y);
        unsigned char* out = rows.data() + rowBytes * static_cast<std::size_t>(y - first);
        out[0] = 1;  // each byte less the byte of the pixel to its left
        for (std::size_t i = 0; i < 3 * width; ++i) {
            out[1 + i] = static_cast<unsigned char>(in[i] - (i >= 3 ? in[i - 3] : 0));
        }
    }
    Part part;
    part.length = rows.size();
    part.adler = adler32(adler32(0, nullptr, 0), rows.data(), static_cast<uInt>(rows.size()));
    z_stream z{};
    deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    part.deflated.resize(deflateBound(&z, rows.size()) + 16);
    z.next_in = rows.data();
    z.avail_in = static_cast<uInt>(rows.size());
    z.next_out = part.deflated.data();
    z.avail_out = static_cast<uInt>(part.deflated.size());
    const int result = deflate(&z, final ? Z_FINISH : Z_SYNC_FLUSH);
    // The bound leaves room for everything: all the rows are taken in one call.
    const bool whole = z.avail_in == 0 && result == (final ? Z_STREAM_END : Z_OK);
    part.deflated.resize(whole ? z.total_out : 0);
    deflateEnd(&z);
    return part;
}

}  // namespace

QByteArray EncodePng(const QImage& image, unsigned threads) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int height = rgb.height();
    const int parts = std::clamp(height, 1, kParts);
    std::vector<Part> done(static_cast<std::size_t>(parts));
    stats::RunTasks(
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
