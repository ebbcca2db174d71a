#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "raster/Tone.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

using test::PixelAt;

std::string AmountName(int amount) {
    return (amount < 0 ? "Minus" : "") + std::to_string(amount < 0 ? -amount : amount);
}

// Pixel i is the grey (i, i, i): after an operation, pixel i shows table entry i of each channel.
TFastDIB AllValues24() {
    return test::Raster24(256, 1, [](int x, int) {
        const auto v = static_cast<std::uint8_t>(x);
        return BgrColor{v, v, v};
    });
}

// The same for a palette: entry i is the grey i, the pixels are indices 0..255.
TFastDIB AllValues8() {
    std::vector<std::uint8_t> indices(256);
    for (std::size_t i = 0; i < 256; ++i)
        indices[i] = static_cast<std::uint8_t>(i);
    TFastDIB raster = test::Raster8(256, 1, indices);
    for (std::size_t i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        raster.Palette()[i] = {v, v, v, 0};
    }
    return raster;
}

// The table an operation with one amount for all channels applies, read back from the pixels.
using Adjustment = void (*)(TFastDIB&, int, int, int);

std::vector<int> TableOf(Adjustment adjust, int amount) {
    TFastDIB raster = AllValues24();
    adjust(raster, amount, amount, amount);
    std::vector<int> table;
    for (int i = 0; i < 256; ++i) {
        const BgrColor c = PixelAt(raster, i, 0);
        EXPECT_TRUE(c.Blue == c.Red && c.Green == c.Red) << "channels differ at " << i;
        table.push_back(c.Red);
    }
    return table;
}

// ---------------------------------------------------------------------------------------------
// Brightness and contrast tables

enum class Operation { Brightness, Contrast };

Adjustment FunctionOf(Operation operation) {
    return operation == Operation::Brightness ? &AdjustBrightness : &AdjustContrast;
}

// Entries first..last of the table for the amount all become `value`.
struct TableCase {
    Operation operation;
    int amount;
    int first;
    int last;
    int value;
};

class AdjustmentTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(AdjustmentTable, HasTheWorkedEntries) {
    const TableCase& c = GetParam();
    const std::vector<int> table = TableOf(FunctionOf(c.operation), c.amount);
    for (int i = c.first; i <= c.last; ++i)
        EXPECT_EQ(table[static_cast<std::size_t>(i)], c.value) << "entry " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdjustmentTable,
    ::testing::Values(
        // Brightness up lifts black to the amount and keeps white.
        TableCase{Operation::Brightness, 10, 0, 1, 10},
        TableCase{Operation::Brightness, 10, 2, 2, 11},
        TableCase{Operation::Brightness, 10, 3, 3, 12},
        TableCase{Operation::Brightness, 10, 255, 255, 255},
        TableCase{Operation::Brightness, 200, 0, 0, 200},
        TableCase{Operation::Brightness, 200, 128, 128, 228},
        TableCase{Operation::Brightness, 200, 255, 255, 255},
        // Brightness down keeps black and brings white down by the amount.
        TableCase{Operation::Brightness, -10, 0, 1, 0},
        TableCase{Operation::Brightness, -10, 2, 2, 1},
        TableCase{Operation::Brightness, -10, 255, 255, 245},
        TableCase{Operation::Brightness, -200, 0, 0, 0},
        TableCase{Operation::Brightness, -200, 255, 255, 55},
        // Contrast up clips both ends and stretches the middle.
        TableCase{Operation::Contrast, 100, 0, 99, 0},
        TableCase{Operation::Contrast, 100, 126, 126, 121},
        TableCase{Operation::Contrast, 100, 129, 129, 134},
        TableCase{Operation::Contrast, 100, 156, 255, 255},
        // From 128 on it is a threshold at 256 - amount.
        TableCase{Operation::Contrast, 130, 0, 125, 0},
        TableCase{Operation::Contrast, 130, 126, 255, 255},
        TableCase{Operation::Contrast, 255, 0, 0, 0},
        TableCase{Operation::Contrast, 255, 1, 255, 255},
        // Contrast down squeezes 0..255 into -amount..255 + amount; past -128 it inverts.
        TableCase{Operation::Contrast, -100, 0, 0, 100},
        TableCase{Operation::Contrast, -100, 255, 255, 155},
        TableCase{Operation::Contrast, -128, 0, 255, 128},
        TableCase{Operation::Contrast, -200, 0, 0, 200},
        TableCase{Operation::Contrast, -200, 255, 255, 56}),
    [](const auto& instance) {
        const TableCase& c = instance.param;
        return std::string(c.operation == Operation::Brightness ? "Brightness" : "Contrast") +
               AmountName(c.amount) + "Entries" + std::to_string(c.first) + "To" +
               std::to_string(c.last);
    });

class AdjustmentShape : public ::testing::TestWithParam<Operation> {};

TEST_P(AdjustmentShape, ZeroLeavesEveryValue) {
    const std::vector<int> table = TableOf(FunctionOf(GetParam()), 0);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(table[static_cast<std::size_t>(i)], i);
}

TEST_P(AdjustmentShape, AmountsBeyond255AreHeldThere) {
    const Adjustment adjust = FunctionOf(GetParam());
    EXPECT_EQ(TableOf(adjust, 1000), TableOf(adjust, 255));
    EXPECT_EQ(TableOf(adjust, -1000), TableOf(adjust, -255));
    EXPECT_EQ(TableOf(adjust, INT_MIN), TableOf(adjust, -255));
}

TEST_P(AdjustmentShape, EveryProgramStepGivesAMonotoneTableWithinBytes) {
    // The editor's steps are the multiples of 10 from -200 to 200. Brightness and contrast down
    // to -128 keep the order of the tones; further down contrast reverses it.
    const Operation operation = GetParam();
    for (int amount = -200; amount <= 200; amount += 10) {
        const std::vector<int> table = TableOf(FunctionOf(operation), amount);
        const bool falling = operation == Operation::Contrast && amount < -128;
        for (std::size_t i = 1; i < 256; ++i) {
            if (falling) {
                ASSERT_LE(table[i], table[i - 1]) << "amount " << amount << " entry " << i;
            } else {
                ASSERT_GE(table[i], table[i - 1]) << "amount " << amount << " entry " << i;
            }
        }
    }
}

TEST_P(AdjustmentShape, EightBitsMapThePaletteOnly) {
    const Adjustment adjust = FunctionOf(GetParam());
    TFastDIB raster = AllValues8();
    raster.Palette()[7].Reserved = 99;
    adjust(raster, 60, 60, 60);
    const std::vector<int> table = TableOf(adjust, 60);
    for (std::size_t i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(table[i]);
        EXPECT_EQ(raster.Palette()[i],
                  (PaletteEntry{v, v, v, i == 7 ? std::uint8_t{99} : std::uint8_t{0}}))
            << "entry " << i;
        EXPECT_EQ(raster.Row(0)[i], i) << "index changed";
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, AdjustmentShape,
                         ::testing::Values(Operation::Brightness, Operation::Contrast),
                         [](const auto& instance) {
                             return instance.param == Operation::Brightness ? "Brightness"
                                                                            : "Contrast";
                         });

struct ChannelCase {
    Operation operation;
    BgrColor expected;  // of the grey (140, 140, 140) for red 100, green 0, blue -100
};

class AdjustmentChannels : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(AdjustmentChannels, RedActsOnTheThirdByteAndBlueOnTheFirst) {
    const ChannelCase& c = GetParam();
    TFastDIB raster = test::Uniform24(2, 2, {140, 140, 140});
    FunctionOf(c.operation)(raster, 100, 0, -100);
    EXPECT_EQ(PixelAt(raster, 1, 1), c.expected);
}

// Brightness 100 takes 140 to 185 and -100 to 85; contrast 100 takes it to 186 and -100 to 130.
INSTANTIATE_TEST_SUITE_P(Operations, AdjustmentChannels,
                         ::testing::Values(ChannelCase{Operation::Brightness, {85, 140, 185}},
                                           ChannelCase{Operation::Contrast, {130, 140, 186}}),
                         [](const auto& instance) {
                             return instance.param.operation == Operation::Brightness ? "Brightness"
                                                                                      : "Contrast";
                         });

// ---------------------------------------------------------------------------------------------
// ToneRamp and ApplyChannelTables

TEST(ToneRamp, WritesOnlyTheEntriesOfItsRange) {
    ChannelTable table;
    table.fill(77);
    ToneRamp(table, 10, 0, 20, 100);
    EXPECT_EQ(table[9], 77);
    EXPECT_EQ(table[10], 0);
    EXPECT_EQ(table[20], 100);
    EXPECT_EQ(table[21], 77);
}

TEST(ToneRamp, AnExactStepOvershootsByOneAtTheLastEntry) {
    // (100 - 0 + 1) * 65536 / 1 is exact: the last entry is 101, not 100.
    ChannelTable table{};
    ToneRamp(table, 0, 0, 1, 100);
    EXPECT_EQ(table[1], 101);
    // With 255 as the end value the overshoot is held at 255.
    ToneRamp(table, 0, 0, 128, 255);
    EXPECT_EQ(table[64], 128);
    EXPECT_EQ(table[127], 254);
    EXPECT_EQ(table[128], 255);
}

TEST(ToneRamp, AFallingRampEndsAtTheEndValuePlusOne) {
    // The step truncates towards zero, so the ramp falls a little short and never below 0.
    ChannelTable table{};
    ToneRamp(table, 0, 255, 255, 0);
    EXPECT_EQ(table[0], 255);
    EXPECT_EQ(table[255], 1);
}

TEST(ToneRamp, WritesNothingWithoutARange) {
    ChannelTable table;
    table.fill(77);
    ToneRamp(table, 5, 0, 5, 255);
    ToneRamp(table, 6, 0, 5, 255);
    ChannelTable untouched;
    untouched.fill(77);
    EXPECT_EQ(table, untouched);
}

struct RampArguments {
    int s, from, e, to;
};

class ToneRampRefuses : public ::testing::TestWithParam<RampArguments> {};

TEST_P(ToneRampRefuses, ValuesOutsideAByte) {
    const RampArguments& a = GetParam();
    ChannelTable table{};
    try {
        ToneRamp(table, a.s, a.from, a.e, a.to);
        FAIL() << "accepted";
    } catch (const RasterError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("ToneRamp: ", 0), 0u) << e.what();
    }
    EXPECT_EQ(table, ChannelTable{});
}

INSTANTIATE_TEST_SUITE_P(Cases, ToneRampRefuses,
                         ::testing::Values(RampArguments{-1, 0, 255, 255},
                                           RampArguments{0, 256, 255, 255},
                                           RampArguments{0, 0, 256, 255},
                                           RampArguments{0, 0, 255, -1},
                                           RampArguments{300, 0, 10, 255}));

TEST(ApplyChannelTables, TakesTheTablesInTheOrderRedGreenBlue) {
    ChannelTable red, green, blue;
    red.fill(1);
    green.fill(2);
    blue.fill(3);

    TFastDIB colour = test::Noise24(3, 2, 1);
    ApplyChannelTables(colour, red, green, blue);
    EXPECT_TRUE(test::SamePixels(colour, test::Uniform24(3, 2, {3, 2, 1})));

    TFastDIB indexed = test::Raster8(2, 1, {5, 9});
    indexed.Palette()[5].Reserved = 44;
    ApplyChannelTables(indexed, red, green, blue);
    EXPECT_EQ(indexed.Palette()[5], (PaletteEntry{3, 2, 1, 44}));
    EXPECT_EQ(indexed.Palette()[255], (PaletteEntry{3, 2, 1, 0}));
    EXPECT_EQ(test::Values8(indexed), (std::vector<std::uint8_t>{5, 9}));
}

TEST(ApplyChannelTables, LeavesTheRowPadding) {
    // Width 3 at 24 bits: 9 bytes of pixels and 3 of padding per row.
    TFastDIB raster = test::Uniform24(3, 2, {0, 0, 0});
    for (int y = 0; y < 2; ++y)
        std::fill(raster.Row(y) + 9, raster.Row(y) + 12, std::uint8_t{0});
    ChannelTable all;
    all.fill(200);
    ApplyChannelTables(raster, all, all, all);
    for (int y = 0; y < 2; ++y) {
        for (int p = 9; p < 12; ++p)
            EXPECT_EQ(raster.Row(y)[p], 0) << "padding written";
    }
}

// ---------------------------------------------------------------------------------------------
// AutoLevels

// A 24-bit raster whose pixels take the listed values channel by channel; a shorter list repeats
// its last value.
TFastDIB ChannelValues(const std::vector<int>& blue, const std::vector<int>& green,
                       const std::vector<int>& red) {
    const std::size_t width = std::max({blue.size(), green.size(), red.size()});
    const auto at = [](const std::vector<int>& values, int x) {
        return static_cast<std::uint8_t>(
            values[std::min(static_cast<std::size_t>(x), values.size() - 1)]);
    };
    return test::Raster24(static_cast<int>(width), 1, [&](int x, int) {
        return BgrColor{at(blue, x), at(green, x), at(red, x)};
    });
}

// The channel that each byte of a 24-bit pixel holds.
std::string ByteName(int byte) {
    return byte == 0 ? "Blue" : byte == 1 ? "Green" : "Red";
}

struct LevelsCase {
    std::string name;
    std::vector<int> before;
    std::vector<int> after;
    friend void PrintTo(const LevelsCase& c, std::ostream* os) { *os << c.name; }
};

class AutoLevelsChannel
    : public ::testing::TestWithParam<std::tuple<LevelsCase, int /*byte of the pixel*/>> {};

TEST_P(AutoLevelsChannel, StretchesTheUsedRangeAndLeavesTheFullOnes) {
    // The channel under test takes the listed values; the other two span 0..255 already and
    // must come out unchanged.
    const auto& [c, channel] = GetParam();
    const std::vector<int> full{0, 255, 100, 7};
    std::vector<int> channels[3] = {full, full, full};
    channels[channel] = c.before;
    TFastDIB raster = ChannelValues(channels[0], channels[1], channels[2]);
    AutoLevels(raster);
    for (int x = 0; x < raster.Width(); ++x) {
        const std::uint8_t* p = raster.Row(0) + 3 * x;
        for (int k = 0; k < 3; ++k) {
            const std::vector<int>& expected = k == channel ? c.after : full;
            EXPECT_EQ(p[k], expected[std::min(static_cast<std::size_t>(x), expected.size() - 1)])
                << "pixel " << x << " byte " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutoLevelsChannel,
    ::testing::Combine(
        ::testing::Values(
            // Step 72628 over 231 entries: 100 lands at 88 * 72628 div 65536 = 97.
            LevelsCase{"From12To243", {12, 243, 100, 12}, {0, 255, 97, 0}},
            // A power-of-two span: the step is exactly 2, and 128 overshoots to 256, held at 255.
            LevelsCase{"From0To128", {0, 1, 64, 127, 128}, {0, 2, 128, 254, 255}},
            LevelsCase{"Neighbours", {100, 101}, {0, 255}},
            // A single value has no range to stretch and stays.
            LevelsCase{"SingleValue", {77}, {77}}, LevelsCase{"AllWhite", {255}, {255}}),
        ::testing::Values(0, 1, 2)),
    [](const auto& instance) {
        return std::get<0>(instance.param).name + ByteName(std::get<1>(instance.param));
    });

TEST(AutoLevels, AFullRangeInEveryChannelLeavesThePictureAlone) {
    TFastDIB raster = test::Noise24(40, 30, 3);
    test::SetPixel(raster, 0, 0, BgrBlack);
    test::SetPixel(raster, 39, 29, BgrWhite);
    const TFastDIB before = [&] {
        TFastDIB copy = TFastDIB::CreateBlank(40, 30, 24);
        raster.ConvertInto(copy);
        return copy;
    }();
    AutoLevels(raster);
    EXPECT_TRUE(test::SamePixels(raster, before));
}

TEST(AutoLevels, ReadsEveryRowAndOnlyTheVisiblePixels) {
    // The darkest pixel sits in the top row, the brightest at the right end of the bottom row;
    // the padding bytes (0) after a 3-pixel row must not count as a darkest value.
    TFastDIB raster = test::Uniform24(3, 3, {100, 100, 100});
    test::SetPixel(raster, 1, 2, {50, 50, 50});
    test::SetPixel(raster, 2, 0, {150, 150, 150});
    AutoLevels(raster);
    EXPECT_EQ(PixelAt(raster, 1, 2), BgrBlack);
    EXPECT_EQ(PixelAt(raster, 2, 0), BgrWhite);
    EXPECT_EQ(PixelAt(raster, 0, 1).Red, 127);
}

TEST(AutoLevels, EightBitsStretchTheWholePaletteUsedOrNot) {
    // The unused entries are black, so red's range is 0..200 although the pixels only show
    // 100..200; green and blue are 0 throughout and stay.
    TFastDIB raster = test::Raster8(2, 1, {5, 9});
    raster.Palette()[5] = {0, 0, 100, 3};
    raster.Palette()[9] = {0, 0, 200, 0};
    AutoLevels(raster);
    // Step (256 * 65536) div 200 = 83886: 100 becomes 100 * 83886 div 65536 = 127.
    EXPECT_EQ(raster.Palette()[5], (PaletteEntry{0, 0, 127, 3}));
    EXPECT_EQ(raster.Palette()[9], (PaletteEntry{0, 0, 255, 0}));
    EXPECT_EQ(raster.Palette()[0], (PaletteEntry{}));
    EXPECT_EQ(test::Values8(raster), (std::vector<std::uint8_t>{5, 9}));
}

TEST(AutoLevels, AnEmptyRasterIsLeftAlone) {
    TFastDIB raster = TFastDIB::CreateBlank(0, 3, 24);
    AutoLevels(raster);
    EXPECT_TRUE(raster.IsEmpty());
}

}  // namespace
}  // namespace lisko
