#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "photo/BlackWhiteFilter.h"
#include "raster/RowBands.h"

namespace lisko {

namespace {

// The bottom and the top row: two corners lie in the row being rewritten, the one left of x
// already rewritten and the one at or right of x not yet, so the pixels go strictly in order.
// `other` is the row holding the remaining two corners; it is `row` itself in a one-row raster.
void SmoothEdgeRow(std::uint8_t* row, const std::uint8_t* other, int width, int spread) {
    for (int x = 0; x < width; ++x) {
        const int lo = std::max(x - spread, 0);
        const int hi = std::min(x + spread, width - 1);
        row[x] = static_cast<std::uint8_t>((row[lo] + row[hi] + other[lo] + other[hi]) >> 2);
    }
}

// The inner rows are where the filter spends its time. On x86-64 processors with AVX2 they run on
// vectors twice as wide (about a tenth off the whole filter at 21 passes); the version is picked
// once when the program loads, and other processors run the baseline one built from the same
// source. ThreadSanitizer builds keep to the baseline: the loader runs the picking function before
// the sanitizer's runtime is up, and the instrumented function crashes the program at load.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_THREAD__)
#define LISKO_ROW_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define LISKO_ROW_KERNEL
#endif

// Every other row reads only a row below it (already rewritten) and a row above it (not yet), never
// itself, so its pixels do not depend on one another. The column sums of those two rows go into
// `sums` with `spread` copies of the first sum before them and of the last after them; the clamped
// corners x - spread and x + spread are then simply sums[x] and sums[x + 2 * spread], and the loop
// runs over whole vectors.
LISKO_ROW_KERNEL void SmoothInnerRow(std::uint8_t* __restrict row,
                                     const std::uint8_t* __restrict below,
                                     const std::uint8_t* __restrict above, int width, int spread,
                                     std::uint16_t* __restrict sums) {
    std::uint16_t* inner = sums + spread;
    for (int x = 0; x < width; ++x)
        inner[x] = static_cast<std::uint16_t>(below[x] + above[x]);
    std::fill(sums, inner, inner[0]);
    std::fill(inner + width, inner + width + spread, inner[width - 1]);
    const std::uint16_t* right = sums + 2 * spread;
    for (int x = 0; x < width; ++x)
        row[x] = static_cast<std::uint8_t>((sums[x] + right[x]) >> 2);
}

// One pass over the rows in order. `gate.Enter(y, spreadY)` runs before row y is touched and
// `gate.Leave(y)` after it is written: passes that run together wait there for one another.
template <typename Gate>
void SmoothPass(TFastDIB& raster, int spread, Gate& gate) {
    const int width = raster.Width();
    const int rows = raster.RowCount();
    // A corner beyond an edge is clamped onto it, so a spread that reaches across the raster acts
    // like one that just reaches the far edge; capping it keeps the indices and `sums` small.
    const int spreadX = std::min(spread, width - 1);
    const int spreadY = std::min(spread, rows - 1);

    if (rows == 1) {
        gate.Enter(0, spreadY);
        SmoothEdgeRow(raster.Row(0), raster.Row(0), width, spreadX);
        gate.Leave(0);
        return;
    }
    gate.Enter(0, spreadY);
    SmoothEdgeRow(raster.Row(0), raster.Row(spreadY), width, spreadX);
    gate.Leave(0);
    std::vector<std::uint16_t> sums(static_cast<std::size_t>(width + 2 * spreadX));
    for (int y = 1; y < rows - 1; ++y) {
        gate.Enter(y, spreadY);
        SmoothInnerRow(raster.Row(y), raster.Row(std::max(y - spreadY, 0)),
                       raster.Row(std::min(y + spreadY, rows - 1)), width, spreadX, sums.data());
        gate.Leave(y);
    }
    gate.Enter(rows - 1, spreadY);
    SmoothEdgeRow(raster.Row(rows - 1), raster.Row(rows - 1 - spreadY), width, spreadX);
    gate.Leave(rows - 1);
}

struct OpenGate {
    void Enter(int, int) {}
    void Leave(int) {}
};

// Passes with spreads first, first + 1, ..., last, several at once, one thread per pass in turn.
// A pass may touch row y once the pass before it has finished row y + spreadY: by then that pass
// has written the row below-right this pass reads and has read, for the last time, the row this
// pass writes (its readers of row y are the rows up to y + its own spread, which is smaller). So
// every row sees exactly the values it sees when the passes run one after another.
//
// Progress is counted per pass as pass * (rows + 1) + rows done, in a ring of counters reused
// every threads + 1 passes: a counter only grows, so a value left by an earlier pass never lets
// a later one through.
class PassPipeline {
public:
    PassPipeline(int rows, int threads)
        : rows_(rows), slots_(static_cast<std::size_t>(threads) + 1) {
        for (auto& slot : slots_)
            slot.store(-1);
    }

    class Gate {
    public:
        Gate(PassPipeline& pipeline, std::int64_t pass, bool first)
            : pipeline_(pipeline), pass_(pass), first_(first) {}
        void Enter(int y, int spreadY) {
            if (first_) return;
            const std::int64_t needed = (pass_ - 1) * (pipeline_.rows_ + 1) +
                                        std::min(y + spreadY, pipeline_.rows_ - 1) + 1;
            std::atomic<std::int64_t>& before = pipeline_.Slot(pass_ - 1);
            for (std::int64_t seen = before.load(); seen < needed; seen = before.load())
                before.wait(seen);
        }
        void Leave(int y) {
            std::atomic<std::int64_t>& mine = pipeline_.Slot(pass_);
            mine.store(pass_ * (pipeline_.rows_ + 1) + y + 1);
            mine.notify_all();
        }

    private:
        PassPipeline& pipeline_;
        std::int64_t pass_;
        bool first_;
    };

    std::atomic<std::int64_t>& Slot(std::int64_t pass) {
        return slots_[static_cast<std::size_t>(pass % static_cast<std::int64_t>(slots_.size()))];
    }

private:
    const int rows_;
    std::vector<std::atomic<std::int64_t>> slots_;
};

// Below this many pixels a pass takes about as long as handing rows between threads.
constexpr std::int64_t kPixelsForPipeline = 256 * 1024;

void RunPassesTogether(TFastDIB& raster, std::int64_t count, int threads) {
    PassPipeline pipeline(raster.RowCount(), threads);
    const auto runPasses = [&](int thread) {
        for (std::int64_t pass = thread; pass < count; pass += threads) {
            PassPipeline::Gate gate(pipeline, pass, pass == 0);
            SmoothPass(raster, static_cast<int>(pass + 1), gate);
        }
    };
    std::vector<std::jthread> helpers;
    for (int thread = 1; thread < threads; ++thread)
        helpers.emplace_back(runPasses, thread);
    runPasses(0);
}

}  // namespace

void SmoothGray(TFastDIB& raster, int spread) {
    if (spread < 1) {
        throw RasterError("SmoothGray",
                          "the spread must be at least 1, not " + std::to_string(spread));
    }
    if (raster.BitsPerPixel() != 8) {
        throw RasterError("SmoothGray", "needs an 8-bit raster, not " +
                                            std::to_string(raster.BitsPerPixel()) +
                                            " bits per pixel");
    }
    if (raster.IsEmpty()) return;
    OpenGate gate;
    SmoothPass(raster, spread, gate);
}

void RunSmoothPasses(TFastDIB& raster, int count) {
    if (count <= 0) return;
    if (raster.BitsPerPixel() != 8) {
        throw RasterError("RunSmoothPasses", "needs an 8-bit raster, not " +
                                                 std::to_string(raster.BitsPerPixel()) +
                                                 " bits per pixel");
    }
    const std::int64_t pixels = std::int64_t{raster.Width()} * raster.RowCount();
    const int threads = std::min(RasterThreads(), count);
    if (threads > 1 && pixels >= kPixelsForPipeline) {
        RunPassesTogether(raster, count, threads);
        return;
    }
    // Counted in 64 bits: count may be the largest int.
    for (std::int64_t spread = 1; spread <= count; ++spread)
        SmoothGray(raster, static_cast<int>(spread));
}

}  // namespace lisko
