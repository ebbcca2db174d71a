#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>
#include <vector>

#include "pages/PageLayout.h"
#include "photo/Lisko.h"
#include "photo/PhotoSettings.h"

namespace lisko {

// A saved job: the photo list with each photo's settings, and the page layout. On disk it is a
// small UTF-8 JSON document with the extension ".lisko" (docs/job-format.md).
inline constexpr char kJobFormatName[] = "liskoprinter-job";
inline constexpr int kJobFormatVersion = 1;
inline constexpr char kJobFileSuffix[] = "lisko";

struct JobPhoto {
    QString source;       // absolute and clean once read
    TLiskoData settings;  // rotation, type, brightness, contrast, crops, straightening; the
                          // paths are not used
};

struct Job {
    PageLayout layout;
    std::vector<JobPhoto> photos;  // in list order
};

// A job file that cannot be read or written. The text names the field and the photo's position
// (1-based, as the photos stand in the file).
class JobFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The photo's source file and settings, and the settings put back into a photo item (its paths
// and thumbnail stay as they are). Sheet corners outside the item's working copy throw
// std::invalid_argument and change nothing.
JobPhoto JobPhotoOf(const TLiskoData& photo);
void ApplySettings(const JobPhoto& from, TLisko& photo);
// Whether two photos have the same settings of those a job holds.
bool SameSettings(const TLiskoData& a, const TLiskoData& b);

// The job as the text of a job file in `folder`: a source under that folder is stored relative
// to it, any other absolutely.
QByteArray JobToJson(const Job& job, const QString& folder);
// The job a file's text describes, every field checked; relative sources are taken from
// `folder`. Throws JobFileError for anything the program would not have written.
Job JobFromJson(const QByteArray& text, const QString& folder);

// Writes the file whole or not at all: a failed save leaves an earlier file untouched.
void SaveJobFile(const QString& path, const Job& job);
// Throws JobFileError, its text beginning with the file's path. Beyond what JobFromJson checks,
// each photo's sheet corners must fit the working copy its source gives.
Job LoadJobFile(const QString& path);

}  // namespace lisko
