// taviro-stats' picture writer: PNG painted on a QImage, SVG through QSvgGenerator, both on Qt's
// offscreen platform, so that no display is needed.
#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cstdio>
#include <memory>
#include <optional>

#include "chart_layout/picture_writer.h"
#include "charts/drawing_painter.h"
#include "charts/png_file.h"
#include "core/parallel_tasks.h"

namespace taviro::charts {

namespace {

// Qt's own notes (a missing runtime folder and the like) are not the program's to show: a
// picture that cannot be written is told in the program's words.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

// The SVG's size in pixels: the generator gives millimetres, which programs turn back into
// pixels at different resolutions.
void StatePixels(QByteArray& svg, int width, int height) {
    static const QRegularExpression size(QStringLiteral("^<svg width=\"[^\"]*\" height=\"[^\"]*\""),
                                         QRegularExpression::MultilineOption);
    const QString head = QString::fromUtf8(svg.left(512));
    const QRegularExpressionMatch match = size.match(head);
    if (!match.hasMatch()) return;
    svg.replace(match.capturedStart(), match.capturedLength(),
                QStringLiteral("<svg width=\"%1\" height=\"%2\"").arg(width).arg(height).toUtf8());
}

// Paints `drawing` over the whole of `image` in horizontal bands, on up to `threads` threads:
// each band is an image of its own over the same pixels. The bands are fixed, so the pixels do
// not depend on the threads.
void PaintInBands(QImage& image, const stats::Drawing& drawing, unsigned threads) {
    constexpr int kBands = 2;
    uchar* pixels = image.bits();
    const QRectF area(0, 0, image.width(), image.height());
    RunTasks(
        kBands, threads,
        [&](std::size_t band) {
            const int top = image.height() * static_cast<int>(band) / kBands;
            const int bottom = image.height() * (static_cast<int>(band) + 1) / kBands;
            QImage rows(pixels + static_cast<qsizetype>(top) * image.bytesPerLine(), image.width(),
                        bottom - top, image.bytesPerLine(), image.format());
            QPainter painter(&rows);
            painter.translate(0, -top);
            PaintDrawing(painter, drawing, area);
        },
        nullptr);
}

class QtPictureWriter : public stats::PictureWriter {
  public:
    QtPictureWriter() {
        if (QGuiApplication::instance() == nullptr) {
            qInstallMessageHandler(QuietMessages);
            application_ = std::make_unique<QGuiApplication>(argc_, argv_);
        }
    }

    std::optional<std::string> Write(const stats::Drawing& drawing,
                                     const stats::PictureRequest& request) override {
        const QString path = QString::fromStdString(request.path);
        // The new file replaces the old one when complete: a device or a folder is not
        // replaced (nor, through a link, what the link points at).
        if (const QFileInfo target(path); target.exists() && !target.isFile()) {
            return "通常のファイルではありません";
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const QRectF area(0, 0, request.width, request.height);
        if (request.format == stats::PictureFormat::Png) {
            QImage image(request.width, request.height, QImage::Format_RGB32);
            if (image.isNull()) return "画像のメモリが足りません";
            PaintInBands(image, drawing, request.threads);
            bytes = EncodePng(image, request.threads);
            if (bytes.isEmpty()) return "画像を作れません";
        } else {
            QSvgGenerator svg;
            svg.setOutputDevice(&buffer);
            svg.setSize(QSize(request.width, request.height));
            svg.setViewBox(area);
            svg.setResolution(96);
            svg.setTitle(QStringLiteral("taviro-stats"));
            QPainter painter;
            if (!painter.begin(&svg)) return "画像を作れません";
            PaintDrawing(painter, drawing, area);
            painter.end();
            StatePixels(bytes, request.width, request.height);
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            return "書き込めません（フォルダー、書き込みの権限、ディスクの空きを確かめてください）";
        }
        return std::nullopt;
    }

  private:
    // Qt keeps a reference to the arguments for the application's life.
    inline static int argc_ = 3;
    inline static char program_[] = "taviro-stats";
    inline static char platformOption_[] = "-platform";
    inline static char platform_[] = "offscreen";
    inline static char* argv_[] = {program_, platformOption_, platform_, nullptr};
    std::unique_ptr<QGuiApplication> application_;
};

}  // namespace

}  // namespace taviro::charts

namespace taviro::stats {

std::unique_ptr<PictureWriter> MakePictureWriter() {
    return std::make_unique<charts::QtPictureWriter>();
}

}  // namespace taviro::stats
