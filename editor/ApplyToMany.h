#pragma once

#include <QFlags>
#include <QFuture>
#include <QImage>
#include <QThreadPool>
#include <deque>
#include <exception>
#include <functional>
#include <vector>

#include "list/PhotoList.h"
#include "photo/Lisko.h"

namespace lisko {

// Which parameters apply-to-many copies from the current photo.
enum class ApplyFlag : unsigned {
    ApplyType = 1,         // ImageType
    ApplyTone = 2,         // Brightness and Contrast
    ApplyCrop = 4,         // the four crops
    ApplyRotation = 8,     // Rotation
    ApplyStraighten = 16,  // Straighten, each photo with its own sheet's corners
};
Q_DECLARE_FLAGS(ApplyFlags, ApplyFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ApplyFlags)

// Which photos it copies them to, by position in the list counted from 1.
enum class ApplyScope { ScopeAll = 1, ScopeOdd = 2, ScopeEven = 3 };

struct ApplyRequest {
    int modalResult = 0;  // 1 applied, 2 cancelled
    ApplyFlags flags;
    ApplyScope scope = ApplyScope::ScopeAll;
};

// The parameters the flags take over from the source photo, the settings of each flag's group as
// the settings description (photo/PhotoSettings.h) lists them; the sheet is left to the worker.
TLiskoData AppliedParameters(const TLiskoData& photo, const TLiskoData& source, ApplyFlags flags);

// A photo's parameters after apply to many, and the thumbnail they give.
struct AppliedPhoto {
    TLiskoData parameters;
    QImage thumbnail;
};

// Runs on a worker thread with copies only. With `straighten`, each photo is straightened along
// its own sheet when `on`: corners already set, by hand or found before, are kept, and a photo
// without a whole sheet stays unstraightened.
AppliedPhoto ApplyOnWorker(TLiskoData parameters, QSize workingSize, bool straighten, bool on);

// One run of apply to many over the photos of the list, in the list's order.
//
// Each photo's new parameters are worked out when its turn to start comes; its sheet search and
// rendering run on another thread, at most one per core (RasterThreads()), and the results are
// taken in the list's order. A photo changes only when its result is taken, so a failure leaves
// the photos after it as they were. The window goes on handling events meanwhile, so:
// - the photos in scope are fixed when the run is made; a photo removed since is looked up again
//   and never touched after its removal;
// - a photo changed in the editor since its start keeps what it has now;
// - the values are read from the source photo anew for each photo; once the source photo is
//   gone, no further photo starts.
class ApplyToMany {
public:
    // Which photo's result is awaited next, by its index in the list as the run was made.
    using Progress = std::function<void(int index)>;

    // `source` is where the editor keeps its current photo, read whenever a photo starts.
    ApplyToMany(const PhotoList& photos, TLisko* const& source, const ApplyRequest& request,
                Progress progress);
    // Waits for the photos still under way; their results are dropped.
    ~ApplyToMany();
    ApplyToMany(const ApplyToMany&) = delete;
    ApplyToMany& operator=(const ApplyToMany&) = delete;

    // Returns once every photo in scope is taken, handling events meanwhile in an event loop that
    // the workers' results drive. Throws what a photo's work threw; the photos after it stay as
    // they were.
    void Run();

private:
    struct Started {
        int index;
        TLisko* photo;
        TLiskoData before;
        QFuture<AppliedPhoto> result;
    };
    // Starts photos in scope until every worker is busy or none is left to start.
    void StartMore();
    // Takes the oldest photo's finished result.
    void TakeFirst();

    const PhotoList& photos_;
    TLisko* const& source_;
    ApplyRequest request_;
    Progress progress_;
    std::vector<TLisko*> listed_;  // the list as the run was made
    int next_ = 0;
    bool sourceGone_ = false;
    std::deque<Started> started_;
    QThreadPool workers_;
};

}  // namespace lisko
