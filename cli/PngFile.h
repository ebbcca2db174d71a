#pragma once

#include <QIODevice>
#include <QImage>
#include <QString>

namespace lisko::cli {

// Writes a 24-bit PNG of the picture with zlib's fastest level and no row filters. Returns the
// error text, empty on success.
QString WritePng(const QImage& image, QIODevice& device);

}  // namespace lisko::cli
