#pragma once

#include <QImage>
#include <QWidget>

namespace lisko {

// The advertisement pictures, for the holder form and for tools without windows.
QImage PreviewAdvertisement();  // 300 x 400
QImage PrintAdvertisement();    // 600 x 800

// Holds the two advertisement pictures; never shown.
class TForm3 : public QWidget {
public:
    TForm3();

    QImage Image0;  // 300 x 400, for preview cells and the editor's empty picture
    QImage Image1;  // 600 x 800, for printed cells
};

}  // namespace lisko
