#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "photo/Lisko.h"

namespace lisko {

// The settings of a photo a user chooses, each described once: the editor's controls, the job
// file's reader and writer, the command line's options and apply to many take their names,
// ranges and defaults from this table, so a new setting is one more row. Straightening is not a
// number and is described beside it. The rows stand in the order of TLiskoData's fields, which
// is also the order a job file's photo is checked in: of several faults, the first is reported.
enum class Setting {
    Rotation,
    Type,
    Brightness,
    Contrast,
    CropLeft,
    CropRight,
    CropTop,
    CropBottom
};

// What one check box of apply to many takes over.
enum class SettingGroup { Type, Rotation, Tone, Crop };

inline constexpr int kLargestStep = 20;  // brightness and contrast, -20..20
inline constexpr int kLargestCrop = 50;  // per edge, percent

// The names a setting that is a choice is written with; the index is the stored number.
inline constexpr std::array<const char*, 2> kTypeNames{"colour", "bw"};

struct SettingDescription {
    Setting setting;
    std::int32_t TLiskoData::*field;
    int minimum;
    int maximum;
    int defaultValue;
    SettingGroup group;
    // In a job file: the photo's field, inside the object `jobObject` when that is not empty.
    const char* jobObject;
    const char* jobKey;
    // On the command line: --option, or nothing when the command line does not set it. Settings
    // that share an option take it as a comma-separated list, in the order of this table.
    const char* option;
    // The names a choice is written with in the job file and on the command line; empty for a
    // number.
    std::span<const char* const> choices;
};

inline constexpr std::array<SettingDescription, 8> kPhotoSettings{{
    {Setting::Rotation,
     &TLiskoData::Rotation,
     0,
     3,
     0,
     SettingGroup::Rotation,
     "",
     "rotation",
     "",
     {}},
    {Setting::Type, &TLiskoData::ImageType, 0, 1, 0, SettingGroup::Type, "", "type", "type",
     kTypeNames},
    {Setting::Brightness,
     &TLiskoData::Brightness,
     -kLargestStep,
     kLargestStep,
     0,
     SettingGroup::Tone,
     "",
     "brightness",
     "brightness",
     {}},
    {Setting::Contrast,
     &TLiskoData::Contrast,
     -kLargestStep,
     kLargestStep,
     0,
     SettingGroup::Tone,
     "",
     "contrast",
     "contrast",
     {}},
    {Setting::CropLeft,
     &TLiskoData::CropLeft,
     0,
     kLargestCrop,
     0,
     SettingGroup::Crop,
     "crop",
     "left",
     "crop",
     {}},
    {Setting::CropRight,
     &TLiskoData::CropRight,
     0,
     kLargestCrop,
     0,
     SettingGroup::Crop,
     "crop",
     "right",
     "crop",
     {}},
    {Setting::CropTop,
     &TLiskoData::CropTop,
     0,
     kLargestCrop,
     0,
     SettingGroup::Crop,
     "crop",
     "top",
     "crop",
     {}},
    {Setting::CropBottom,
     &TLiskoData::CropBottom,
     0,
     kLargestCrop,
     0,
     SettingGroup::Crop,
     "crop",
     "bottom",
     "crop",
     {}},
}};

static_assert(
    [] {
        for (std::size_t i = 0; i < kPhotoSettings.size(); ++i) {
            if (static_cast<std::size_t>(kPhotoSettings[i].setting) != i) return false;
        }
        return true;
    }(),
    "the rows stand in the order of Setting");

constexpr const SettingDescription& Describe(Setting setting) {
    return kPhotoSettings[static_cast<std::size_t>(setting)];
}

// Two crops of one axis that together reach 100 % leave nothing of the photo.
constexpr bool CropsLeavePicture(int first, int second) {
    return first + second < 100;
}

// The crops of each axis, the pair CropsLeavePicture checks.
inline constexpr std::array<std::array<Setting, 2>, 2> kCropAxes{{
    {Setting::CropLeft, Setting::CropRight},
    {Setting::CropTop, Setting::CropBottom},
}};

// Straightening: a flag and the sheet's corners, both optional in a job file.
inline constexpr char kStraightenJobKey[] = "straighten";
inline constexpr char kSheetJobKey[] = "sheet";
inline constexpr char kStraightenOption[] = "straighten";

}  // namespace lisko
