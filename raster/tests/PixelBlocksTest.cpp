#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

#include "raster/FastDIB.h"
#include "raster/PixelBlocks.h"

namespace lisko {
namespace {

bool AllZero(const std::uint8_t* bytes, std::size_t size) {
    return std::all_of(bytes, bytes + size, [](std::uint8_t b) { return b == 0; });
}

// Memory a raster gave up is kept for the next one, which must still start out black: kernels and
// the row padding rely on fresh rasters being zeroed. Sizes: the same, a little smaller (the
// same block serves), and a size no kept block suits.
class KeptBlocks : public ::testing::TestWithParam<std::size_t> {};

TEST_P(KeptBlocks, ComeBackZeroed) {
    constexpr std::size_t kFirst = std::size_t{3} << 20;
    std::uint8_t* first = AllocatePixels(kFirst);
    ASSERT_NE(first, nullptr);
    std::fill_n(first, kFirst, std::uint8_t{0xA7});
    ReleasePixels(first);

    const std::size_t size = GetParam();
    std::uint8_t* again = AllocatePixels(size);
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(AllZero(again, size));
    ReleasePixels(again);
}

INSTANTIATE_TEST_SUITE_P(Sizes, KeptBlocks,
                         ::testing::Values(std::size_t{3} << 20, (std::size_t{3} << 20) - 4099,
                                           std::size_t{5} << 20, std::size_t{1} << 20));

TEST(KeptBlocks, ARasterOnTheMemoryOfAnEarlierOneIsBlack) {
    {
        TFastDIB used = TFastDIB::CreateBlank(1001, 1000, 24);
        used.Clear(BgrWhite);
    }
    const TFastDIB fresh = TFastDIB::CreateBlank(1001, 1000, 24);
    for (int y = 0; y < fresh.RowCount(); ++y)
        ASSERT_TRUE(AllZero(fresh.Row(y), static_cast<std::size_t>(fresh.RowBytes()))) << y;
}

// Workers of an import batch make and drop rasters at the same time; no block may be handed to two
// of them (each checks its own pattern survives), and every block starts zeroed.
TEST(KeptBlocks, ThreadsNeverShareABlock) {
    std::vector<std::jthread> workers;
    std::vector<int> faults(4, 0);
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([w, &faults] {
            for (int round = 0; round < 40; ++round) {
                const std::size_t size = (std::size_t{1} << 20) + std::size_t(w) * 70001;
                std::uint8_t* block = AllocatePixels(size);
                if (!block || !AllZero(block, size)) {
                    ++faults[static_cast<std::size_t>(w)];
                    continue;
                }
                std::fill_n(block, size, static_cast<std::uint8_t>(w + 1));
                std::this_thread::yield();
                if (std::count(block, block + size, static_cast<std::uint8_t>(w + 1)) !=
                    static_cast<std::ptrdiff_t>(size)) {
                    ++faults[static_cast<std::size_t>(w)];
                }
                ReleasePixels(block);
            }
        });
    }
    workers.clear();
    EXPECT_EQ(faults, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace lisko
