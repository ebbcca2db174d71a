#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "raster/Resample.h"
#include "raster/RowBands.h"
#include "raster/Tone.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

// ---------------------------------------------------------------------------------------------
// How the rows are split

struct Split {
    int rows;
    std::int64_t pixelsPerRow;
    int threads;
    int bands;  // expected
};

class RowBandSplit : public ::testing::TestWithParam<Split> {};

TEST_P(RowBandSplit, CoversEveryRowOnceInContiguousBands) {
    const Split s = GetParam();
    const test::RasterThreadsScope threads(s.threads);
    std::vector<int> visits(static_cast<std::size_t>(s.rows));
    std::vector<std::pair<int, int>> bands;
    std::mutex m;
    ForEachRowBand(s.rows, s.pixelsPerRow, [&](int first, int last) {
        const std::lock_guard lock(m);
        bands.emplace_back(first, last);
        for (int y = first; y < last; ++y)
            ++visits[static_cast<std::size_t>(y)];
    });
    EXPECT_EQ(static_cast<int>(bands.size()), s.bands);
    for (const auto& [first, last] : bands)
        EXPECT_LT(first, last);
    EXPECT_EQ(visits, std::vector<int>(static_cast<std::size_t>(s.rows), 1));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RowBandSplit,
    ::testing::Values(Split{1125, 1500, 1, 1},  // one thread: the plain loop
                      Split{1125, 1500, 2, 2}, Split{1125, 1500, 3, 3}, Split{1125, 1500, 8, 8},
                      Split{5, 1'000'000, 8, 5},  // never more bands than rows
                      Split{200, 200, 8, 1},      // a thumbnail is not worth a second thread
                      Split{200, 700, 8, 2},      // 140 000 pixels: two bands' worth
                      Split{0, 1500, 4, 0}),
    [](const auto& testCase) {
        const Split& s = testCase.param;
        return std::to_string(s.rows) + "Rows" + std::to_string(s.pixelsPerRow) + "Wide" +
               std::to_string(s.threads) + "Threads";
    });

TEST(RowBands, ThrowsWhatABandThrowsAfterTheOthersEnd) {
    const test::RasterThreadsScope threads(4);
    std::atomic<int> finished{0};
    EXPECT_THROW(ForEachRowBand(1000, 1000,
                                [&](int first, int) {
                                    if (first == 0) throw std::runtime_error("band failed");
                                    ++finished;
                                }),
                 std::runtime_error);
    EXPECT_EQ(finished, 3);
}

// The bands one ForEachRowBand call makes, and whether all of them ran on the calling thread.
struct BandsSeen {
    int count = 0;
    bool allOnCaller = true;
};

BandsSeen BandsOfOneCall() {
    BandsSeen seen;
    std::mutex m;
    const std::thread::id caller = std::this_thread::get_id();
    ForEachRowBand(1125, 1500, [&](int, int) {
        const std::lock_guard lock(m);
        ++seen.count;
        seen.allOnCaller = seen.allOnCaller && std::this_thread::get_id() == caller;
    });
    return seen;
}

// A batch worker keeps its rows to itself while its scope lasts, nested or not; other threads
// and the same thread afterwards split as before.
TEST(RowBands, OneBandOnThisThreadKeepsTheRowsOnTheCaller) {
    const test::RasterThreadsScope threads(4);
    {
        const OneBandOnThisThread outer;
        { const OneBandOnThisThread inner; }
        const BandsSeen seen = BandsOfOneCall();
        EXPECT_EQ(seen.count, 1);
        EXPECT_TRUE(seen.allOnCaller);
        BandsSeen elsewhere;
        std::thread([&elsewhere] { elsewhere = BandsOfOneCall(); }).join();
        EXPECT_EQ(elsewhere.count, 4);
    }
    EXPECT_EQ(BandsOfOneCall().count, 4);
}

// Photos imported on several threads each split their own rows; no caller waits for another's.
TEST(RowBands, ServesSeveralCallersAtOnce) {
    const test::RasterThreadsScope threads(3);
    std::vector<std::int64_t> sums(6);
    {
        std::vector<std::jthread> callers;
        for (std::size_t c = 0; c < sums.size(); ++c) {
            callers.emplace_back([&sums, c] {
                for (int round = 0; round < 50; ++round) {
                    std::atomic<std::int64_t> sum{0};
                    ForEachRowBand(3000, 1000, [&](int first, int last) {
                        for (int y = first; y < last; ++y)
                            sum += y;
                    });
                    sums[c] += sum;
                }
            });
        }
    }
    for (const std::int64_t sum : sums)
        EXPECT_EQ(sum, std::int64_t{50} * 2999 * 3000 / 2);
}

// ---------------------------------------------------------------------------------------------
// The kernels give the same bytes on one thread and on several

using Kernel = std::function<TFastDIB(const TFastDIB&)>;

struct KernelCase {
    std::string name;
    Kernel run;
};

TFastDIB Blank(int width, int height, const TFastDIB& like) {
    TFastDIB dest = TFastDIB::CreateBlank(width, height, like.BitsPerPixel());
    dest.Clear(BgrWhite);
    return dest;
}

std::vector<KernelCase> Kernels() {
    return {
        {"ResizeSmoothDown",
         [](const TFastDIB& s) {
             TFastDIB d = Blank(s.Width() * 2 / 3, s.Height() * 3 / 5, s);
             ResizeSmooth(s, d);
             return d;
         }},
        {"ResizeSmoothUp",
         [](const TFastDIB& s) {
             TFastDIB d = Blank(s.Width() + 37, s.Height() * 2 + 1, s);
             ResizeSmooth(s, d);
             return d;
         }},
        {"ResizeFast",
         [](const TFastDIB& s) {
             TFastDIB d = Blank(s.Width() / 2 + 3, s.Height() - 11, s);
             ResizeFast(s, d);
             return d;
         }},
        {"RotateQuarter",
         [](const TFastDIB& s) {
             TFastDIB d = Blank(s.Height(), s.Width(), s);
             RotateInto(s, d, 65536, 90.0);
             return d;
         }},
        {"RotateSlantAndScale",
         [](const TFastDIB& s) {
             TFastDIB d = Blank(s.Width(), s.Height(), s);
             RotateInto(s, d, 80000, -17.5);
             return d;
         }},
        {"ToneTables",
         [](const TFastDIB& s) {
             TFastDIB d = Blank(s.Width(), s.Height(), s);
             s.ConvertInto(d);
             AdjustBrightness(d, 30, -40, 120);
             AdjustContrast(d, -60, 90, 10);
             return d;
         }},
        {"AutoLevels",
         [](const TFastDIB& s) {
             TFastDIB d = Blank(s.Width(), s.Height(), s);
             s.ConvertInto(d);
             AutoLevels(d);
             return d;
         }},
        {"ToGray8",
         [](const TFastDIB& s) {
             TFastDIB d;
             s.ToGray8(d);
             return d;
         }},
    };
}

// A picture whose narrow ranges leave AutoLevels something to stretch, at both depths.
TFastDIB Source(int bits) {
    if (bits == 8) {
        TFastDIB noise = test::Noise8(641, 479, 7);
        noise.FillGrayPalette(0, 255, std::array{BgrColor{20, 30, 40}, BgrColor{200, 190, 180}});
        return noise;
    }
    return test::Raster24(641, 479, [](int x, int row) {
        return BgrColor{static_cast<std::uint8_t>(40 + (x * 7 + row) % 150),
                        static_cast<std::uint8_t>(10 + (x + row * 3) % 200),
                        static_cast<std::uint8_t>(90 + (x ^ row) % 100)};
    });
}

class KernelThreads : public ::testing::TestWithParam<std::tuple<std::size_t, int, int>> {};

TEST_P(KernelThreads, GiveTheOneThreadBytes) {
    const auto [kernel, bits, threads] = GetParam();
    const KernelCase k = Kernels()[kernel];
    const TFastDIB source = Source(bits);
    TFastDIB single;
    {
        const test::RasterThreadsScope one(1);
        single = k.run(source);
    }
    const test::RasterThreadsScope many(threads);
    const TFastDIB split = k.run(source);
    EXPECT_TRUE(test::SamePixels(split, single));
    if (bits == 8) {
        EXPECT_EQ(split.Palette(), single.Palette());
    }
}

std::string KernelCaseName(const ::testing::TestParamInfo<KernelThreads::ParamType>& testCase) {
    const std::size_t kernel = std::get<0>(testCase.param);
    return Kernels()[kernel].name + std::to_string(std::get<1>(testCase.param)) + "Bits" +
           std::to_string(std::get<2>(testCase.param)) + "Threads";
}

INSTANTIATE_TEST_SUITE_P(Kernels, KernelThreads,
                         ::testing::Combine(::testing::Range<std::size_t>(0, Kernels().size()),
                                            ::testing::Values(8, 24), ::testing::Values(2, 3, 7)),
                         KernelCaseName);

}  // namespace
}  // namespace lisko
