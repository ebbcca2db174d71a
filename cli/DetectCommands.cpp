#include "cli/DetectCommands.h"

#include <QCommandLineParser>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <functional>
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

// Imports the one photo the command line names into a scratch directory of this run and prints
// the line `find` makes of it; what fails is reported with the photo's name.
void PrintFound(const QCommandLineParser& parser, const std::function<QString(TLisko&)>& find) {
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        throw UsageError(positional.isEmpty() ? "no photo given" : "give exactly one photo");
    }
    const QString photoFile = positional.front();
    try {
        QTemporaryDir scratch;
        if (!scratch.isValid()) throw std::runtime_error("cannot create a scratch directory");
        TLisko photo(photoFile, scratch.path());
        std::fputs(qPrintable(find(photo) + QLatin1Char('\n')), stdout);
    } catch (const std::exception& e) {
        throw ErrorAbout(photoFile, e);
    }
}

QString SheetCorners(TLisko& photo) {
    if (!photo.DetectSheetCorners()) return QStringLiteral("none");
    return CornerText(ScaleSheetQuad(*photo.SheetCorners, photo.WorkingSize(), photo.SourceSize()));
}

QString WritingCrops(TLisko& photo) {
    photo.StraightenAndCropToContent();
    return QStringLiteral("%1,%2,%3,%4")
        .arg(photo.CropLeft)
        .arg(photo.CropRight)
        .arg(photo.CropTop)
        .arg(photo.CropBottom);
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
    return RunCommand(parser, help, arguments, QStringLiteral("detect-page"),
                      [](const QCommandLineParser& p) { PrintFound(p, SheetCorners); });
}

int RunDetectContent(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Imports PHOTO as the program does, straightens the sheet of paper on it where a whole one "
        "is visible and finds the box round what is written there. Prints the crops --auto "
        "would set as 'left,right,top,bottom', in whole percent of the turned photo's width and "
        "height; '0,0,0,0' for a page without writing. Exit code 0, or 1 when the photo cannot "
        "be read."));
    parser.addPositionalArgument(QStringLiteral("PHOTO"), QStringLiteral("The JPEG photo."));
    const QCommandLineOption help = AddHelpOption(parser);
    return RunCommand(parser, help, arguments, QStringLiteral("detect-content"),
                      [](const QCommandLineParser& p) { PrintFound(p, WritingCrops); });
}

}  // namespace lisko::cli
