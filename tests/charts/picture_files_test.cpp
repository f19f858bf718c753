// taviro-stats' picture writer: PNG and SVG files of the stated size, the same bytes whatever the
// threads, and a file it cannot write reported rather than left half-written.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include "chart_layout/picture_writer.h"
#include "charts/png_file.h"

namespace taviro::stats {
namespace {

Drawing Sample(double width, double height) {
    Drawing d{width, height, {}};
    d.marks.push_back(Area{{{10, 10}, {width / 2, 10}, {width / 2, height / 2}}, Ink::Ahead});
    d.marks.push_back(Line{{{0, height - 5}, {width, height - 5}}, Ink::Zero, 3});
    d.marks.push_back(Caption{"設定6 勝率 98.2%", {width / 2, height / 2}, Anchor::Center, 30});
    return d;
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(PictureFiles, PngAndSvgOfTheStatedSize) {
    const std::unique_ptr<PictureWriter> writer = MakePictureWriter();
    ASSERT_TRUE(writer);
    QTemporaryDir dir;
    for (auto [w, h] : {std::pair{1600, 1000}, std::pair{640, 480}}) {
        const std::string png = dir.filePath(QString("a%1.png").arg(w)).toStdString();
        const std::string svg = dir.filePath(QString("a%1.svg").arg(w)).toStdString();
        const Drawing d = Sample(w, h);
        EXPECT_EQ(writer->Write(d, {png, PictureFormat::Png, w, h}), std::nullopt);
        EXPECT_EQ(writer->Write(d, {svg, PictureFormat::Svg, w, h}), std::nullopt);

        const QImage image(QString::fromStdString(png), "PNG");
        EXPECT_EQ(image.size(), QSize(w, h));
        EXPECT_EQ(image.pixelColor(w / 4, 20), QColor(0x00, 0x72, 0xb2));  // the area's ink
        EXPECT_EQ(image.pixelColor(w - 2, 2), QColor(Qt::white));
        QSvgRenderer renderer(QString::fromStdString(svg));
        EXPECT_TRUE(renderer.isValid());
        EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, w, h));
        EXPECT_EQ(renderer.defaultSize(), QSize(w, h));  // millimetres at 96 pixels an inch

        // The same drawing, the same bytes.
        const std::string again = dir.filePath("again.png").toStdString();
        EXPECT_EQ(writer->Write(d, {again, PictureFormat::Png, w, h}), std::nullopt);
        EXPECT_EQ(Read(QString::fromStdString(again)), Read(QString::fromStdString(png)));
    }
    const std::string missing = dir.filePath("no/such/folder.png").toStdString();
    EXPECT_NE(writer->Write(Sample(800, 500), {missing, PictureFormat::Png, 800, 500}),
              std::nullopt);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(missing)));
    const std::string folder = dir.path().toStdString();  // not replaced by a picture
    EXPECT_NE(writer->Write(Sample(800, 500), {folder, PictureFormat::Png, 800, 500}),
              std::nullopt);
}

TEST(PictureFiles, PngHoldsEveryPixelWhateverTheThreads) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{257, 130}}) {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 7 + y, x ^ y, 255 - y * 3));
        }
        const QByteArray png = charts::EncodePng(image, 1);
        EXPECT_EQ(charts::EncodePng(image, 3), png);
        EXPECT_EQ(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32), image);
    }
}

}  // namespace
}  // namespace taviro::stats
