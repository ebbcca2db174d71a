#include "cli/PhotoOptions.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <string_view>
#include <vector>

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

QString RangeText(const SettingDescription& row) {
    return QStringLiteral("%1..%2").arg(row.minimum).arg(row.maximum);
}

namespace {

constexpr char kAutoOption[] = "auto";

// The rows each option of the table sets, in the order of the table: one, or several that share
// the option and take a comma-separated list.
std::vector<std::vector<const SettingDescription*>> OptionRows() {
    std::vector<std::vector<const SettingDescription*>> options;
    for (const SettingDescription& row : kPhotoSettings) {
        if (std::string_view(row.option).empty()) continue;
        const auto same = std::find_if(options.begin(), options.end(), [&row](const auto& rows) {
            return std::string_view(rows.front()->option) == row.option;
        });
        if (same == options.end()) {
            options.push_back({&row});
        } else {
            same->push_back(&row);
        }
    }
    return options;
}

// What the help shows as an option's value: the names of a choice, the range of a number, or
// the names of the numbers a list holds.
QString ValueName(const std::vector<const SettingDescription*>& rows) {
    QStringList names;
    if (rows.size() > 1) {
        for (const SettingDescription* row : rows)
            names << QString::fromLatin1(row->jobKey).toUpper();
        return names.join(QLatin1Char(','));
    }
    if (rows.front()->choices.empty()) return RangeText(*rows.front());
    for (const char* name : rows.front()->choices)
        names << QString::fromLatin1(name);
    return names.join(QLatin1Char('|'));
}

// What an option does, for the help; a new setting with an option gets its text here.
QString Purpose(const SettingDescription& first) {
    switch (first.setting) {
        case Setting::Type:
            return QStringLiteral("colour, or bw for the black-and-white clean-up.");
        case Setting::Brightness:
            return QStringLiteral("Colour: brightness step. Black and white: tile size minus 1.");
        case Setting::Contrast:
            return QStringLiteral(
                "Colour: contrast step. Black and white: smoothing passes minus 1.");
        case Setting::CropLeft:
            return QStringLiteral("Percent cut from each edge of the turned photo, %1 each.")
                .arg(RangeText(first));
        case Setting::Rotation:
        case Setting::CropRight:
        case Setting::CropTop:
        case Setting::CropBottom:
            break;
    }
    return {};
}

// The stored number of the choice `text` names.
int ParseChoice(const QString& text, const SettingDescription& row) {
    QStringList quoted;
    for (std::size_t i = 0; i < row.choices.size(); ++i) {
        if (text == QLatin1String(row.choices[i])) return static_cast<int>(i);
        quoted << QStringLiteral("'%1'").arg(QLatin1String(row.choices[i]));
    }
    throw UsageError(QStringLiteral("--%1 is %2, not '%3'")
                         .arg(QLatin1String(row.option), quoted.join(QStringLiteral(" or ")), text)
                         .toStdString());
}

}  // namespace

void AddPhotoOptions(QCommandLineParser& parser) {
    for (const std::vector<const SettingDescription*>& rows : OptionRows()) {
        parser.addOption(
            {QLatin1String(rows.front()->option), Purpose(*rows.front()), ValueName(rows)});
    }
    parser.addOption(
        {QLatin1String(kStraightenOption),
         QStringLiteral("Find the sheet of paper on each photo and undistort it to a rectangle "
                        "before turning and cropping; photos without a whole sheet stay as they "
                        "are.")});
    parser.addOption(
        {QLatin1String(kAutoOption),
         QStringLiteral("Straighten each photo where a whole sheet is found, then set its crops to "
                        "the box round what is written on it, with a margin of about 1 %; a page "
                        "without writing is not cropped. Not with --crop.")});
}

PhotoSettings ReadPhotoSettings(const QCommandLineParser& parser) {
    PhotoSettings s;
    const auto set = [&s](const SettingDescription& row, int value) {
        s.values[static_cast<std::size_t>(row.setting)] = value;
    };
    for (const std::vector<const SettingDescription*>& rows : OptionRows()) {
        const QString option = QLatin1String(rows.front()->option);
        if (!parser.isSet(option)) continue;
        const QString text = parser.value(option);
        if (rows.size() == 1) {
            const SettingDescription& row = *rows.front();
            set(row, row.choices.empty() ? ParseInt(text, row.minimum, row.maximum, option)
                                         : ParseChoice(text, row));
            continue;
        }
        const QStringList parts = text.split(QLatin1Char(','));
        if (parts.size() != static_cast<qsizetype>(rows.size())) {
            throw UsageError(
                QStringLiteral("--%1 takes %2").arg(option, ValueName(rows)).toStdString());
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const SettingDescription& row = *rows[i];
            set(row, ParseInt(parts[static_cast<qsizetype>(i)].trimmed(), row.minimum, row.maximum,
                              option));
        }
    }
    s.straighten = parser.isSet(QLatin1String(kStraightenOption));
    s.cropToWriting = parser.isSet(QLatin1String(kAutoOption));
    const QString crop = QLatin1String(Describe(Setting::CropLeft).option);
    if (s.cropToWriting && parser.isSet(crop)) {
        throw UsageError(QStringLiteral("--%1 sets the crops itself: give --%1 or --%2, not both")
                             .arg(QLatin1String(kAutoOption), crop)
                             .toStdString());
    }
    return s;
}

void Apply(const PhotoSettings& s, TLisko& photo) {
    for (const SettingDescription& row : kPhotoSettings) {
        if (const std::optional<int> value = s.values[static_cast<std::size_t>(row.setting)])
            photo.*row.field = *value;
    }
    if (s.cropToWriting) {
        photo.StraightenAndCropToContent();
    } else if (s.straighten && photo.DetectSheetCorners()) {
        photo.Straighten = true;
    }
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
