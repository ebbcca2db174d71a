#include <gtest/gtest.h>

#include "identity/VersionInfo.h"
#include "testsupport/JpegTools.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

constexpr VersionTranslation kRussian{0x0419, 0x04E3};
constexpr VersionTranslation kEnglish{0x0409, 0x04B0};

// A file with the block somewhere inside other bytes, as in a program file.
fs::path WriteProgramFile(const test::TempDir& dir, const std::vector<std::uint8_t>& block,
                          std::size_t junkBefore = 1001) {
    std::vector<char> bytes(junkBefore, '\x5A');
    bytes.insert(bytes.end(), block.begin(), block.end());
    bytes.insert(bytes.end(), 333, '\x00');
    const fs::path file = dir / "program";
    test::WriteFileBytes(file, bytes);
    return file;
}

struct TranslationCase {
    const char* name;
    VersionBlockContent content;
    std::u16string expected;
};

class FileVersionRules : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(FileVersionRules, FirstTranslationWithAFileVersionWins) {
    const test::TempDir dir;
    const fs::path file = WriteProgramFile(dir, BuildVersionBlock(GetParam().content));
    EXPECT_EQ(GetFileVersionString(file), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileVersionRules,
    ::testing::Values(
        TranslationCase{"ProgramBlock", ProgramVersionBlock({2, 7, 0, 1}), u"2.7.0.1"},
        TranslationCase{"OnlySecondHasFileVersion",
                        {{1, 0, 0, 0},
                         {kEnglish, kRussian},
                         {{kEnglish, {{u"ProductName", u"x"}}},
                          {kRussian, {{u"CompanyName", u"Лиско"}, {u"FileVersion", u"3.1.4.1"}}}}},
                        u"3.1.4.1"},
        TranslationCase{"BothHaveItFirstWins",
                        {{1, 0, 0, 0},
                         {kRussian, kEnglish},
                         {{kEnglish, {{u"FileVersion", u"9.9.9.9"}}},
                          {kRussian, {{u"FileVersion", u"1.2.3.4"}}}}},
                        u"1.2.3.4"},
        TranslationCase{"EmptyTranslationTable",
                        {{1, 0, 0, 0}, {}, {{kRussian, {{u"FileVersion", u"1.2.3.4"}}}}},
                        u"0.0.0.0"},
        TranslationCase{"NoTableForTheTranslation",
                        {{1, 0, 0, 0}, {kEnglish}, {{kRussian, {{u"FileVersion", u"1.2.3.4"}}}}},
                        u"0.0.0.0"},
        TranslationCase{"NoFileVersionAnywhere",
                        {{1, 0, 0, 0}, {kRussian}, {{kRussian, {{u"ProductName", u"x"}}}}},
                        u"0.0.0.0"},
        TranslationCase{"KeysMatchWithoutRegardToCase",
                        {{1, 0, 0, 0}, {kRussian}, {{kRussian, {{u"fileversion", u"5.0"}}}}},
                        u"5.0"}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(GetFileVersionString, WithoutABlockOrFileItIsZeros) {
    const test::TempDir dir;
    EXPECT_EQ(GetFileVersionString(WriteProgramFile(dir, {})), u"0.0.0.0");
    EXPECT_EQ(GetFileVersionString(dir / "absent"), u"0.0.0.0");
    EXPECT_EQ(GetFileVersionString(""), u"0.0.0.0");
    EXPECT_EQ(GetFileVersionString(dir.Path()), u"0.0.0.0");
}

TEST(GetFileVersionString, DamagedBlocksAreNotRead) {
    const test::TempDir dir;
    std::vector<std::uint8_t> block = BuildVersionBlock(ProgramVersionBlock({2, 7, 0, 1}));
    // A length beyond the end of the file.
    std::vector<std::uint8_t> tooLong = block;
    // Checked access: GCC 12 at -O3 cannot see that the block is never empty.
    tooLong.at(0) = 0xFF;
    tooLong.at(1) = 0xFF;
    std::vector<char> bytes(tooLong.begin(), tooLong.end() - 4);
    bytes.insert(bytes.begin(), 6, '\0');
    test::WriteFileBytes(dir / "cut", bytes);
    EXPECT_EQ(GetFileVersionString(dir / "cut"), u"0.0.0.0");
    // A wrong signature in the fixed part.
    block[40] ^= 0xFF;
    EXPECT_EQ(GetFileVersionString(WriteProgramFile(dir, block)), u"0.0.0.0");
}

TEST(GetFileVersionString, FindsTheBlockAtAnyOffset) {
    const std::vector<std::uint8_t> block = BuildVersionBlock(ProgramVersionBlock({2, 7, 0, 1}));
    for (std::size_t junk : {0, 1, 2, 3, 6, 4097}) {
        const test::TempDir dir;
        EXPECT_EQ(GetFileVersionString(WriteProgramFile(dir, block, junk)), u"2.7.0.1") << junk;
    }
}

TEST(GetFileVersionString, ReadsTheBlockEmbeddedInThisExecutable) {
    const std::string version = LISKO_VERSION;
    EXPECT_EQ(GetFileVersionString("/proc/self/exe"),
              std::u16string(version.begin(), version.end()));
}

}  // namespace
}  // namespace lisko
