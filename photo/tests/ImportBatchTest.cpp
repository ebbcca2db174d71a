#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "photo/ImportBatch.h"
#include "photo/Lisko.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

#include <sys/resource.h>
#include <unistd.h>

namespace lisko {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

QByteArray Contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Photos of different sizes and orientations, one file that is no photo at all.
class ImportBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        const int sizes[][2] = {{320, 240}, {180, 260}, {1700, 900}, {64, 64}, {500, 333}};
        int k = 0;
        for (const auto& size : sizes) {
            const std::vector<std::uint8_t> jpeg =
                EncodeJpeg(test::PageLike24(size[0], size[1], static_cast<std::uint32_t>(k)), 90);
            const fs::path file = sources_ / ("photo" + std::to_string(k++) + ".jpg");
            test::WriteFileBytes(file, std::vector<char>(jpeg.begin(), jpeg.end()));
            files_ << Q(file);
        }
        test::WriteFileBytes(sources_ / "broken.jpg", {'n', 'o', 't'});
    }

    QStringList ScratchFiles() const {
        return QDir(Q(scratch_.Path())).entryList(QDir::Files | QDir::NoDotAndDotDot);
    }
    QString Broken() const { return Q(sources_ / "broken.jpg"); }

    test::TempDir sources_;
    test::TempDir scratch_;
    QStringList files_;
};

// The photos handed over are the ones a plain import gives: same parameters, working copy and
// thumbnail, in the batch's order.
TEST_F(ImportBatchTest, GivesWhatImportingOneAfterAnotherGives) {
    std::atomic<int> readyCalls{0};
    {
        ImportBatch batch(files_, Q(scratch_.Path()), {}, {}, [&readyCalls] { ++readyCalls; });
        const test::TempDir plainScratch;
        for (int i = 0; i < files_.size(); ++i) {
            // Taken before a worker began it, a file is imported by the taker, which no worker
            // reports; here every file is left to the workers.
            while (!batch.IsReady(i))
                std::this_thread::yield();
            const std::unique_ptr<TLisko> photo = batch.Take(i);
            const TLisko plain(files_[i], Q(plainScratch.Path()));
            ASSERT_TRUE(photo);
            EXPECT_EQ(photo->SourceFile, files_[i]);
            EXPECT_EQ(photo->Rotation, plain.Rotation);
            EXPECT_EQ(Contents(photo->WorkFile), Contents(plain.WorkFile)) << i;
            EXPECT_EQ(photo->Thumbnail, plain.Thumbnail) << i;
        }
    }
    // The workers have said so for every file by the time the batch is gone.
    EXPECT_EQ(readyCalls, files_.size());
}

// The adjustment runs on the worker before the photo's first rendering, so the thumbnail shows
// it; its failure is the file's and leaves no working copy.
TEST_F(ImportBatchTest, AdjustsEachPhotoOnTheWorker) {
    std::unique_ptr<TLisko> first;
    {
        ImportBatch batch(files_, Q(scratch_.Path()), {}, [](TLisko& photo) {
            photo.ImageType = 0;
            photo.Brightness = 3;
            if (photo.SourceFile.endsWith(QStringLiteral("photo1.jpg")))
                throw std::runtime_error("adjusting failed");
        });
        first = batch.Take(0);
        EXPECT_THROW(batch.Take(1), std::runtime_error);
    }
    EXPECT_EQ(first->Brightness, 3);
    const QImage thumbnail = first->Thumbnail;
    first->Render(true);
    EXPECT_EQ(first->Thumbnail, thumbnail);
    EXPECT_EQ(ScratchFiles(), QStringList{QFileInfo(first->WorkFile).fileName()});
}

// Background workers run ten nice steps below the thread that made the batch, normal ones at its
// level.
TEST_F(ImportBatchTest, BackgroundWorkersRunBelowTheCaller) {
    const auto niceOfThisThread = [] {
        return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    };
    const int caller = niceOfThisThread();
    for (const auto priority : {ImportBatch::Priority::Normal, ImportBatch::Priority::Background}) {
        std::mutex m;
        std::vector<int> seen;
        {
            ImportBatch batch(
                files_, Q(scratch_.Path()), {},
                [&](TLisko&) {
                    const std::lock_guard lock(m);
                    seen.push_back(niceOfThisThread());
                },
                {}, priority);
            // Taken once ready, so that no file is imported by this thread instead.
            for (int i = 0; i < batch.Count(); ++i) {
                while (!batch.IsReady(i))
                    std::this_thread::yield();
                batch.Take(i);
            }
        }
        const int expected =
            priority == ImportBatch::Priority::Normal ? caller : std::min(caller + 10, 19);
        EXPECT_EQ(seen, std::vector<int>(static_cast<std::size_t>(files_.size()), expected));
    }
    EXPECT_EQ(niceOfThisThread(), caller);
}

// The first broken file throws when its turn comes; the files around it are not affected, and
// its failure leaves nothing behind.
TEST_F(ImportBatchTest, ABrokenFileThrowsWhenTaken) {
    QStringList files = files_;
    files.insert(2, Broken());
    ImportBatch batch(files, Q(scratch_.Path()));
    EXPECT_TRUE(batch.Take(0));
    EXPECT_TRUE(batch.Take(1));
    try {
        batch.Take(2);
        FAIL() << "the broken file was imported";
    } catch (const JpegError& e) {
        EXPECT_NE(std::string(e.what()).find("JPEG error #"), std::string::npos);
    }
    EXPECT_TRUE(batch.Take(3));
}

// Photos never taken go with the batch, and their working copies with them; the ones taken stay.
TEST_F(ImportBatchTest, DeletesTheWorkingCopiesOfPhotosNotTaken) {
    std::unique_ptr<TLisko> kept;
    {
        ImportBatch batch(files_, Q(scratch_.Path()));
        kept = batch.Take(1);
        while (!batch.IsReady(files_.size() - 1)) {
            std::this_thread::yield();
        }
    }
    EXPECT_EQ(ScratchFiles(), QStringList{QFileInfo(kept->WorkFile).fileName()});
    kept.reset();
    EXPECT_TRUE(ScratchFiles().isEmpty());
}

// Ending a batch early neither waits for every file nor leaves any copy behind.
TEST_F(ImportBatchTest, EndingEarlyLeavesNothingBehind) {
    QStringList many;
    for (int round = 0; round < 8; ++round)
        many << files_;
    { ImportBatch batch(many, Q(scratch_.Path())); }
    EXPECT_TRUE(ScratchFiles().isEmpty());
}

// Files not wanted ahead are imported by whoever takes them, and only then.
TEST_F(ImportBatchTest, ImportsFilesNotWantedAheadWhenTaken) {
    ImportBatch batch(files_, Q(scratch_.Path()), [](int i) { return i != 3; });
    for (int i = 0; i < files_.size(); ++i) {
        if (i == 3) continue;
        EXPECT_TRUE(batch.Take(i));
    }
    EXPECT_TRUE(batch.IsReady(3));
    // The photos taken are gone again; a copy left now could only be file 3's, imported ahead.
    EXPECT_TRUE(ScratchFiles().isEmpty());
    const std::unique_ptr<TLisko> late = batch.Take(3);
    EXPECT_EQ(late->SourceFile, files_[3]);
    EXPECT_EQ(ScratchFiles().size(), 1);
}

}  // namespace
}  // namespace lisko
