#pragma once

#include <QCommandLineParser>
#include <QString>
#include <array>
#include <optional>

#include "cli/Output.h"
#include "pages/PageLayout.h"
#include "photo/Lisko.h"
#include "photo/PhotoSettings.h"

namespace lisko::cli {

// A whole number from low to high, or a UsageError naming the option.
int ParseInt(const QString& text, int low, int high, const QString& option);
// A setting's range as the help shows it: "-20..20".
QString RangeText(const SettingDescription& row);

// The settings of a photo that a command line can give, by Setting; unset ones keep the photo's
// own.
struct PhotoSettings {
    std::array<std::optional<int>, kPhotoSettings.size()> values;
    bool straighten = false;  // find the sheet and undistort it where there is one
    // Straighten where a sheet is found, then crop to the writing; the crops are then not given.
    bool cropToWriting = false;
};

// The options of the settings table (--type, --brightness, --contrast, --crop) with its ranges,
// --straighten and --auto.
void AddPhotoOptions(QCommandLineParser& parser);
PhotoSettings ReadPhotoSettings(const QCommandLineParser& parser);
void Apply(const PhotoSettings& settings, TLisko& photo);

// --rows, --columns and --order; those not given keep the base layout's.
void AddLayoutOptions(QCommandLineParser& parser);
PageLayout ReadLayout(const QCommandLineParser& parser, PageLayout base);

// The files the program's list would take, in the order given: only .jpg and .jpeg names, each
// full path once, made absolute and clean. The rest are skipped with a note.
QStringList AcceptedPhotos(const QStringList& given);

}  // namespace lisko::cli
