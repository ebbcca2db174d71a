#pragma once

#include <QImage>

namespace lisko {

// The advertisement pictures, compiled into the program.
QImage PreviewAdvertisement();  // 300 x 400, for preview cells and the editor's empty picture
QImage PrintAdvertisement();    // 600 x 800, for printed cells

}  // namespace lisko
