// The one way a file is written whole, its faults made for real: a missing folder, and a file
// size limit standing in for a disk that fills up halfway.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "photo/SaveFile.h"
#include "testsupport/JpegTools.h"
#include "testsupport/Tmpfs.h"

namespace lisko {
namespace {

const std::vector<char> kOld{'o', 'l', 'd'};

class WholeFileTest : public ::testing::Test {
protected:
    QString Path(const std::string& name) const {
        return QString::fromStdString((dir_ / name).string());
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir_;
};

TEST_F(WholeFileTest, TakesTheNameOnlyWhenCommitted) {
    test::WriteFileBytes(dir_ / "out.bin", kOld);
    {
        WholeFile dropped(Path("out.bin"));
        dropped.Write("never");
    }
    EXPECT_EQ(test::ReadFileBytes(dir_ / "out.bin"), kOld);
    EXPECT_EQ(Files(), std::vector<std::string>{"out.bin"});

    WholeFile file(Path("out.bin"));
    file.Write("new ");
    file.Write("bytes");
    EXPECT_EQ(test::ReadFileBytes(dir_ / "out.bin"), kOld);
    file.Commit();
    EXPECT_EQ(test::ReadFileBytes(dir_ / "out.bin"),
              (std::vector<char>{'n', 'e', 'w', ' ', 'b', 'y', 't', 'e', 's'}));
    EXPECT_EQ(Files(), std::vector<std::string>{"out.bin"});
}

TEST_F(WholeFileTest, ErrorNamesTheFileAndTheReason) {
    const QString path = Path("gone/out.bin");
    try {
        WriteWholeFile(path, "bytes");
        FAIL() << "written";
    } catch (const WriteError& e) {
        EXPECT_EQ(e.FileName(), path);
        EXPECT_FALSE(e.Reason().isEmpty());
        EXPECT_EQ(std::string(e.what()),
                  QStringLiteral("cannot write %1: %2").arg(path, e.Reason()).toStdString());
    }
    EXPECT_TRUE(Files().empty());
}

// Buffered, the write would seem to succeed and commit would put the cut-short file in place.
TEST_F(WholeFileTest, WriteThatFailsHalfwayLeavesTheEarlierFile) {
    test::WriteFileBytes(dir_ / "out.bin", kOld);
    std::optional<WriteError> error;
    {
        const test::FileSizeLimit limit(64);
        ASSERT_TRUE(limit.Set());
        try {
            WriteWholeFile(Path("out.bin"), QByteArray(1000, 'n'));
        } catch (const WriteError& e) {
            error = e;
        }
    }
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Reason(), QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(test::ReadFileBytes(dir_ / "out.bin"), kOld);
    EXPECT_EQ(Files(), std::vector<std::string>{"out.bin"});
}

}  // namespace
}  // namespace lisko
