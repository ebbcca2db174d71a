#include "photo/ImportBatch.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

#include <sys/resource.h>
#include <unistd.h>

#include "raster/RowBands.h"

namespace lisko {

namespace {

// A nice value is a thread's own on Linux. Ten steps below the caller leave the window's thread
// about nine times a worker's weight when both want a core; a refusal changes nothing but that.
void LowerThisThreadsPriority() {
    const auto self = static_cast<id_t>(gettid());
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, self);
    if (errno == 0) setpriority(PRIO_PROCESS, self, std::min(nice + 10, 19));
}

}  // namespace

ImportBatch::ImportBatch(QStringList files, QString scratchDirectory, Wanted wanted, Adjust adjust,
                         Ready ready, Priority priority)
    : files_(std::move(files)),
      scratch_(std::move(scratchDirectory)),
      adjust_(std::move(adjust)),
      ready_(std::move(ready)),
      slots_(static_cast<std::size_t>(files_.size())) {
    for (int i = 0; i < Count(); ++i)
        wanted_.push_back(!wanted || wanted(i));
    const int wantedCount = static_cast<int>(std::count(wanted_.begin(), wanted_.end(), true));
    // The kernels' thread count: one per core unless set otherwise.
    const int workers = std::min(RasterThreads(), wantedCount);
    // With a worker on every core, the kernels' own bands would only compete with the workers.
    const bool oneBand = workers == RasterThreads();
    for (int w = 0; w < workers; ++w)
        workers_.emplace_back([this, priority, oneBand] { Work(priority, oneBand); });
}

ImportBatch::~ImportBatch() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workers_.clear();
}

void ImportBatch::Work(Priority priority, bool oneBand) {
    if (priority == Priority::Background) LowerThisThreadsPriority();
    std::optional<OneBandOnThisThread> bands;
    if (oneBand) bands.emplace();
    std::unique_lock lock(mutex_);
    for (;;) {
        while (next_ < Count() && !wanted_[static_cast<std::size_t>(next_)])
            ++next_;
        if (stopping_ || next_ >= Count()) return;
        const int index = next_++;
        if (slots_[static_cast<std::size_t>(index)].state != Slot::State::Waiting) continue;
        lock.unlock();
        Import(index);
        if (ready_) ready_();
        lock.lock();
    }
}

// Called without the lock; marks the slot running, imports, stores the outcome.
void ImportBatch::Import(int index) {
    Slot& slot = slots_[static_cast<std::size_t>(index)];
    {
        const std::lock_guard lock(mutex_);
        if (slot.state != Slot::State::Waiting) return;
        slot.state = Slot::State::Running;
    }
    std::unique_ptr<TLisko> photo;
    std::exception_ptr error;
    try {
        photo = std::make_unique<TLisko>(files_[index], scratch_, adjust_);
    } catch (...) {
        photo.reset();
        error = std::current_exception();
    }
    {
        const std::lock_guard lock(mutex_);
        slot.photo = std::move(photo);
        slot.error = error;
        slot.state = Slot::State::Done;
    }
    done_.notify_all();
}

bool ImportBatch::IsReady(int index) {
    const std::lock_guard lock(mutex_);
    const Slot& slot = slots_.at(static_cast<std::size_t>(index));
    return slot.state == Slot::State::Done ||
           (slot.state == Slot::State::Waiting && !wanted_[static_cast<std::size_t>(index)]);
}

std::unique_ptr<TLisko> ImportBatch::Take(int index) {
    Slot& slot = slots_.at(static_cast<std::size_t>(index));
    Import(index);  // does nothing unless no worker has begun it
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&slot] { return slot.state == Slot::State::Done; });
    if (slot.error) std::rethrow_exception(std::exchange(slot.error, nullptr));
    return std::move(slot.photo);
}

}  // namespace lisko
