#include "cli/PhotoOptions.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include "cli/Output.h"
#include "list/PhotoList.h"

namespace lisko::cli {

int ParseInt(const QString& text, int low, int high, const QString& option) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high) {
        throw UsageError(QStringLiteral("--%1 takes a whole number from %2 to %3, not '%4'")
                             .arg(option)
                             .arg(low)
                             .arg(high)
                             .arg(text)
                             .toStdString());
    }
    return value;
}

void AddPhotoOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {QStringLiteral("type"), QStringLiteral("colour, or bw for the black-and-white clean-up."),
         QStringLiteral("colour|bw")},
        {QStringLiteral("brightness"),
         QStringLiteral("Colour: brightness step. Black and white: tile size minus 1."),
         QStringLiteral("-20..20")},
        {QStringLiteral("contrast"),
         QStringLiteral("Colour: contrast step. Black and white: smoothing passes minus 1."),
         QStringLiteral("-20..20")},
        {QStringLiteral("crop"),
         QStringLiteral("Percent cut from each edge of the turned photo, 0..50 each."),
         QStringLiteral("LEFT,RIGHT,TOP,BOTTOM")},
        {QStringLiteral("straighten"),
         QStringLiteral("Find the sheet of paper on each photo and undistort it to a rectangle "
                        "before turning and cropping; photos without a whole sheet stay as they "
                        "are.")},
    });
}

// The editor's ranges: steps -20..20, crops 0..50 per edge.
PhotoSettings ReadPhotoSettings(const QCommandLineParser& parser) {
    PhotoSettings s;
    if (parser.isSet(QStringLiteral("type"))) {
        const QString type = parser.value(QStringLiteral("type"));
        if (type != QLatin1String("colour") && type != QLatin1String("bw")) {
            throw UsageError(("--type is 'colour' or 'bw', not '" + type + "'").toStdString());
        }
        s.imageType = type == QLatin1String("bw") ? 1 : 0;
    }
    if (parser.isSet(QStringLiteral("brightness"))) {
        s.brightness = ParseInt(parser.value(QStringLiteral("brightness")), -20, 20, "brightness");
    }
    if (parser.isSet(QStringLiteral("contrast"))) {
        s.contrast = ParseInt(parser.value(QStringLiteral("contrast")), -20, 20, "contrast");
    }
    if (parser.isSet(QStringLiteral("crop"))) {
        const QStringList parts = parser.value(QStringLiteral("crop")).split(QLatin1Char(','));
        if (parts.size() != 4) throw UsageError("--crop takes LEFT,RIGHT,TOP,BOTTOM");
        std::array<int, 4> crop{};
        for (std::size_t i = 0; i < 4; ++i) {
            crop[i] = ParseInt(parts[static_cast<qsizetype>(i)].trimmed(), 0, 50, "crop");
        }
        s.crop = crop;
    }
    s.straighten = parser.isSet(QStringLiteral("straighten"));
    return s;
}

void Apply(const PhotoSettings& s, TLisko& photo) {
    if (s.imageType) photo.ImageType = *s.imageType;
    if (s.brightness) photo.Brightness = *s.brightness;
    if (s.contrast) photo.Contrast = *s.contrast;
    if (s.crop) {
        photo.CropLeft = (*s.crop)[0];
        photo.CropRight = (*s.crop)[1];
        photo.CropTop = (*s.crop)[2];
        photo.CropBottom = (*s.crop)[3];
    }
    if (s.straighten && photo.DetectSheetCorners()) photo.Straighten = true;
}

void AddLayoutOptions(QCommandLineParser& parser) {
    parser.addOptions({
        {QStringLiteral("rows"), QStringLiteral("Rows of photos on a page (default 3)."),
         QStringLiteral("1..5")},
        {QStringLiteral("columns"), QStringLiteral("Columns of photos on a page (default 3)."),
         QStringLiteral("1..5")},
        {QStringLiteral("order"),
         QStringLiteral("Fill the cells along the rows (default) or down the columns."),
         QStringLiteral("rows|columns")},
    });
}

PageLayout ReadLayout(const QCommandLineParser& parser, PageLayout base) {
    PageLayout layout = base;
    if (parser.isSet(QStringLiteral("rows"))) {
        layout.rows = ParseInt(parser.value(QStringLiteral("rows")), 1, kLargestGrid, "rows");
    }
    if (parser.isSet(QStringLiteral("columns"))) {
        layout.columns =
            ParseInt(parser.value(QStringLiteral("columns")), 1, kLargestGrid, "columns");
    }
    if (parser.isSet(QStringLiteral("order"))) {
        const QString order = parser.value(QStringLiteral("order"));
        if (order != QLatin1String("rows") && order != QLatin1String("columns")) {
            throw UsageError(("--order is 'rows' or 'columns', not '" + order + "'").toStdString());
        }
        layout.order =
            order == QLatin1String("columns") ? SlotOrder::ColumnWise : SlotOrder::RowWise;
    }
    return layout;
}

// The program skips the others silently; here each gets a note.
QStringList AcceptedPhotos(const QStringList& given) {
    QStringList accepted;
    QSet<QString> seen;
    for (const QString& file : given) {
        // The file dialog gives absolute, clean paths; the list orders and compares those.
        const QString path = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
        if (!HasPhotoExtension(path)) {
            PrintError(
                QStringLiteral("skipping %1: only .jpg and .jpeg files are printed").arg(file));
        } else if (seen.contains(path)) {
            PrintError(QStringLiteral("skipping %1: given twice").arg(file));
        } else {
            seen.insert(path);
            accepted << path;
        }
    }
    return accepted;
}

}  // namespace lisko::cli
