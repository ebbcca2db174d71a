#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace lisko {

// The texts printed on every page, and the rules that place them.

// The font of the printed texts; on Linux it resolves to the metric-compatible Carlito.
QString PrintFontFamily();

// The two rotated captions along the left band of a photo cell.
QString CaptionHelped();
QString CaptionHelpProject();
// The project site's host name and a blank, at the top right of every photo cell.
QString SiteText();
// The slogan in the band of photo i is CaptionSlogans()[i mod 4].
std::array<QString, 4> CaptionSlogans();

// One line of the page's foot: its text, the height of its character cell and its top edge.
struct FootLine {
    QString text;
    int cellHeight = 0;
    int y = 0;
};

// The foot of a print page at the given scale: on and before 17 February 2010 the author's
// birthday line, in June 2010 the program's anniversary line, then the three donation lines.
std::vector<FootLine> FootLines(QDate today, int scale);

// Where the number of a photo starts in the band of width `band`: centred, except that numbers of
// three digits or more start at least 5 pixels in. Numbers up to 99 keep their centring offset
// even where it is negative.
int NumberOffset(int band, int numberWidth, std::int64_t number);

// The cell height of the slogans: the largest from `band` downwards at which every slogan is
// strictly narrower than `room`, but never below `captionHeight`. The height captionHeight
// itself is not measured: when captionHeight + 1 fails, the slogans take captionHeight.
int FitSloganHeight(int band, int captionHeight, int room,
                    const std::function<int(int cellHeight)>& widestSlogan);

}  // namespace lisko
