#pragma once

#include <QImage>
#include <QWidget>

namespace lisko {

// Holds the two advertisement pictures; never shown.
class TForm3 : public QWidget {
public:
    TForm3();

    QImage Image0;  // 300 x 400, for preview cells and the editor's empty picture
    QImage Image1;  // 600 x 800, for printed cells
};

}  // namespace lisko
