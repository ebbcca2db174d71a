#include "cli/RenderCommand.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include "cli/ImageFormats.h"
#include "cli/Output.h"
#include "cli/PhotoOptions.h"
#include "photo/Lisko.h"
#include "photo/SaveFile.h"

namespace lisko::cli {

namespace {

struct Settings {
    QString photo;
    QString output;
    QString thumbnail;
    int jpegQuality = kDefaultJpegQuality;
    std::optional<int> rotation;
    PhotoSettings photoSettings;
    bool withCrop = true;
};

// The output's format comes from its extension; a name without a known one is refused before any
// work is done.
void RequireKnownFormat(const QString& fileName, const QString& option) {
    if (!fileName.isEmpty() && !FormatOfName(fileName)) {
        throw UsageError(QStringLiteral("%1 %2: the file name must end in %3")
                             .arg(option, fileName, AcceptedExtensions())
                             .toStdString());
    }
}

Settings ReadSettings(const QCommandLineParser& parser) {
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        throw UsageError(positional.isEmpty() ? "no photo given" : "give exactly one photo");
    }
    Settings s;
    s.photo = positional.front();
    s.output = parser.value(QStringLiteral("output"));
    if (s.output.isEmpty()) throw UsageError("no output file given (-o OUT.png)");
    RequireKnownFormat(s.output, QStringLiteral("-o"));
    s.thumbnail = parser.value(QStringLiteral("thumbnail"));
    RequireKnownFormat(s.thumbnail, QStringLiteral("--thumbnail"));
    if (parser.isSet(QStringLiteral("quality"))) {
        s.jpegQuality = ParseInt(parser.value(QStringLiteral("quality")), 1, 100, "quality");
    }
    if (parser.isSet(QStringLiteral("rotation"))) {
        const SettingDescription& turn = Describe(Setting::Rotation);
        s.rotation = ParseInt(parser.value(QStringLiteral("rotation")), turn.minimum, turn.maximum,
                              "rotation");
    }
    s.photoSettings = ReadPhotoSettings(parser);
    s.withCrop = !parser.isSet(QStringLiteral("no-crop"));
    return s;
}

void Apply(const Settings& s, TLisko& photo) {
    if (s.rotation) photo.Rotation = *s.rotation;
    Apply(s.photoSettings, photo);
}

void Render(const QCommandLineParser& parser) {
    const Settings settings = ReadSettings(parser);
    try {
        // The working copy lives in a directory of this run alone, removed at exit.
        QTemporaryDir scratch;
        if (!scratch.isValid()) throw std::runtime_error("cannot create a scratch directory");
        // The settings go in before the import's own rendering, which is then the output.
        QImage rendering;
        TLisko photo(
            settings.photo, scratch.path(), [&settings](TLisko& p) { Apply(settings, p); },
            settings.withCrop ? &rendering : nullptr);
        if (!settings.withCrop) rendering = photo.Render(false);

        const QByteArray encoded = EncodeImage(rendering, settings.output, settings.jpegQuality);
        WholeFile output(settings.output);
        output.Write(encoded);
        std::optional<WholeFile> thumbnail;
        if (!settings.thumbnail.isEmpty()) {
            const QByteArray small =
                EncodeImage(photo.Thumbnail, settings.thumbnail, settings.jpegQuality);
            thumbnail.emplace(settings.thumbnail).Write(small);
        }
        // Both are written whole before either takes its name: a write that fails leaves earlier
        // files of both names as they were.
        output.Commit();
        if (thumbnail) {
            try {
                thumbnail->Commit();
            } catch (const WriteError&) {
                QFile::remove(settings.output);
                throw;
            }
        }
    } catch (const std::exception& e) {
        throw ErrorAbout(settings.photo, e);
    }
}

}  // namespace

int RunRender(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Imports PHOTO as the program does (orientation, longest side 1500 pixels, level "
        "stretch, working copy at JPEG quality 85) and writes its rendering in the format its "
        "name ends in: .png, .bmp or .ppm with the exact 24-bit pixels, .jpg or .jpeg at JPEG "
        "quality 95 or --quality. Parameters not given keep a new photo's defaults: black and "
        "white, brightness 1, "
        "contrast 0, no crop, rotation chosen from the photo's orientation."));
    parser.addPositionalArgument(QStringLiteral("PHOTO"), QStringLiteral("The JPEG photo."));
    const QCommandLineOption help = AddHelpOption(parser);
    parser.addOptions({
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("Write the rendering to <OUT> (.png, .jpg, .jpeg, .bmp or .ppm)."),
         QStringLiteral("OUT")},
        {QStringLiteral("rotation"),
         QStringLiteral("0 none, 1 +90, 2 -90, 3 180 degrees; overrides the automatic choice."),
         RangeText(Describe(Setting::Rotation))},
    });
    AddPhotoOptions(parser);
    parser.addOptions({
        {QStringLiteral("no-crop"),
         QStringLiteral("Render without the crop, as the editor shows it.")},
        {QStringLiteral("thumbnail"),
         QStringLiteral("Also write the photo's 200 x 200 thumbnail after the rendering, in the "
                        "format its name ends in."),
         QStringLiteral("THUMB")},
        {QStringLiteral("quality"),
         QStringLiteral("JPEG quality of .jpg and .jpeg outputs (default 95)."),
         QStringLiteral("1..100")},
    });
    return RunCommand(parser, help, arguments, QStringLiteral("render"), Render);
}

}  // namespace lisko::cli
