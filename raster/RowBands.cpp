#include "raster/RowBands.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace lisko {

namespace {

// Below this a band is cheaper to run than to hand over (a 1500-pixel row takes about a
// microsecond in the tone kernels; waking a thread takes tens).
constexpr std::int64_t kPixelsPerBand = 64 * 1024;

int CoresOrOne() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

int ThreadsFromEnvironment() {
    if (const char* text = std::getenv("LISKO_THREADS")) {
        const int count = std::atoi(text);
        if (count > 0) return count;
    }
    return CoresOrOne();
}

std::atomic<int>& ThreadCount() {
    static std::atomic<int> count{ThreadsFromEnvironment()};
    return count;
}

// One call of ForEachRowBand: its bands are claimed one by one, by the caller and by workers.
struct Job {
    const std::function<void(int, int)>* band = nullptr;
    int rows = 0;
    int bands = 0;
    int claimed = 0;
    int finished = 0;
    std::exception_ptr error;

    int First(int index) const { return static_cast<int>(std::int64_t{rows} * index / bands); }
};

// Workers live as long as the program and wait for jobs. Everything about a job is read and
// written under the one mutex, so no worker touches a job after its caller saw it finished.
class BandPool {
public:
    ~BandPool() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        work_.notify_all();
        workers_.clear();
    }

    void Run(Job& job) {
        {
            const std::lock_guard lock(mutex_);
            while (static_cast<int>(workers_.size()) < job.bands - 1)
                workers_.emplace_back([this] { Serve(); });
            queue_.push_back(&job);
        }
        work_.notify_all();
        std::unique_lock lock(mutex_);
        while (job.claimed < job.bands)
            RunOneBand(job, lock);
        done_.wait(lock, [&job] { return job.finished == job.bands; });
        if (job.error) std::rethrow_exception(job.error);
    }

private:
    // Called and returns with the lock held; the band itself runs without it.
    void RunOneBand(Job& job, std::unique_lock<std::mutex>& lock) {
        const int index = job.claimed++;
        if (job.claimed == job.bands) std::erase(queue_, &job);
        lock.unlock();
        std::exception_ptr error;
        try {
            (*job.band)(job.First(index), job.First(index + 1));
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        if (error && !job.error) job.error = error;
        if (++job.finished == job.bands) done_.notify_all();
    }

    void Serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            work_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            RunOneBand(*queue_.front(), lock);
        }
    }

    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable done_;
    std::deque<Job*> queue_;
    bool stopping_ = false;
    std::vector<std::jthread> workers_;  // last: joined before the rest goes
};

BandPool& Pool() {
    static BandPool pool;
    return pool;
}

thread_local bool oneBand = false;

}  // namespace

OneBandOnThisThread::OneBandOnThisThread() : before_(std::exchange(oneBand, true)) {}

OneBandOnThisThread::~OneBandOnThisThread() {
    oneBand = before_;
}

void SetRasterThreads(int count) {
    ThreadCount() = count > 0 ? count : CoresOrOne();
}

int RasterThreads() {
    return ThreadCount();
}

void ForEachRowBand(int rows, std::int64_t pixelsPerRow,
                    const std::function<void(int first, int last)>& band) {
    if (rows <= 0) return;
    const std::int64_t pixels = std::int64_t{rows} * std::max<std::int64_t>(pixelsPerRow, 1);
    const auto bands = static_cast<int>(
        std::clamp<std::int64_t>(pixels / kPixelsPerBand, 1, std::min(RasterThreads(), rows)));
    if (bands == 1 || oneBand) {
        band(0, rows);
        return;
    }
    Job job;
    job.band = &band;
    job.rows = rows;
    job.bands = bands;
    Pool().Run(job);
}

}  // namespace lisko
