#pragma once

#include <cstdint>
#include <functional>

namespace lisko {

// The row loops of the kernels run in bands of whole rows, one band per thread: every row is
// computed from the inputs alone, so the result is the same bytes whatever the number of bands.

// How many threads the row loops use: count, or one per core when count is 0. The default is the
// environment variable LISKO_THREADS when it holds a positive number, one per core otherwise.
void SetRasterThreads(int count);
int RasterThreads();

// While an object of this class lives, the row loops of the thread that made it run in one band
// on that thread: for threads that already share the cores with as many others, such as the
// workers of a batch import, where splitting the rows only adds threads that compete with them.
class OneBandOnThisThread {
public:
    OneBandOnThisThread();
    ~OneBandOnThisThread();
    OneBandOnThisThread(const OneBandOnThisThread&) = delete;
    OneBandOnThisThread& operator=(const OneBandOnThisThread&) = delete;

private:
    bool before_;
};

// Calls band(first, last) for consecutive ranges [first, last) covering 0..rows, on up to
// RasterThreads() threads, the calling one among them, and returns when all are done. Rasters
// below `pixelsPerBand` pixels per band are not split further: waking a thread costs more than
// such a band saves. The first exception a band throws is thrown again here. Several callers may
// use the bands at once; each of them works on its own bands, so none waits for a busy pool.
void ForEachRowBand(int rows, std::int64_t pixelsPerRow,
                    const std::function<void(int first, int last)>& band);

}  // namespace lisko
