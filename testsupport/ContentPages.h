#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

namespace lisko::test {

enum class Paper { Blank, Lined, Squared };

// A straightened page, drawn at a working copy's size, with perhaps writing in a given box.
struct ContentPage {
    QString name;
    int width = 1125;
    int height = 1500;
    Paper paper = Paper::Blank;
    bool marginLine = false;   // the red line ruled paper has down its left side
    bool holes = false;        // two punched holes by the left edge
    bool deskBeside = false;   // a strip of desk left along the left and bottom edges
    bool shadow = false;       // a soft shadow over a corner
    bool specks = false;       // dust and dots of the paper
    bool highlighter = false;  // a line of writing marked in yellow, reaching left of the words
    std::optional<QRectF> writing;  // lines of handwriting fill this box; none on an empty page
};

// Blank, lined and squared pages with and without writing; holes, writing in one corner only,
// writing up to the page's edge, a landscape page, highlighter, desk, shadow and specks.
std::vector<ContentPage> ContentPages();

struct DrawnPage {
    QImage image;
    // The box the ink really covers, inside the image; none when nothing is written.
    std::optional<QRectF> ink;
};

// Draws a page; the same page gives the same pixels every time.
DrawnPage DrawContentPage(const ContentPage& page);

}  // namespace lisko::test
