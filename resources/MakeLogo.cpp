// Draws the program's logo and writes it as a baseline JPEG with three colour
// components, 200 x 30 pixels: a water-blue band with a drop and the name.
// Usage: morvask_make_logo <output.jpg>   (QT_QPA_PLATFORM=offscreen works)
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

QImage DrawLogo()
{
    QImage image(200, 30, QImage::Format_RGB888);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient band(0, 0, 200, 0);
    band.setColorAt(0.0, QColor(0, 70, 140));
    band.setColorAt(1.0, QColor(120, 190, 235));
    painter.fillRect(image.rect(), band);

    QPainterPath drop;
    drop.moveTo(15, 3);
    drop.cubicTo(19, 11, 24, 15, 24, 20);
    drop.cubicTo(24, 25, 20, 28, 15, 28);
    drop.cubicTo(10, 28, 6, 25, 6, 20);
    drop.cubicTo(6, 15, 11, 11, 15, 3);
    painter.setPen(QPen(QColor(255, 255, 255), 1.2));
    painter.setBrush(QColor(170, 220, 255));
    painter.drawPath(drop);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(QRectF(10, 17, 3.5, 5));

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(16);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(QRect(32, 0, 168, 30), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Morvask-Betrachter"));
    return image;
}

bool WriteJpeg(const QImage& image, const char* path)
{
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info); // baseline, Huffman, YCbCr with three components
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < image.height(); ++y) {
        std::vector<JSAMPLE> row(image.constScanLine(y), image.constScanLine(y) + image.width() * 3);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output.jpg>\n", argv[0]);
        return 2;
    }
    return WriteJpeg(DrawLogo(), argv[1]) ? 0 : 1;
}
