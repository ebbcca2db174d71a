#pragma once

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "photo/Lisko.h"

namespace lisko {

// Imports a batch of photos on worker threads, at most one per core (RasterThreads()), and hands
// them over in the batch's order. Workers take the files in that order, so the first ones are ready
// first.
//
// Whoever owns the batch decides per file, when its turn comes, whether to take it: a photo never
// taken (a file skipped, a batch ended early) is destroyed with the batch, and its working copy
// with it. Destroying the batch stops the files not yet begun and waits for those under way.
class ImportBatch {
public:
    // Which files to import ahead; the others are imported only when taken.
    using Wanted = std::function<bool(int index)>;
    // Runs on the worker during a file's import, before the photo's first rendering (see
    // TLisko::Adjust), e.g. to set its parameters; what it throws counts as the file's failure.
    using Adjust = TLisko::Adjust;
    // Called on the worker thread each time a file is done, successfully or not.
    using Ready = std::function<void()>;

    // How the workers share the cores with the rest of the process.
    enum class Priority {
        Normal,
        // Below the other threads of the process, so a window that waits for the batch gets a
        // core whenever it has something to do.
        Background,
    };

    ImportBatch(QStringList files, QString scratchDirectory, Wanted wanted = {}, Adjust adjust = {},
                Ready ready = {}, Priority priority = Priority::Normal);
    ~ImportBatch();
    ImportBatch(const ImportBatch&) = delete;
    ImportBatch& operator=(const ImportBatch&) = delete;

    int Count() const { return static_cast<int>(files_.size()); }
    // True when file index can be taken without waiting.
    bool IsReady(int index);
    // The photo of file index: waits for its import, or imports it on this thread when it was
    // not wanted ahead; throws what its import threw. Each file can be taken once.
    std::unique_ptr<TLisko> Take(int index);

private:
    struct Slot {
        enum class State { Waiting, Running, Done } state = State::Waiting;
        std::unique_ptr<TLisko> photo;
        std::exception_ptr error;
    };

    void Work(Priority priority, bool oneBand);
    void Import(int index);

    const QStringList files_;
    const QString scratch_;
    const Adjust adjust_;
    const Ready ready_;
    std::vector<bool> wanted_;
    std::mutex mutex_;
    std::condition_variable done_;
    std::vector<Slot> slots_;
    int next_ = 0;
    bool stopping_ = false;
    std::vector<std::jthread> workers_;  // last: joined before the rest goes
};

}  // namespace lisko
