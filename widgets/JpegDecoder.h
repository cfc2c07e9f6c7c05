#pragma once

#include <QImage>

#include <cstddef>

// Decodes a JPEG picture with libjpeg. Damaged or truncated data, and
// pictures larger than any logo needs, give a null image.
QImage DecodeJpeg(const unsigned char* data, std::size_t size);
