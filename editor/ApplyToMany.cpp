#include "editor/ApplyToMany.h"

#include <QEventLoop>
#include <QException>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <array>
#include <optional>
#include <utility>

#include "photo/PhotoSettings.h"
#include "photo/Sheet.h"
#include "raster/RowBands.h"

namespace lisko {

namespace {

// The check box of apply to many that takes over each group of settings, in the order of
// SettingGroup.
constexpr std::array<ApplyFlag, 4> kGroupFlags{ApplyFlag::ApplyType, ApplyFlag::ApplyRotation,
                                               ApplyFlag::ApplyTone, ApplyFlag::ApplyCrop};

ApplyFlag FlagOf(SettingGroup group) {
    return kGroupFlags[static_cast<std::size_t>(group)];
}

}  // namespace

TLiskoData AppliedParameters(const TLiskoData& photo, const TLiskoData& source, ApplyFlags flags) {
    TLiskoData p = photo;
    for (const SettingDescription& setting : kPhotoSettings) {
        if (flags.testFlag(FlagOf(setting.group))) p.*setting.field = source.*setting.field;
    }
    return p;
}

AppliedPhoto ApplyOnWorker(TLiskoData parameters, QSize workingSize, bool straighten, bool on) {
    if (straighten) {
        if (on && !parameters.SheetCorners) {
            if (std::optional<SheetQuad> found = DetectSheetIn(parameters.WorkFile)) {
                CheckSheetQuad(*found, workingSize.width(), workingSize.height());
                parameters.SheetCorners = found;
            }
        }
        parameters.Straighten = on && parameters.SheetCorners.has_value();
    }
    QImage thumbnail = RenderThumbnail(parameters, workingSize);
    return {std::move(parameters), std::move(thumbnail)};
}

ApplyToMany::ApplyToMany(const PhotoList& photos, TLisko* const& source,
                         const ApplyRequest& request, Progress progress)
    : photos_(photos), source_(source), request_(request), progress_(std::move(progress)) {
    for (int i = 0; i < photos.Count(); ++i)
        listed_.push_back(&photos.Photo(i));
    workers_.setMaxThreadCount(RasterThreads());
}

ApplyToMany::~ApplyToMany() {
    workers_.waitForDone();
}

void ApplyToMany::StartMore() {
    const int count = static_cast<int>(listed_.size());
    const auto workers = static_cast<std::size_t>(workers_.maxThreadCount());
    while (next_ < count && !sourceGone_ && started_.size() < workers) {
        const int i = next_++;
        if (request_.scope == ApplyScope::ScopeOdd && i % 2 == 1) continue;
        if (request_.scope == ApplyScope::ScopeEven && i % 2 == 0) continue;
        TLisko* photo = listed_[static_cast<std::size_t>(i)];
        if (!photos_.IndexOfPhoto(photo)) continue;
        // The values are read anew for each photo: the editor may have changed them meanwhile,
        // or the current photo may be gone.
        if (!source_) {
            sourceGone_ = true;
            return;
        }
        TLiskoData wanted = AppliedParameters(*photo, *source_, request_.flags);
        const bool straighten = request_.flags.testFlag(ApplyFlag::ApplyStraighten);
        const bool straightenOn = straighten && source_->Straighten;
        started_.push_back({i, photo, *photo,
                            QtConcurrent::run(&workers_, ApplyOnWorker, std::move(wanted),
                                              photo->WorkingSize(), straighten, straightenOn)});
    }
}

void ApplyToMany::TakeFirst() {
    Started& first = started_.front();
    AppliedPhoto applied;
    try {
        applied = first.result.result();
    } catch (const QUnhandledException& e) {
        // The worker's own exception, as the standard error box describes it.
        if (e.exception()) std::rethrow_exception(e.exception());
        throw;
    }
    // A photo removed, or changed in the editor since its start, keeps what it has now.
    if (photos_.IndexOfPhoto(first.photo) && *first.photo == first.before) {
        static_cast<TLiskoData&>(*first.photo) = std::move(applied.parameters);
        first.photo->Thumbnail = std::move(applied.thumbnail);
    }
    started_.pop_front();
}

void ApplyToMany::Run() {
    StartMore();
    if (started_.empty()) return;

    // The loop waits for the oldest photo's result, takes it, starts the next photos and waits
    // again, until none is left or one failed.
    QEventLoop loop;
    QFutureWatcher<AppliedPhoto> watcher;
    std::exception_ptr failure;
    const auto watchFirst = [&] {
        progress_(started_.front().index);
        watcher.setFuture(started_.front().result);
    };
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, [&] {
        try {
            TakeFirst();
        } catch (...) {
            failure = std::current_exception();
            loop.quit();
            return;
        }
        StartMore();
        if (started_.empty()) {
            loop.quit();
        } else {
            watchFirst();
        }
    });
    watchFirst();
    loop.exec();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace lisko
