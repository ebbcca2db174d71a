#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <memory>

#include "app/Program.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

constexpr int kPhotos = 20;

// Twenty 12-megapixel camera photos of a page, written once.
QStringList CameraPhotos(const QTemporaryDir& dir) {
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(test::PageLike24(4000, 3000, 5), 92);
    QStringList paths;
    for (int k = 0; k < kPhotos; ++k) {
        const QString path =
            dir.filePath(QStringLiteral("photo%1.jpg").arg(k, 2, 10, QLatin1Char('0')));
        test::WriteFileBytes(path.toStdString(), std::vector<char>(jpeg.begin(), jpeg.end()));
        paths << path;
    }
    return paths;
}

// The CPU time the calling thread has used so far, in nanoseconds.
qint64 ThreadCpuNanoseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

// Adding 20 camera photos as "Добавить файлы" does. A 1 ms timer ticks on the window's thread
// throughout; max_gap_ms is the longest the window's event loop kept it waiting, up to the end of
// the batch, and max_busy_ms the most CPU time the window's thread spent between two ticks: the
// gap's own share, which other processes competing for the cores do not inflate.
void BM_AddTwentyCameraPhotos(benchmark::State& state) {
    const QTemporaryDir sources;
    const QStringList photos = CameraPhotos(sources);
    Forms forms;
    forms.form1.show();
    // The window is on screen before the user can add anything: its first paint (about 30 ms of
    // fonts and style) is not part of a batch.
    QCoreApplication::processEvents();
    double longestGap = 0;
    double longestBusy = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 gap = 0;
        qint64 lastCpu = ThreadCpuNanoseconds();
        qint64 busy = 0;
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            const qint64 cpu = ThreadCpuNanoseconds();
            gap = std::max(gap, now - last);
            busy = std::max(busy, cpu - lastCpu);
            last = now;
            lastCpu = cpu;
        });
        clock.start();
        ticker.start();
        forms.form1.AddFiles(photos);
        gap = std::max(gap, clock.nsecsElapsed() - last);
        busy = std::max(busy, ThreadCpuNanoseconds() - lastCpu);
        ticker.stop();
        longestGap = std::max(longestGap, static_cast<double>(gap) / 1e6);
        longestBusy = std::max(longestBusy, static_cast<double>(busy) / 1e6);

        state.PauseTiming();
        if (forms.form1.Photos().Count() != kPhotos) state.SkipWithError("photos were not added");
        forms.form1.RemoveAllClick();
        state.ResumeTiming();
    }
    state.counters["max_gap_ms"] = longestGap;
    state.counters["max_busy_ms"] = longestBusy;
}
BENCHMARK(BM_AddTwentyCameraPhotos)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace lisko

// The window runs offscreen, with settings, working copies and the update check of this run's own.
int main(int argc, char* argv[]) {
    const QTemporaryDir home;
    if (!home.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("LISKO_SCRATCH_DIR", QFile::encodeName(home.filePath(QStringLiteral("scratch"))));
    qputenv("LISKO_UPDATE_URL", "http://127.0.0.1:1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
