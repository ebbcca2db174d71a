#include "cli/RenderCommand.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "cli/Output.h"
#include "photo/Lisko.h"

namespace lisko::cli {

namespace {

// A command line that asks for something the program cannot do.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

// The editor's ranges: steps -20..20, crops 0..50 per edge.
struct Settings {
    QString photo;
    QString output;
    QString thumbnail;
    std::optional<int> rotation;
    std::optional<int> imageType;
    std::optional<int> brightness;
    std::optional<int> contrast;
    std::optional<std::array<int, 4>> crop;
    bool withCrop = true;
};

Settings ReadSettings(const QCommandLineParser& parser) {
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        throw UsageError(positional.isEmpty() ? "no photo given" : "give exactly one photo");
    }
    Settings s;
    s.photo = positional.front();
    s.output = parser.value(QStringLiteral("output"));
    if (s.output.isEmpty()) throw UsageError("no output file given (-o OUT.png)");
    s.thumbnail = parser.value(QStringLiteral("thumbnail"));
    if (parser.isSet(QStringLiteral("rotation"))) {
        s.rotation = ParseInt(parser.value(QStringLiteral("rotation")), 0, 3, "rotation");
    }
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
    s.withCrop = !parser.isSet(QStringLiteral("no-crop"));
    return s;
}

void Apply(const Settings& s, TLisko& photo) {
    if (s.rotation) photo.Rotation = *s.rotation;
    if (s.imageType) photo.ImageType = *s.imageType;
    if (s.brightness) photo.Brightness = *s.brightness;
    if (s.contrast) photo.Contrast = *s.contrast;
    if (s.crop) {
        photo.CropLeft = (*s.crop)[0];
        photo.CropRight = (*s.crop)[1];
        photo.CropTop = (*s.crop)[2];
        photo.CropBottom = (*s.crop)[3];
    }
}

// Writes the PNG beside its final name; nothing appears under that name unless complete.
void SavePng(const QImage& image, QSaveFile& file) {
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG")) {
        throw std::runtime_error(QStringLiteral("cannot write %1: %2")
                                     .arg(file.fileName(), file.errorString())
                                     .toStdString());
    }
}

}  // namespace

int RunRender(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Imports PHOTO as the program does (orientation, longest side 1500 pixels, level "
        "stretch, working copy at JPEG quality 85) and writes its rendering as a lossless 24-bit "
        "PNG. Parameters not given keep a new photo's defaults: black and white, brightness 1, "
        "contrast 0, no crop, rotation chosen from the photo's orientation."));
    parser.addPositionalArgument(QStringLiteral("PHOTO"), QStringLiteral("The JPEG photo."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    parser.addOptions({
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Write the rendering to <OUT.png>."),
         QStringLiteral("OUT.png")},
        {QStringLiteral("rotation"),
         QStringLiteral("0 none, 1 +90, 2 -90, 3 180 degrees; overrides the automatic choice."),
         QStringLiteral("0..3")},
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
        {QStringLiteral("no-crop"),
         QStringLiteral("Render without the crop, as the editor shows it.")},
        {QStringLiteral("thumbnail"),
         QStringLiteral("Also write the photo's 200 x 200 thumbnail after the rendering."),
         QStringLiteral("THUMB.png")},
    });

    if (!parser.parse(arguments)) {
        PrintError(parser.errorText());
        return Code(Exit::Usage);
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("[options] PHOTO"),
                                                        QStringLiteral("render [options] PHOTO"))),
                   stdout);
        return Code(Exit::Ok);
    }

    Settings settings;
    try {
        settings = ReadSettings(parser);
    } catch (const UsageError& e) {
        PrintError(QString::fromStdString(e.what()));
        return Code(Exit::Usage);
    }

    try {
        // The working copy lives in a directory of this run alone, removed at exit.
        QTemporaryDir scratch;
        if (!scratch.isValid()) throw std::runtime_error("cannot create a scratch directory");
        TLisko photo(settings.photo, scratch.path());
        Apply(settings, photo);
        const QImage rendering = photo.Render(settings.withCrop);

        QSaveFile output(settings.output);
        SavePng(rendering, output);
        std::optional<QSaveFile> thumbnail;
        if (!settings.thumbnail.isEmpty()) {
            thumbnail.emplace(settings.thumbnail);
            SavePng(photo.Thumbnail, *thumbnail);
        }
        if (!output.commit())
            throw std::runtime_error("cannot write " + settings.output.toStdString());
        if (thumbnail && !thumbnail->commit()) {
            QFile::remove(settings.output);
            throw std::runtime_error("cannot write " + settings.thumbnail.toStdString());
        }
    } catch (const std::exception& e) {
        PrintError(settings.photo + QStringLiteral(": ") + DescribeError(e));
        return Code(Exit::Failed);
    }
    return Code(Exit::Ok);
}

}  // namespace lisko::cli
