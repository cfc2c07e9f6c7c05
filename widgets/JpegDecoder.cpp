#include "JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr JDIMENSION MaxSide = 4096;

struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Escape;
};

[[noreturn]] void LeaveOnError(j_common_ptr info)
{
    auto* error = reinterpret_cast<TJpegError*>(info->err);
    std::longjmp(error->Escape, 1);
}

void CountWarnings(j_common_ptr info, int level)
{
    // Level -1 is a warning about corrupt data; the picture is then not trusted.
    if (level < 0)
        ++info->err->num_warnings;
}

} // namespace

QImage DecodeJpeg(const unsigned char* data, std::size_t size)
{
    if (data == nullptr || size == 0)
        return QImage();

    // Everything that lives across the jump is created before setjmp, and
    // nothing with a destructor is created between setjmp and the last
    // libjpeg call.
    jpeg_decompress_struct info{};
    TJpegError error{};
    std::vector<unsigned char> pixels;
    JDIMENSION width = 0;
    JDIMENSION height = 0;
    bool damaged = false;

    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = LeaveOnError;
    error.Manager.emit_message = CountWarnings;

    if (setjmp(error.Escape) != 0) {
        jpeg_destroy_decompress(&info);
        return QImage();
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = info.output_width;
    height = info.output_height;
    if (width == 0 || height == 0 || width > MaxSide || height > MaxSide || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return QImage();
    }
    pixels.resize(static_cast<std::size_t>(width) * height * 3);
    while (info.output_scanline < height) {
        JSAMPROW row = pixels.data() + static_cast<std::size_t>(info.output_scanline) * width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    damaged = error.Manager.num_warnings > 0;
    jpeg_destroy_decompress(&info);

    if (damaged)
        return QImage();
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB888);
    for (JDIMENSION y = 0; y < height; ++y)
        std::copy_n(pixels.data() + static_cast<std::size_t>(y) * width * 3, width * 3, image.scanLine(static_cast<int>(y)));
    return image.convertToFormat(QImage::Format_RGB32);
}
