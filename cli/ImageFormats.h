#pragma once

#include <QIODevice>
#include <QImage>
#include <QString>
#include <optional>

namespace lisko::cli {

// The picture formats the tool writes, chosen by the output file's extension.
enum class ImageFormat { Png, Jpeg, Bmp, Ppm };

inline constexpr int kDefaultJpegQuality = 95;

// The format of a file name by its extension in any letter case; none for another extension.
std::optional<ImageFormat> FormatOfName(const QString& fileName);
// ".png, .jpg, .jpeg, .bmp, .ppm", for the messages that refuse another one.
QString AcceptedExtensions();

// Writes the picture: PNG with zlib's fastest level and no row filters (a rendering is written
// once and read rarely; Qt's writer at its default level spent more than half of a whole render
// run), BMP and PPM with the
// exact pixels, JPEG at jpegQuality (1..100). Returns the writer's error text, empty on success.
QString WriteImage(const QImage& image, QIODevice& device, ImageFormat format, int jpegQuality);

}  // namespace lisko::cli
