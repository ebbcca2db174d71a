// The scratch directory failing under the photos for real: a full or read-only file system
// (a small tmpfs where the tests may mount one), and two programs importing into one directory
// at once.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <string>

#include "photo/Lisko.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"
#include "testsupport/Tmpfs.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

QByteArray Bytes(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A photo source of its own, outside any scratch directory.
class Sources {
public:
    QString Write(const std::string& name, int width, int height, std::uint32_t seed) {
        const std::vector<std::uint8_t> jpeg =
            EncodeJpeg(test::PageLike24(width, height, seed), 90);
        test::WriteFileBytes(dir_ / name, std::vector<char>(jpeg.begin(), jpeg.end()));
        return Q(dir_ / name);
    }

private:
    test::TempDir dir_;
};

// A scratch directory on a tmpfs of its own, small enough to fill.
class SmallFileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        if (!tmpfs_.Mounted()) {
            GTEST_SKIP() << "cannot mount a tmpfs here (" << tmpfs_.Error()
                         << "); the full and read-only scratch directory need one";
        }
    }

    QString Scratch() const { return Q(scratch_); }
    QStringList ScratchFiles() const {
        return QDir(Scratch()).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    }

    // Fills the file system to its last few bytes.
    void Fill() {
        QFile filler(QDir(Scratch()).filePath("filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }

    void MakeReadOnly() { ASSERT_TRUE(tmpfs_.MakeReadOnly()) << std::strerror(errno); }

    Sources sources_;

private:
    test::TempDir outer_;
    const fs::path scratch_ = outer_ / "TempDir";
    const test::Tmpfs tmpfs_{scratch_};  // unmounted before outer_ goes
};

// What a failed import must leave: an error naming the working copy and the reason, no new file,
// and the photo imported before still whole and rendering as before.
void ExpectFailedImportLeavesTheOtherPhoto(const QString& source, const QString& scratch,
                                           TLisko& earlier, const QStringList& filesBefore,
                                           const char* reason) {
    const QByteArray earlierBytes = Bytes(earlier.WorkFile);
    const QImage earlierRendering = earlier.Render(true);
    try {
        TLisko photo(source, scratch);
        FAIL() << "imported into a scratch directory that cannot take it";
    } catch (const std::runtime_error& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("working copy \"" + (scratch + "/1.jpg").toStdString() + "\""),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find(reason), std::string::npos) << text;
    }
    EXPECT_EQ(QDir(scratch).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name), filesBefore);
    EXPECT_EQ(Bytes(earlier.WorkFile), earlierBytes);
    EXPECT_EQ(earlier.Render(true), earlierRendering);
}

TEST_F(SmallFileSystem, FullScratchDirectoryLeavesNoPartialWorkingCopy) {
    TLisko earlier(sources_.Write("earlier.jpg", 60, 80, 1), Scratch());
    Fill();
    const QString big = sources_.Write("big.jpg", 1200, 1600, 2);
    ExpectFailedImportLeavesTheOtherPhoto(big, Scratch(), earlier, {"0.jpg", "filler"},
                                          "No space left on device");
}

TEST_F(SmallFileSystem, ReadOnlyScratchDirectoryIsAnErrorNamingTheWorkingCopy) {
    TLisko earlier(sources_.Write("earlier.jpg", 60, 80, 1), Scratch());
    MakeReadOnly();
    ExpectFailedImportLeavesTheOtherPhoto(sources_.Write("next.jpg", 60, 80, 3), Scratch(), earlier,
                                          {"0.jpg"}, "Read-only file system");
}

// Two programs importing 100 photos each into one scratch directory at the same time.
TEST(SharedScratchDirectory, TwoProgramsKeepTheirOwnWorkingCopies) {
    constexpr int kEach = 100;
    Sources sources;
    const QString photo = sources.Write("photo.jpg", 64, 48, 4);
    test::TempDir scratch;

    QProcess programs[2];
    for (QProcess& p : programs) {
        p.start(QStringLiteral(LISKO_IMPORT_PROCESS),
                {Q(scratch.Path()), photo, QString::number(kEach)});
    }
    QSet<QString> copies[2];
    for (int k = 0; k < 2; ++k) {
        QProcess& p = programs[k];
        ASSERT_TRUE(p.waitForStarted());
        QByteArray out;
        while (!out.contains("ready\n")) {
            ASSERT_TRUE(p.waitForReadyRead(60000)) << p.readAllStandardError().toStdString();
            out += p.readAllStandardOutput();
        }
        const QList<QByteArray> lines = out.split('\n');
        for (const QByteArray& line : lines) {
            if (!line.isEmpty() && line != "ready") copies[k].insert(QString::fromLocal8Bit(line));
        }
        EXPECT_EQ(copies[k].size(), kEach);
    }
    EXPECT_FALSE(copies[0].intersects(copies[1]));
    const QStringList onDisk = QDir(Q(scratch.Path())).entryList(QDir::Files);
    EXPECT_EQ(onDisk.size(), 2 * kEach);

    // Each program deletes its own copies, and only those.
    for (int k = 0; k < 2; ++k) {
        programs[k].closeWriteChannel();
        ASSERT_TRUE(programs[k].waitForFinished(60000));
        EXPECT_EQ(programs[k].exitCode(), 0) << programs[k].readAllStandardError().toStdString();
        for (const QString& copy : copies[k])
            EXPECT_FALSE(QFile::exists(copy)) << copy.toStdString();
        if (k == 0) {
            for (const QString& copy : copies[1])
                EXPECT_TRUE(QFile::exists(copy)) << copy.toStdString();
        }
    }
    EXPECT_TRUE(QDir(Q(scratch.Path())).entryList(QDir::Files).isEmpty());
}

}  // namespace
}  // namespace lisko
