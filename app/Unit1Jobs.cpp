// Saving the photo list with its settings and layout as a job file, and opening one again.

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <utility>

#include "app/OpenPhotos.h"
#include "app/PreviewTab.h"
#include "app/ToolbarIcons.h"
#include "app/Unit1.h"
#include "pages/JobFile.h"
#include "raster/Jpeg.h"
#include "ui/Dialogs.h"

namespace lisko {

namespace {

// The tab row is about 22 pixels high: the pictures are the toolbar's, drawn small.
constexpr QSize kJobIconSize(16, 16);

QToolButton* MakeJobButton(const char* objectName, const QString& caption, ToolbarPicture picture,
                           const QKeySequence& shortcut) {
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(objectName));
    button->setText(caption);
    button->setIcon(ToolbarIcon(picture));
    button->setIconSize(kJobIconSize);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setShortcut(shortcut);
    button->setToolTip(caption + QStringLiteral(" (") +
                       shortcut.toString(QKeySequence::NativeText) + QLatin1Char(')'));
    return button;
}

FileNameRequest JobFileRequest(const QString& title, const QString& selected) {
    return {title,
            {QStringLiteral("Задания LiskoPrinter (*.%1)").arg(QLatin1String(kJobFileSuffix)),
             QStringLiteral("*.* (*)")},
            QLatin1String(kJobFileSuffix),
            selected};
}

// Why a photo could not be imported, with the decoder's own words where there are any.
QString ReasonOf(const std::exception& error) {
    return QString::fromStdString(DescribeJpegError(error));
}

}  // namespace

// The two buttons sit in the free corner beside the right-hand tabs: the toolbar's row ends where
// the right-hand pages begin.
void TForm1::BuildJobButtons() {
    sSpeedButton9 = MakeJobButton("sSpeedButton9", QStringLiteral("Сохранить"),
                                  ToolbarPicture::SaveJob, QKeySequence(Qt::CTRL | Qt::Key_S));
    sSpeedButton10 = MakeJobButton("sSpeedButton10", QStringLiteral("Открыть"),
                                   ToolbarPicture::OpenJob, QKeySequence(Qt::CTRL | Qt::Key_O));
    auto* corner = new QWidget;
    auto* layout = new QHBoxLayout(corner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(sSpeedButton9);
    layout->addWidget(sSpeedButton10);
    sPageControl1->setCornerWidget(corner, Qt::TopRightCorner);
}

Job TForm1::CurrentJob() const {
    Job job;
    job.layout = LayoutOf(*sSpinEdit7, *sSpinEdit8, *sComboBox3);
    for (int i = 0; i < photos_.Count(); ++i) {
        JobPhoto photo = JobPhotoOf(photos_.Photo(i));
        photo.source = photos_.Entry(i).FullPath();
        job.photos.push_back(photo);
    }
    return job;
}

void TForm1::SaveJobClick() {
    if (adding_) return;  // the list is still being filled
    if (photos_.Count() == 0) {
        CurrentDialogs().ShowMessage(
            this, QStringLiteral("Сохранить"),
            QStringLiteral("Список снимков пуст, сохранять нечего. Сначала добавьте файлы."),
            QMessageBox::Information);
        return;
    }
    const QString path = CurrentDialogs().SaveFileName(
        this, JobFileRequest(QStringLiteral("Сохранить задание"), jobPath_));
    if (path.isEmpty()) return;
    SaveJobFile(path, CurrentJob());
    jobPath_ = path;
}

void TForm1::OpenJobClick() {
    if (adding_) return;
    const QString path = CurrentDialogs().OpenFileName(
        this, JobFileRequest(QStringLiteral("Открыть задание"), jobPath_));
    if (!path.isEmpty()) OpenJobFile(path);
}

void TForm1::OpenJobFile(const QString& path) {
    if (adding_) return;
    // A file that cannot be read changes nothing: its error goes to the standard error box.
    const Job job = LoadJobFile(path);
    if (photos_.Count() > 0 &&
        !CurrentDialogs().Ask(this, QStringLiteral("Открыть"),
                              QStringLiteral("Заменить снимки списка снимками задания «%1»?")
                                  .arg(QFileInfo(path).fileName()))) {
        return;
    }
    jobPath_ = path;
    RemoveAllClick();
    const QStringList skipped = ImportJob(job);
    if (closed_) return;
    ShowOpenedJob(job.layout);
    if (!skipped.isEmpty()) {
        CurrentDialogs().ShowMessage(
            this, QStringLiteral("Открыть"),
            QStringLiteral("Эти снимки задания не открыты:\n") + skipped.join(QLatin1Char('\n')),
            QMessageBox::Warning);
    }
    // Photos dropped or passed in meanwhile waited for the job; they join it now.
    if (!pendingFiles_.isEmpty()) {
        AddFiles(std::exchange(pendingFiles_, {}));
    } else {
        OpenWaitingPaths();
    }
}

void TForm1::OpenWaitingPaths() {
    if (closed_ || adding_ || waitingPaths_.isEmpty()) return;
    OpenPaths(std::exchange(waitingPaths_, {}));
}

// A job and photos together (dropped as one, say) mean "open this job and add these": the job
// opens first, replacing the list after the question, and the photos join the list that stands
// then, whether the job opened, was declined or was refused with its error. Only one job can be
// the list, so a second job is not opened, and a message says which were not.
void TForm1::OpenPaths(const QStringList& paths) {
    const JobsAndPhotos given = SeparateJobFiles(paths);
    if (adding_ && !given.jobs.isEmpty()) {
        waitingPaths_ += paths;
        return;
    }
    if (!given.jobs.isEmpty()) {
        Handle([this, &given] { OpenJobFile(given.jobs.front()); });
        if (closed_) return;
        if (given.jobs.size() > 1) {
            CurrentDialogs().ShowMessage(
                this, QStringLiteral("Открыть"),
                QStringLiteral("Открывается одно задание за раз. Не открыты:\n") +
                    given.jobs.mid(1).join(QLatin1Char('\n')),
                QMessageBox::Information);
        }
    }
    if (!given.photos.isEmpty()) AddFiles(PhotoPathsFrom(given.photos));
}

QStringList TForm1::ImportJob(const Job& job) {
    const QScopedValueRollback<bool> adding(adding_, true);
    QStringList skipped;
    sProgressBar1->setRange(0, static_cast<int>(job.photos.size()));
    for (std::size_t i = 0; i < job.photos.size(); ++i) {
        sProgressBar1->setValue(static_cast<int>(i));
        sProgressBar1->repaint();
        QCoreApplication::processEvents();
        if (closed_) return {};  // the window's photos are gone, and so is the job
        const QString reason = ImportJobPhoto(job.photos[i]);
        if (!reason.isEmpty()) skipped << job.photos[i].source + QStringLiteral(" — ") + reason;
    }
    sProgressBar1->setValue(0);
    return skipped;
}

QString TForm1::ImportJobPhoto(const JobPhoto& source) {
    const QString& path = source.source;
    if (!QFileInfo(path).isFile()) return QStringLiteral("файл не найден");
    if (!HasPhotoExtension(path)) return QStringLiteral("не снимок JPEG (.jpg, .jpeg)");
    if (photos_.IndexOfPath(path)) return QStringLiteral("уже есть в задании");
    try {
        AddPhotoFile(path);
        const std::optional<int> index = photos_.IndexOfPath(path);
        if (!index) return QStringLiteral("не удалось открыть");
        TLisko& photo = photos_.Photo(*index);
        const TLiskoData imported = photo;
        ApplySettings(source, photo);
        // The import drew the thumbnail with its own settings; the preview shows the job's.
        if (!SameSettings(imported, photo)) photo.RenderThumbnail();
    } catch (const std::exception& e) {
        return ReasonOf(e);
    }
    return {};
}

// The layout panel shows the job's layout, the first photo is selected in the list and the
// editor, and the preview is composed once for all of it.
void TForm1::ShowOpenedJob(const PageLayout& layout) {
    {
        const QSignalBlocker rows(sSpinEdit7);
        const QSignalBlocker columns(sSpinEdit8);
        const QSignalBlocker order(sComboBox3);
        sSpinEdit7->setValue(layout.rows);
        sSpinEdit8->setValue(layout.columns);
        sComboBox3->setCurrentIndex(static_cast<int>(layout.order));
    }
    if (photos_.Count() > 0) {
        fileView->setCurrentItem(fileView->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
        fileView->topLevelItem(0)->setSelected(true);
        sPageControl1->setCurrentIndex(0);
    }
    OnPageCountChange();
}

}  // namespace lisko
