#include "app/Unit1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QSet>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <clocale>
#include <stdexcept>
#include <utility>

#include "app/Links.h"
#include "app/OpenPhotos.h"
#include "app/PreviewTab.h"
#include "app/PrintPages.h"
#include "app/Reminders.h"
#include "app/ToolbarIcons.h"
#include "app/Unit3.h"
#include "app/WebTabs.h"
#include "editor/EditorPanel.h"
#include "identity/Identity.h"
#include "identity/VersionInfo.h"
#include "list/PageSources.h"
#include "pages/Clock.h"
#include "pages/Fonts.h"
#include "pages/Printing.h"
#include "photo/ImportBatch.h"
#include "photo/ScratchDirectory.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "update/Update.h"

namespace lisko {

namespace {

// The window design, in pixels of the client area.
constexpr int kClientWidth = 983;
constexpr int kClientHeight = 761;
constexpr int kMinimumHeight = 600;
constexpr QRect kLeftPages(0, 80, 441, 665);
constexpr QRect kRightPages(448, 0, 538, 745);
constexpr int kProgressHeight = 16;
constexpr int kToolbarHeight = 73;

struct ToolbarButton {
    const char* objectName;
    const char* caption;
    int left;
    int width;
    ToolbarPicture picture;
};

QToolButton* MakeToolbarButton(QWidget* parent, const ToolbarButton& b) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(b.objectName));
    button->setText(QString::fromUtf8(b.caption));
    button->setIcon(ToolbarIcon(b.picture));
    button->setIconSize(ToolbarIconSize(b.picture));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setGeometry(b.left, 0, b.width, kToolbarHeight);
    return button;
}

// The file dialog's first choice: every name the photo list takes. GTK's dialog matches patterns
// case-sensitively, so each letter is spelled in both cases; Qt's dialog reads them alike.
constexpr char kPhotoNameFilter[] = "*.jpg, *.jpeg (*.[jJ][pP][gG] *.[jJ][pP][eE][gG])";

// Numbers are written and read with "." whatever the user's regional settings say.
void UseFullStopForDecimals() {
    std::setlocale(LC_NUMERIC, "C");
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(locale);
}

}  // namespace

TForm1::TForm1() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(DesignCaption));
    resize(kClientWidth, kClientHeight);
    setMinimumHeight(kMinimumHeight);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    BuildToolbar(client);

    sPageControl2 = new QTabWidget(client);
    sPageControl2->setObjectName(QStringLiteral("sPageControl2"));
    sTabSheet2 = new QWidget;
    sTabSheet2->setObjectName(QStringLiteral("sTabSheet2"));
    sTabSheet4 = new QWidget;
    sTabSheet4->setObjectName(QStringLiteral("sTabSheet4"));
    sPageControl2->addTab(sTabSheet2, QStringLiteral("Список файлов"));
    sPageControl2->addTab(sTabSheet4, QStringLiteral("Предварительный просмотр"));
    BuildListTab();
    BuildPreviewTab();

    sPageControl1 = new QTabWidget(client);
    sPageControl1->setObjectName(QStringLiteral("sPageControl1"));
    sTabSheet3 = new QWidget;
    sTabSheet3->setObjectName(QStringLiteral("sTabSheet3"));
    sTabSheet1 = new QWidget;
    sTabSheet1->setObjectName(QStringLiteral("sTabSheet1"));
    sTabSheet5 = new QWidget;
    sTabSheet5->setObjectName(QStringLiteral("sTabSheet5"));
    sPageControl1->addTab(sTabSheet3, QStringLiteral("Свойства снимка"));
    sPageControl1->addTab(sTabSheet1, QString::fromUtf8(identity::PartnerSite));
    sPageControl1->addTab(sTabSheet5, QString::fromUtf8(identity::ProjectSite));
    WebBrowser1 = BuildPartnerTab(sTabSheet1);
    WebBrowser = BuildProjectTab(sTabSheet5);

    BuildEditorTab();
    BuildJobButtons();

    sProgressBar1 = new QProgressBar(client);
    sProgressBar1->setObjectName(QStringLiteral("sProgressBar1"));
    sProgressBar1->setTextVisible(false);
    // An empty range would show Qt's busy indicator; idle is position 0 of any range.
    sProgressBar1->setRange(0, 1);
    sProgressBar1->setValue(0);

    // The design opens on the preview at the left and on the editor at the right.
    sPageControl2->setCurrentIndex(1);
    sPageControl1->setCurrentIndex(0);

    WireActions();
    FormCreate();
}

void TForm1::BuildToolbar(QWidget* client) {
    sSpeedButton3 = MakeToolbarButton(
        client, {"sSpeedButton3", "Добавить файлы", 0, 97, ToolbarPicture::AddFiles});
    sSpeedButton4 =
        MakeToolbarButton(client, {"sSpeedButton4", "Печать", 104, 65, ToolbarPicture::Print});
    sSpeedButton8 = MakeToolbarButton(
        client, {"sSpeedButton8", "Посоветовать\nдругу", 176, 89, ToolbarPicture::Recommend});
    sSpeedButton6 = MakeToolbarButton(
        client, {"sSpeedButton6", "Написать отзыв", 272, 89, ToolbarPicture::Feedback});
    sSpeedButton5 =
        MakeToolbarButton(client, {"sSpeedButton5", "О программе", 368, 73, ToolbarPicture::About});
    sSpeedButton7 =
        MakeToolbarButton(client, {"sSpeedButton7", "Форум", 352, 57, ToolbarPicture::About});
    sSpeedButton7->move(352, 24);
    sSpeedButton7->hide();
}

void TForm1::BuildListTab() {
    sSpeedButton1 = new QToolButton;
    sSpeedButton1->setObjectName(QStringLiteral("sSpeedButton1"));
    sSpeedButton1->setText(QStringLiteral("Удалить отмеченные"));
    sSpeedButton2 = new QToolButton;
    sSpeedButton2->setObjectName(QStringLiteral("sSpeedButton2"));
    sSpeedButton2->setText(QStringLiteral("Очистить список"));

    sWebLabel1 = new QLabel(QString::fromUtf8(identity::ProjectSite));
    sWebLabel1->setObjectName(QStringLiteral("sWebLabel1"));
    sWebLabel1->setAlignment(Qt::AlignCenter);
    QFont linkFont = FontWithCellHeight(font().family(), 13);
    linkFont.setBold(true);
    linkFont.setUnderline(true);
    sWebLabel1->setFont(linkFont);
    sWebLabel1->setStyleSheet(
        QStringLiteral("QLabel { color: blue } QLabel:hover { color: palette(window-text) }"));
    sWebLabel1->setCursor(Qt::PointingHandCursor);
    sWebLabel1->installEventFilter(this);

    fileView = new QTreeWidget;
    fileView->setObjectName(QStringLiteral("fileView"));
    fileView->setColumnCount(2);
    fileView->setHeaderLabels({QStringLiteral("Имя"), QStringLiteral("Путь")});
    fileView->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    fileView->setRootIsDecorated(false);
    fileView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fileView->setSelectionBehavior(QAbstractItemView::SelectRows);
    fileView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fileView->setToolTip(QStringLiteral("Для удаления одного файла просто нажмите Del"));
    fileView->installEventFilter(this);
    fileView->viewport()->setAcceptDrops(true);
    fileView->viewport()->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sSpeedButton1);
    buttons->addWidget(sSpeedButton2);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(sTabSheet2);
    layout->addLayout(buttons);
    layout->addWidget(sWebLabel1);
    layout->addWidget(fileView);
}

void TForm1::WireActions() {
    connect(sSpeedButton3, &QToolButton::clicked, this,
            [this] { Handle([this] { AddFilesClick(); }); });
    connect(sSpeedButton1, &QToolButton::clicked, this,
            [this] { Handle([this] { RemoveSelectedClick(); }); });
    connect(sSpeedButton2, &QToolButton::clicked, this,
            [this] { Handle([this] { RemoveAllClick(); }); });
    connect(sPageControl2, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 0) Handle([this] { sTabSheet2Show(); });
    });
    connect(fileView, &QTreeWidget::itemClicked, this,
            [this] { Handle([this] { fileViewClick(); }); });
    connect(fileView, &QTreeWidget::itemSelectionChanged, this,
            [this] { Handle([this] { fileViewChange(); }); });
    connect(sSpeedButton8, &QToolButton::clicked, this,
            [this] { Handle([this] { AdvFriend(); }); });
    connect(sSpeedButton6, &QToolButton::clicked, this,
            [this] { Handle([this] { feedbackClick(); }); });
    connect(sSpeedButton5, &QToolButton::clicked, this,
            [this] { Handle([this] { sSpeedButton5Click(); }); });
    connect(sSpeedButton9, &QToolButton::clicked, this,
            [this] { Handle([this] { SaveJobClick(); }); });
    connect(sSpeedButton10, &QToolButton::clicked, this,
            [this] { Handle([this] { OpenJobClick(); }); });
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::AttachForms(TForm2& form2, TForm3& form3, TForm4& form4) {
    form2_ = &form2;
    form3_ = &form3;
    form4_ = &form4;
}

void TForm1::FormCreate() {
    UseFullStopForDecimals();
    ProgramVersion = QString::fromStdU16String(
        GetFileVersionString(QCoreApplication::applicationFilePath().toStdString()));
    VersionCaption = ProgramVersion + QStringLiteral(" от ") + QString::fromLatin1(BuildDate);
    setWindowTitle(windowTitle() + QLatin1Char(' ') + VersionCaption);
    CurrentPhoto = nullptr;
    EditorBitmap = QImage();
    EditorCacheKey = TLiskoData();
    // An error here is shown, and the window is still created.
    Handle([this] { CheckReminders(); });
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    Handle([this] { FormShow(); });
}

void TForm1::FormShow() {
    CheckForUpdate();
    LoadWebPages();
}

void TForm1::closeEvent(QCloseEvent* event) {
    Handle([this] { FormClose(); });
    event->accept();
}

void TForm1::FormClose() {
    closed_ = true;
    RemoveAllClick();
}

void TForm1::FormDestroy() {
    // After a close the list is empty already; otherwise the marked entries go, as on a removal.
    RemoveMarkedEntries();
    EditorBitmap = QImage();
}

void TForm1::CheckReminders() {
    RunReminders({[this] { AdvFriend(); }, [this] { feedbackClick(); }});
}

void TForm1::AdvFriend() {
    OpenRecommendMessage();
}

void TForm1::feedbackClick() {
    OpenFeedbackMessage();
}

void TForm1::sSpeedButton5Click() {
    CurrentDialogs().ShowMessage(this, QStringLiteral("О программе"), AboutText(),
                                 QMessageBox::NoIcon);
}

void TForm1::CheckForUpdate() {
    if (form4_) lisko::CheckForUpdate(*form4_, ProgramVersion);
}

void TForm1::LoadWebPages() {
    RequestWebPages(*WebBrowser, *WebBrowser1, ProgramVersion);
}

void TForm1::BuildPreviewTab() {
    const PreviewControls c = lisko::BuildPreviewTab(sTabSheet4);
    Image2 = c.Image2;
    // The preview picture sits in a scroll area; drops anywhere on its view count.
    previewViewport_ = Image2->parentWidget();
    previewViewport_->setAcceptDrops(true);
    previewViewport_->installEventFilter(this);
    sLabel14 = c.sLabel14;
    sSpinEdit13 = c.sSpinEdit13;
    sLabel16 = c.sLabel16;
    sGroupBox3 = c.sGroupBox3;
    sSpinEdit7 = c.sSpinEdit7;
    sSpinEdit8 = c.sSpinEdit8;
    sComboBox3 = c.sComboBox3;
    connect(sSpinEdit13, &QSpinBox::valueChanged, this,
            [this] { Handle([this] { ShowPrintPreview(sSpinEdit13); }); });
    for (QSpinBox* spin : {sSpinEdit7, sSpinEdit8}) {
        connect(spin, &QSpinBox::valueChanged, this,
                [this, spin] { Handle([this, spin] { OnPageCountChange(spin); }); });
    }
    connect(sComboBox3, &QComboBox::currentIndexChanged, this,
            [this] { Handle([this] { OnPageCountChange(sComboBox3); }); });
    connect(sSpeedButton4, &QToolButton::clicked, this,
            [this] { Handle([this] { PrintDocument(); }); });
    // A window coming back from the task bar shows its tabs again; only a real switch counts.
    OnEvents(sTabSheet4, {QEvent::Show}, [this](QEvent& event) {
        if (!event.spontaneous()) Handle([this] { sTabSheet4Show(); });
    });
    OnEvents(Image2, {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick},
             [this](QEvent& event) {
                 const QPoint position = static_cast<QMouseEvent&>(event).position().toPoint();
                 Handle([this, position] { Image2MouseDown(position); });
             });
}

PageSources TForm1::CurrentPageSources() const {
    if (!form3_) throw std::logic_error("TForm1: the advertisement pictures are not attached");
    return SourcesOf(photos_, LayoutOf(*sSpinEdit7, *sSpinEdit8, *sComboBox3), form3_->Image0,
                     form3_->Image1, Today());
}

void TForm1::OnPageCountChange(QObject* sender) {
    PageCount = lisko::PageCount(photos_.Count(), LayoutOf(*sSpinEdit7, *sSpinEdit8, *sComboBox3));
    sLabel16->setText(QString::number(PageCount));
    // Back to the first page before the bounds shrink, so that the selector reports that change.
    if (sSpinEdit13->value() > PageCount) sSpinEdit13->setValue(1);
    // With one page or none the user can still step to an empty page 2.
    sSpinEdit13->setMaximum(std::max(PageCount, 2));
    ShowPrintPreview(sender);
}

void TForm1::ShowPrintPreview(QObject* sender) {
    if (sender == sSpinEdit13) sPageControl1->setCurrentIndex(1);
    Image2->setPixmap(QPixmap::fromImage(
        ComposePage(kPreviewScale, sSpinEdit13->value() - 1, CurrentPageSources())));
    Image2->adjustSize();
}

void TForm1::sTabSheet4Show() {
    sPageControl1->setCurrentIndex(1);
    ShowPrintPreview(sTabSheet4);
}

void TForm1::Image2MouseDown(QPoint position) {
    const PreviewClick click = ClickOnPreview(LayoutOf(*sSpinEdit7, *sSpinEdit8, *sComboBox3),
                                              sSpinEdit13->value(), photos_.Count(), position);
    if (click.target == PreviewClick::Target::Nothing) return;
    SelectPhoto(click.target == PreviewClick::Target::Photo ? &photos_.Photo(click.photo)
                                                            : nullptr);
    sPageControl1->setCurrentIndex(0);
}

void TForm1::PrintDocument() {
    const PageSources sources = CurrentPageSources();
    PrintPages(this, PageCount,
               [&sources](int index) { return ComposePage(kPrintScale, index, sources); });
}

void TForm1::AddPhotoFile(const QString& path) {
    if (!HasPhotoExtension(path)) return;
    if (photos_.IndexOfPath(path)) return;
    const int index = photos_.InsertPosition(path);
    auto photo = std::make_unique<TLisko>(path);
    if (photo->WorkFile.isEmpty()) return;
    photos_.Insert(index, path, std::move(photo));
    InsertEntryRow(index);
}

void TForm1::InsertEntryRow(int index) {
    const PhotoEntry& entry = photos_.Entry(index);
    auto* item = new QTreeWidgetItem({entry.name, entry.directory});
    fileView->insertTopLevelItem(index, item);
    // An insertion is a change of the list control, like a change of the marking.
    fileViewChange();
}

void TForm1::AddFilesClick() {
    if (adding_) return;  // a second batch inside the first would share its progress bar
    const QStringList files = CurrentDialogs().OpenFiles(
        this, {QStringLiteral("Добавить фотографии в список шпор"),
               {QString::fromLatin1(kPhotoNameFilter), QStringLiteral("*.* (*)")},
               PhotoDialogFolder()});
    if (files.isEmpty()) return;
    AddFiles(files);
}

void TForm1::AddFiles(const QStringList& paths) {
    if (closed_) return;
    if (adding_) {
        pendingFiles_ += paths;
        return;
    }
    // An error ends the batches and also what waits for them.
    try {
        ImportBatches(paths);
    } catch (...) {
        waitingPaths_.clear();
        throw;
    }
    OpenWaitingPaths();
}

void TForm1::ImportBatches(const QStringList& paths) {
    const QScopedValueRollback<bool> adding(adding_, true);
    // An error ends the batch and the paths waiting behind it.
    const auto dropWaiting = qScopeGuard([this] { pendingFiles_.clear(); });
    QStringList files = paths;
    while (!files.isEmpty()) {
        if (!ImportInOrder(files)) return;
        OnPageCountChange();
        sProgressBar1->setValue(0);
        // The file dialog opens next time where the last photo of this batch came from.
        for (auto path = files.crbegin(); path != files.crend(); ++path) {
            if (photos_.IndexOfPath(*path)) {
                RememberPhotoFolder(QDir::cleanPath(DirectoryPart(*path)));
                break;
            }
        }
        files = std::exchange(pendingFiles_, {});
    }
}

bool TForm1::ImportInOrder(const QStringList& files) {
    // Workers import ahead what the list will take as things stand; whether it does is decided
    // in the batch's order below, as the user may remove entries meanwhile. The waiting loop
    // outlives the batch, whose workers wake it.
    QEventLoop waiting;
    QSet<QString> ahead;
    const auto wanted = [&](int i) {
        const QString& path = files[i];
        if (!HasPhotoExtension(path) || photos_.IndexOfPath(path) || ahead.contains(path))
            return false;
        ahead.insert(path);
        return true;
    };
    const auto ready = [&waiting] {
        QMetaObject::invokeMethod(
            &waiting, [&waiting] { waiting.quit(); }, Qt::QueuedConnection);
    };
    ImportBatch batch(files, ScratchDirectory(), wanted, {}, ready,
                      ImportBatch::Priority::Background);

    sProgressBar1->setRange(0, static_cast<int>(files.size()));
    for (int i = 0; i < files.size(); ++i) {
        sProgressBar1->setValue(i);
        sProgressBar1->repaint();
        QCoreApplication::processEvents();
        // A loop that the ending program refuses to run returns at once with -1: the batch ends.
        bool ending = false;
        while (!closed_ && !ending && !batch.IsReady(i))
            ending = waiting.exec() != 0;
        // The user may have closed the window meanwhile; its photos are gone and so is the batch.
        if (closed_ || ending) return false;
        const QString& path = files[i];
        if (!HasPhotoExtension(path) || photos_.IndexOfPath(path)) continue;
        // A failed import throws here: the batch ends with its error, the later photos go.
        std::unique_ptr<TLisko> photo = batch.Take(i);
        const int index = photos_.InsertPosition(path);
        photos_.Insert(index, path, std::move(photo));
        InsertEntryRow(index);
    }
    return true;
}

bool TForm1::HandleFileDrop(QEvent& event) {
    auto& drop = static_cast<QDropEvent&>(event);
    const QStringList paths = LocalPaths(*drop.mimeData());
    if (paths.isEmpty()) {
        drop.ignore();
        return true;
    }
    drop.setDropAction(Qt::CopyAction);
    drop.accept();
    // The file manager waits until the drop returns: the photos are added after that.
    if (event.type() == QEvent::Drop) {
        QTimer::singleShot(0, this,
                           [this, paths] { Handle([this, &paths] { OpenPaths(paths); }); });
    }
    return true;
}

int TForm1::FirstMarkedIndex() const {
    for (int i = 0; i < fileView->topLevelItemCount(); ++i) {
        if (fileView->topLevelItem(i)->isSelected()) return i;
    }
    return -1;
}

void TForm1::RemoveMarkedEntries() {
    int k = FirstMarkedIndex();
    bool currentRemoved = false;
    {
        // The control reports each removal as a change; the marking is settled below instead.
        const QSignalBlocker blocker(fileView);
        for (int i = photos_.Count() - 1; i >= 0; --i) {
            if (!fileView->topLevelItem(i)->isSelected()) continue;
            if (&photos_.Photo(i) == CurrentPhoto) currentRemoved = true;
            // A later photo may get this working file's name: the editor's cached rendering
            // must never be taken for that photo's.
            if (photos_.Photo(i).WorkFile == EditorCacheKey.WorkFile) {
                EditorCacheKey = TLiskoData();
                EditorBitmap = QImage();
            }
            delete fileView->takeTopLevelItem(i);
            photos_.Remove(i);
        }
    }
    if (k >= photos_.Count()) k = photos_.Count() - 1;
    if (k >= 0) {
        // Marking entry k is a change of the list control: it makes that photo current.
        fileView->setCurrentItem(fileView->topLevelItem(k), 0, QItemSelectionModel::NoUpdate);
        fileView->topLevelItem(k)->setSelected(true);
    }
    if (currentRemoved && k < 0) CurrentPhoto = nullptr;
}

void TForm1::RemoveSelectedClick() {
    RemoveMarkedEntries();
    OnPageCountChange();
}

void TForm1::RemoveAllClick() {
    fileView->selectAll();
    QPixmap tiny(1, 1);
    tiny.fill(Qt::white);
    Image1->setPixmap(tiny);
    Image1->resize(1, 1);
    sPageControl1->setCurrentIndex(1);
    RemoveSelectedClick();
}

void TForm1::fileViewClick() {
    fileViewChange();
}

void TForm1::fileViewChange() {
    CurrentPhoto = nullptr;
    const int first = FirstMarkedIndex();
    if (first >= 0) SelectPhoto(&photos_.Photo(first));
}

void TForm1::fileViewKeyDown(int key) {
    if (key == Qt::Key_Delete) RemoveSelectedClick();
    if (key == Qt::Key_PageUp) PrevPhotoClick();
    if (key == Qt::Key_PageDown) NextPhotoClick();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    const bool drag = event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
                      event->type() == QEvent::Drop;
    if (drag && (watched == fileView->viewport() || watched == previewViewport_))
        return HandleFileDrop(*event);
    // A quick second press arrives as a double click; it is a press all the same.
    if (watched == Image1 && (event->type() == QEvent::MouseButtonPress ||
                              event->type() == QEvent::MouseButtonDblClick)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        Handle([this, mouse, at] { Image1MouseDown(mouse->button(), at.x(), at.y()); });
        return true;
    }
    if (watched == Image1 && event->type() == QEvent::MouseMove) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        Handle([this, mouse, at] { Image1MouseMove(mouse->buttons(), at.x(), at.y()); });
        return true;
    }
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        Handle([this, button] { Image1MouseUp(button); });
        return true;
    }
    if (watched == sTabSheet3 && event->type() == QEvent::Resize) LayOutEditorTab();
    // Ctrl and the wheel zoom about the point under the cursor; the wheel alone scrolls.
    if (event->type() == QEvent::Wheel && watched == sScrollBox1->viewport()) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int delta = wheel->angleDelta().y();
            const QPoint at = wheel->position().toPoint();
            const double shown = ShownZoom();
            if (delta != 0) {
                Handle([this, delta, at, shown] {
                    SetZoom(delta > 0 ? EditorZoom::StepIn(shown) : EditorZoom::StepOut(shown), at);
                });
            }
            return true;
        }
    }
    if (watched == fileView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        Handle([this, key] { fileViewKeyDown(key); });
        // While the editor is shown, Page Up and Page Down step through the photos one by one.
        if (key == Qt::Key_Delete ||
            ((key == Qt::Key_PageUp || key == Qt::Key_PageDown) && EditorShown()))
            return true;
    }
    if (watched == sWebLabel1 && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Handle([] { OpenProjectSite(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // Anchors of the design: the left pages keep their width and follow the bottom edge, the
    // right pages follow every edge, the progress bar runs along the bottom.
    const QSize client = centralWidget()->size();
    const int dw = client.width() - kClientWidth;
    const int dh = client.height() - kClientHeight;
    sPageControl2->setGeometry(kLeftPages.adjusted(0, 0, 0, dh));
    sPageControl1->setGeometry(kRightPages.adjusted(0, 0, dw, dh));
    sProgressBar1->setGeometry(0, client.height() - kProgressHeight, client.width(),
                               kProgressHeight);
}

}  // namespace lisko
