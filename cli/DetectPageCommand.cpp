#include "cli/DetectPageCommand.h"

#include <QCommandLineParser>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "cli/Output.h"
#include "photo/Lisko.h"
#include "photo/Sheet.h"

namespace lisko::cli {

namespace {

// "x,y x,y x,y x,y": top-left, top-right, bottom-right, bottom-left, whole pixels.
QString CornerText(const SheetQuad& corners) {
    QStringList points;
    for (const QPointF& p : corners)
        points << QStringLiteral("%1,%2").arg(std::lround(p.x())).arg(std::lround(p.y()));
    return points.join(QLatin1Char(' '));
}

void DetectPage(const QCommandLineParser& parser) {
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        throw UsageError(positional.isEmpty() ? "no photo given" : "give exactly one photo");
    }
    const QString photoFile = positional.front();
    try {
        QTemporaryDir scratch;
        if (!scratch.isValid()) throw std::runtime_error("cannot create a scratch directory");
        TLisko photo(photoFile, scratch.path());
        QString line = QStringLiteral("none");
        if (photo.DetectSheetCorners()) {
            line = CornerText(
                ScaleSheetQuad(*photo.SheetCorners, photo.WorkingSize(), photo.SourceSize()));
        }
        std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    } catch (const std::exception& e) {
        throw ErrorAbout(photoFile, e);
    }
}

}  // namespace

int RunDetectPage(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Imports PHOTO as the program does and looks for the sheet of paper on it. Prints its "
        "corners as 'x,y x,y x,y x,y' (top-left, top-right, bottom-right, bottom-left) in the "
        "pixels of PHOTO as decoded, x to the right and y down, or 'none' when no whole sheet "
        "is visible. Exit code 0 in both cases, 1 when the photo cannot be read."));
    parser.addPositionalArgument(QStringLiteral("PHOTO"), QStringLiteral("The JPEG photo."));
    const QCommandLineOption help = AddHelpOption(parser);
    return RunCommand(parser, help, arguments, QStringLiteral("detect-page"), DetectPage);
}

}  // namespace lisko::cli
