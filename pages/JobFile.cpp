#include "pages/JobFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <algorithm>
#include <array>
#include <cmath>
#include <span>

#include "photo/SaveFile.h"

namespace lisko {

namespace {

// A job of 40 photos takes about 10 KB; this holds tens of thousands, and keeps a wrongly
// chosen large file from being read into memory whole.
constexpr qint64 kLargestJobFile = 16 * 1024 * 1024;

constexpr std::array<const char*, 2> kOrderNames{"rows", "columns"};  // index = SlotOrder

QString Quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// A JSON value as an error message shows what was found instead.
QString Describe(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Null:
            return QStringLiteral("null");
        case QJsonValue::Bool:
            return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        case QJsonValue::Double:
            return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        case QJsonValue::String:
            return Quoted(value.toString());
        case QJsonValue::Array:
            return QStringLiteral("a list");
        case QJsonValue::Object:
            return QStringLiteral("an object");
        case QJsonValue::Undefined:
            break;
    }
    return QStringLiteral("nothing");
}

// Reads the fields of one JSON object. Every error names the field by its full name from the
// photo ("crop.top") and, inside a photo, the photo's position. Fields this program does not know
// are ignored, so a file with optional fields added later still opens here; such a field is read
// with `if (fields.Has(key)) ...`.
class Fields {
public:
    Fields(QJsonObject object, QString where, QString prefix = {})
        : object_(std::move(object)), where_(std::move(where)), prefix_(std::move(prefix)) {}

    // A whole number from low to high.
    int Int(const char* key, int low, int high) const {
        const QJsonValue value = Required(key);
        const double number = value.toDouble();
        if (!value.isDouble() || number != std::floor(number) || number < low || number > high) {
            throw Error(QStringLiteral("%1 must be a whole number from %2 to %3, not %4")
                            .arg(Name(key))
                            .arg(low)
                            .arg(high)
                            .arg(Describe(value)));
        }
        return static_cast<int>(number);
    }

    // One of the names; gives its index.
    int Choice(const char* key, std::span<const char* const> names) const {
        const QJsonValue value = Required(key);
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (value == QJsonValue(QLatin1String(names[i]))) return static_cast<int>(i);
        }
        QStringList quoted;
        for (const char* name : names)
            quoted << Quoted(QLatin1String(name));
        throw Error(QStringLiteral("%1 must be %2, not %3")
                        .arg(Name(key), quoted.join(QStringLiteral(" or ")), Describe(value)));
    }

    // Any number from low to high, fractions too.
    double Number(const char* key, double low, double high) const {
        const QJsonValue value = Required(key);
        const double number = value.toDouble();
        if (!value.isDouble() || !(number >= low && number <= high)) {
            throw Error(QStringLiteral("%1 must be a number from %2 to %3, not %4")
                            .arg(Name(key))
                            .arg(low)
                            .arg(high)
                            .arg(Describe(value)));
        }
        return number;
    }

    bool Bool(const char* key) const {
        const QJsonValue value = Required(key);
        if (!value.isBool()) {
            throw Error(
                QStringLiteral("%1 must be true or false, not %2").arg(Name(key), Describe(value)));
        }
        return value.toBool();
    }

    QString Text(const char* key) const {
        const QJsonValue value = Required(key);
        if (!value.isString() || value.toString().isEmpty()) {
            throw Error(QStringLiteral("%1 must be a non-empty text, not %2")
                            .arg(Name(key), Describe(value)));
        }
        return value.toString();
    }

    Fields Object(const char* key) const {
        const QJsonValue value = Required(key);
        if (!value.isObject()) {
            throw Error(
                QStringLiteral("%1 must be an object, not %2").arg(Name(key), Describe(value)));
        }
        return Fields(value.toObject(), where_, prefix_ + QLatin1String(key) + QLatin1Char('.'));
    }

    QJsonArray Array(const char* key) const {
        const QJsonValue value = Required(key);
        if (!value.isArray()) {
            throw Error(
                QStringLiteral("%1 must be a list, not %2").arg(Name(key), Describe(value)));
        }
        return value.toArray();
    }

    bool Has(const char* key) const { return object_.contains(QLatin1String(key)); }

    JobFileError Error(const QString& problem) const {
        return JobFileError(
            (where_.isEmpty() ? problem : where_ + QStringLiteral(": ") + problem).toStdString());
    }

    QString Name(const char* key) const { return Quoted(prefix_ + QLatin1String(key)); }

private:
    QJsonValue Required(const char* key) const {
        if (!Has(key)) throw Error(Name(key) + QStringLiteral(" is missing"));
        return object_.value(QLatin1String(key));
    }

    QJsonObject object_;
    QString where_;
    QString prefix_;
};

// The object of the photo's that holds the setting's field.
Fields ObjectOf(const Fields& photo, const SettingDescription& row) {
    return *row.jobObject ? photo.Object(row.jobObject) : photo;
}

// Two crops of one axis that meet leave nothing of the photo; the editor refuses them too.
void CheckCropAxis(const Fields& photo, const TLiskoData& s, const std::array<Setting, 2>& axis) {
    const SettingDescription& first = lisko::Describe(axis[0]);
    const SettingDescription& second = lisko::Describe(axis[1]);
    const int a = s.*first.field;
    const int b = s.*second.field;
    if (CropsLeavePicture(a, b)) return;
    const Fields crop = ObjectOf(photo, first);
    throw crop.Error(QStringLiteral("%1 and %2 together cut the whole photo away (%3 + %4)")
                         .arg(crop.Name(first.jobKey), crop.Name(second.jobKey))
                         .arg(a)
                         .arg(b));
}

// A message of the sheet checks inside a sentence of the reader's.
QString SheetProblem(const std::exception& error) {
    QString text = QString::fromUtf8(error.what());
    if (!text.isEmpty()) text[0] = text[0].toLower();
    return text;
}

// The corners lie in the working copy, whose longer side is at most TLisko::LongestSide; whether
// they fit this photo's working copy is known only from its source (CheckSheetsFit).
SheetQuad ReadSheet(const Fields& photo) {
    const Fields sheet = photo.Object(kSheetJobKey);
    SheetQuad corners;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const Fields corner = sheet.Object(SheetCornerNames[i]);
        corners[i] = QPointF(corner.Number("x", 0, TLisko::LongestSide),
                             corner.Number("y", 0, TLisko::LongestSide));
    }
    try {
        CheckSheetShape(corners);
    } catch (const std::invalid_argument& e) {
        throw photo.Error(photo.Name(kSheetJobKey) + QStringLiteral(": ") + SheetProblem(e));
    }
    return corners;
}

// Both optional: a job saved before photos could be straightened has neither.
void ReadStraightening(const Fields& fields, TLiskoData& s) {
    if (fields.Has(kSheetJobKey)) s.SheetCorners = ReadSheet(fields);
    s.Straighten = fields.Has(kStraightenJobKey) && fields.Bool(kStraightenJobKey);
    if (s.Straighten && !s.SheetCorners) {
        throw fields.Error(QStringLiteral("%1 is true, but %2 is missing")
                               .arg(fields.Name(kStraightenJobKey), fields.Name(kSheetJobKey)));
    }
}

JobPhoto ReadPhoto(const QJsonValue& value, int position, const QDir& folder) {
    const QString where = QStringLiteral("photo %1").arg(position);
    if (!value.isObject()) {
        throw JobFileError(QStringLiteral("%1 must be an object, not %2")
                               .arg(where, Describe(value))
                               .toStdString());
    }
    const Fields fields(value.toObject(), where);
    JobPhoto photo;
    photo.source = QDir::cleanPath(folder.absoluteFilePath(fields.Text("source")));
    TLiskoData& s = photo.settings;
    for (const SettingDescription& row : kPhotoSettings) {
        const Fields object = ObjectOf(fields, row);
        s.*row.field = row.choices.empty() ? object.Int(row.jobKey, row.minimum, row.maximum)
                                           : object.Choice(row.jobKey, row.choices);
    }
    for (const std::array<Setting, 2>& axis : kCropAxes)
        CheckCropAxis(fields, s, axis);
    ReadStraightening(fields, s);
    return photo;
}

PageLayout ReadLayout(const Fields& job) {
    const Fields fields = job.Object("layout");
    PageLayout layout;
    layout.rows = fields.Int("rows", 1, kLargestGrid);
    layout.columns = fields.Int("columns", 1, kLargestGrid);
    layout.order = static_cast<SlotOrder>(fields.Choice("order", kOrderNames));
    return layout;
}

// Checked before anything else, so that any other JSON document reads as "not a job file" and a
// newer job as newer, not as a list of faults.
void CheckFormatAndVersion(const QJsonObject& object) {
    const auto fail = [](const QString& problem) { return JobFileError(problem.toStdString()); };
    const QJsonValue format = object.value(QLatin1String("format"));
    if (format.isUndefined()) throw fail(QStringLiteral("not a job file: \"format\" is missing"));
    if (format != QJsonValue(QLatin1String(kJobFormatName))) {
        throw fail(QStringLiteral("not a job file: \"format\" is %1, not \"%2\"")
                       .arg(Describe(format), QLatin1String(kJobFormatName)));
    }
    const QJsonValue version = object.value(QLatin1String("version"));
    const double number = version.toDouble();
    if (version.isUndefined()) throw fail(QStringLiteral("\"version\" is missing"));
    if (!version.isDouble() || number != std::floor(number) || number < 1) {
        throw fail(QStringLiteral("\"version\" must be a whole number from 1 up, not %1")
                       .arg(Describe(version)));
    }
    if (number > kJobFormatVersion) {
        throw fail(QStringLiteral("the job was saved by a newer program (format version %1); "
                                  "this one reads version %2")
                       .arg(Describe(version))
                       .arg(kJobFormatVersion));
    }
}

// Relative to the folder when the file lies under it, so that a folder of photos with its job
// can move as a whole; absolute otherwise.
QString StoredSource(const QString& source, const QDir& folder) {
    const QString absolute = QDir::cleanPath(QFileInfo(source).absoluteFilePath());
    const QString relative = folder.relativeFilePath(absolute);
    const bool outside = QDir::isAbsolutePath(relative) || relative == QLatin1String("..") ||
                         relative.startsWith(QLatin1String("../"));
    return outside ? absolute : relative;
}

// The corners as the item holds them: doubles, which Qt writes in their shortest exact form, so a
// reopened photo straightens to the same pixels.
QJsonObject SheetObject(const SheetQuad& corners) {
    QJsonObject sheet;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        sheet.insert(QLatin1String(SheetCornerNames[i]),
                     QJsonObject{{QStringLiteral("x"), corners[i].x()},
                                 {QStringLiteral("y"), corners[i].y()}});
    }
    return sheet;
}

// The value a setting is saved with. A turn or a type out of range is saved as the rendering
// reads it: any other turn renders unturned, any non-zero type is black and white. Any other
// setting out of range is saved as it is, and the check before saving refuses it.
int SavedValue(const SettingDescription& row, const TLiskoData& s) {
    if (row.setting == Setting::Rotation) return static_cast<int>(s.TurnOf());
    if (row.setting == Setting::Type) return s.IsBlackWhite() ? 1 : 0;
    return s.*row.field;
}

// QJsonObject keeps its keys sorted, so the fields are written in alphabetical order whatever
// the order they are inserted in.
QJsonObject PhotoObject(const JobPhoto& photo, const QDir& folder) {
    const TLiskoData& s = photo.settings;
    QJsonObject object{{QStringLiteral("source"), StoredSource(photo.source, folder)}};
    for (const SettingDescription& row : kPhotoSettings) {
        const int value = SavedValue(row, s);
        const QJsonValue saved =
            row.choices.empty()
                ? QJsonValue(value)
                : QJsonValue(QLatin1String(row.choices[static_cast<std::size_t>(value)]));
        if (*row.jobObject) {
            const QString name = QLatin1String(row.jobObject);
            QJsonObject inner = object.value(name).toObject();
            inner.insert(QLatin1String(row.jobKey), saved);
            object.insert(name, inner);
        } else {
            object.insert(QLatin1String(row.jobKey), saved);
        }
    }
    // Jobs without straightening keep the fields of jobs saved before it existed. Corners are
    // kept with the box off too, as the editor keeps them for turning it on again.
    if (s.SheetCorners) object.insert(QLatin1String(kSheetJobKey), SheetObject(*s.SheetCorners));
    if (s.SheetCorners || s.Straighten)
        object.insert(QLatin1String(kStraightenJobKey), s.Straighten);
    return object;
}

// Whether each photo's corners lie inside the working copy its source will give, as the photo
// item checks them: before anything is imported, so that the window refuses such a job whole
// instead of taking it in part. A source that cannot be read is left to the import, which says
// why it is skipped.
void CheckSheetsFit(const Job& job) {
    for (std::size_t i = 0; i < job.photos.size(); ++i) {
        const JobPhoto& photo = job.photos[i];
        if (!photo.settings.SheetCorners) continue;
        QSize working;
        try {
            working = TLisko::WorkingSizeOf(photo.source);
        } catch (const std::exception&) {
            continue;
        }
        try {
            CheckSheetQuad(*photo.settings.SheetCorners, working.width(), working.height());
        } catch (const std::invalid_argument& e) {
            throw JobFileError(QStringLiteral("photo %1: \"sheet\" does not fit %2 as imported: %3")
                                   .arg(i + 1)
                                   .arg(photo.source, SheetProblem(e))
                                   .toStdString());
        }
    }
}

}  // namespace

JobPhoto JobPhotoOf(const TLiskoData& photo) {
    JobPhoto job{photo.SourceFile, photo};
    job.settings.SourceFile.clear();
    job.settings.WorkFile.clear();
    return job;
}

void ApplySettings(const JobPhoto& from, TLisko& photo) {
    const TLiskoData& s = from.settings;
    // First, since corners that do not fit this photo throw and must leave it as it was.
    if (s.SheetCorners) {
        photo.SetSheetCorners(*s.SheetCorners);
    } else {
        photo.SheetCorners.reset();
    }
    photo.Straighten = s.Straighten;
    for (const SettingDescription& row : kPhotoSettings)
        photo.*row.field = s.*row.field;
}

bool SameSettings(const TLiskoData& a, const TLiskoData& b) {
    // Exactly: QPointF's own comparison allows a difference that changes the straightened pixels.
    const auto sameCorners = [](const SheetQuad& p, const SheetQuad& q) {
        return std::equal(p.begin(), p.end(), q.begin(), [](const QPointF& u, const QPointF& v) {
            return u.x() == v.x() && u.y() == v.y();
        });
    };
    const bool sameSheet = a.SheetCorners.has_value() == b.SheetCorners.has_value() &&
                           (!a.SheetCorners || sameCorners(*a.SheetCorners, *b.SheetCorners));
    return std::all_of(
               kPhotoSettings.begin(), kPhotoSettings.end(),
               [&](const SettingDescription& row) { return a.*row.field == b.*row.field; }) &&
           a.Straighten == b.Straighten && sameSheet;
}

QByteArray JobToJson(const Job& job, const QString& folder) {
    const QDir dir(folder);
    QJsonArray photos;
    for (const JobPhoto& photo : job.photos)
        photos.append(PhotoObject(photo, dir));
    const int order = job.layout.order == SlotOrder::ColumnWise ? 1 : 0;
    const QJsonObject root{
        {QStringLiteral("format"), QLatin1String(kJobFormatName)},
        {QStringLiteral("version"), kJobFormatVersion},
        {QStringLiteral("layout"),
         QJsonObject{{QStringLiteral("rows"), job.layout.rows},
                     {QStringLiteral("columns"), job.layout.columns},
                     {QStringLiteral("order"), QLatin1String(kOrderNames[order])}}},
        {QStringLiteral("photos"), photos},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Job JobFromJson(const QByteArray& text, const QString& folder) {
    // Editors on some systems start UTF-8 text with a byte order mark; JSON itself has none.
    const QByteArray bom("\xEF\xBB\xBF");
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(text.startsWith(bom) ? text.mid(bom.size()) : text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        throw JobFileError(QStringLiteral("not a job file: not JSON (%1 at character %2)")
                               .arg(parseError.errorString())
                               .arg(parseError.offset)
                               .toStdString());
    }
    if (!document.isObject()) throw JobFileError("not a job file: not a JSON object");
    const QJsonObject root = document.object();
    CheckFormatAndVersion(root);

    const Fields fields(root, {});
    Job job;
    job.layout = ReadLayout(fields);
    const QJsonArray photos = fields.Array("photos");
    const QDir dir(folder);
    for (qsizetype i = 0; i < photos.size(); ++i)
        job.photos.push_back(ReadPhoto(photos[i], static_cast<int>(i) + 1, dir));
    return job;
}

void SaveJobFile(const QString& path, const Job& job) {
    const QString folder = QFileInfo(path).absolutePath();
    const QByteArray text = JobToJson(job, folder);
    try {
        // Only what this program reads back goes to disk.
        JobFromJson(text, folder);
    } catch (const JobFileError& e) {
        throw JobFileError(QStringLiteral("%1: cannot save the job: %2")
                               .arg(path, QString::fromUtf8(e.what()))
                               .toStdString());
    }
    try {
        WriteWholeFile(path, text);
    } catch (const WriteError& e) {
        throw JobFileError(
            QStringLiteral("%1: cannot save the job: %2").arg(path, e.Reason()).toStdString());
    }
}

Job LoadJobFile(const QString& path) {
    QFile file(path);
    const auto fail = [&path](const QString& problem) {
        return JobFileError((path + QStringLiteral(": ") + problem).toStdString());
    };
    if (!file.open(QIODevice::ReadOnly)) throw fail(file.errorString());
    const QByteArray text = file.read(kLargestJobFile + 1);
    if (file.error() != QFileDevice::NoError) throw fail(file.errorString());
    if (text.size() > kLargestJobFile) {
        throw fail(QStringLiteral("not a job file: larger than %1 bytes").arg(kLargestJobFile));
    }
    try {
        Job job = JobFromJson(text, QFileInfo(path).absolutePath());
        CheckSheetsFit(job);
        return job;
    } catch (const JobFileError& e) {
        throw fail(QString::fromUtf8(e.what()));
    }
}

}  // namespace lisko
