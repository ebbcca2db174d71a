#pragma once

#include <QImage>
#include <QMainWindow>
#include <QString>
#include <memory>
#include <optional>

#include "editor/EditorModel.h"
#include "list/PhotoList.h"
#include "pages/JobFile.h"
#include "pages/PageComposer.h"
#include "photo/Lisko.h"
#include "ui/Application.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QProgressBar;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QTreeWidget;

namespace lisko {

class EditorPanel;
class TForm2;
class TForm3;
class TForm4;
class TWebBrowser;

// The main window. The constructor builds the widgets and runs FormCreate; WireActions is the one
// place where controls meet their handlers; the handlers call into the photo list and the core.
class TForm1 : public QMainWindow {
public:
    static constexpr char DesignCaption[] = "LiskoPrinter";
    static constexpr char BuildDate[] = "10.05.2010";

    TForm1();
    ~TForm1() override;

    // The other windows, created after this one; the main window uses them but does not own them.
    void AttachForms(TForm2& form2, TForm3& form3, TForm4& form4);

    // Start-up and shut-down.
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();

    // The photo list.
    void AddPhotoFile(const QString& path);
    void AddFilesClick();
    // One batch of full paths, as the file dialog, the command line and a drop give them: the
    // imports run on every core while the window goes on, the entries appear in the paths' order
    // under the progress bar, then the page count is refreshed. Paths that come while a batch runs
    // are added after it, as a batch of their own.
    void AddFiles(const QStringList& paths);
    void RemoveSelectedClick();
    void RemoveAllClick();
    void fileViewClick();
    void fileViewChange();
    void fileViewKeyDown(int key);

    // Jobs: the list with its settings and the layout, saved and opened again.
    void SaveJobClick();
    void OpenJobClick();
    // Replaces the list with the job's photos, after asking when the list is not empty. Sources
    // that are missing or fail to import are skipped and listed in one message at the end.
    void OpenJobFile(const QString& path);
    // What the command line or a drop names: a job file among the paths opens as "Открыть" opens
    // one, then the photos and folders are added as AddFiles adds them. Given while a batch runs,
    // paths with a job wait for the batch to end.
    void OpenPaths(const QStringList& paths);

    // Reminders, links and web pages.
    void CheckReminders();
    void LoadWebPages();
    void AdvFriend();
    void feedbackClick();
    void sSpeedButton5Click();

    // Update check.
    void CheckForUpdate();

    // Preview and printing. The sender tells a change of the page selector from other callers.
    void OnPageCountChange(QObject* sender = nullptr);
    void ShowPrintPreview(QObject* sender = nullptr);
    void sTabSheet4Show();
    void Image2MouseDown(QPoint position);
    void PrintDocument();
    // The preview tab's controls (app/PreviewTab.h).
    QLabel* Image2;
    QLabel* sLabel14;
    QSpinBox* sSpinEdit13;  // page selector
    QLabel* sLabel16;       // page count
    QGroupBox* sGroupBox3;  // "Расположение:"
    QSpinBox* sSpinEdit7;   // rows
    QSpinBox* sSpinEdit8;   // columns
    QComboBox* sComboBox3;  // order

    // Photo editor.
    void SelectPhoto(TLisko* photo);
    void ShowPhotoInEditor(TLisko* photo);
    void RefreshThumbnail();
    void OnImageParamsChange();
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    void Image1MouseMove(Qt::MouseButtons buttons, int x, int y);
    void Image1MouseUp(Qt::MouseButton button);
    // The sheet straightening: the flag, and whether the editor shows its result.
    void StraightenClick();
    void StraightResultClick();
    void sTabSheet2Show();
    // The editor's zoom: fitted, 1:1, a step in or out. It only changes what the screen shows; the
    // choice is kept in the settings store for the next start.
    void ZoomFitClick();
    void Zoom100Click();
    void ZoomInClick();
    void ZoomOutClick();
    EditorZoom Zoom() const { return zoom_; }
    // The zoom the picture is shown at now, the fitted one worked out for the box.
    double ShownZoom() const;
    // The previous or next photo of the list, while the editor is shown.
    void PrevPhotoClick();
    void NextPhotoClick();

    // Apply to many.
    void sButton1Click();

    const PhotoList& Photos() const { return photos_; }

    // Version identity, read once at creation.
    QString ProgramVersion;
    QString VersionCaption;

    std::int32_t PageCount = 0;
    TLisko* CurrentPhoto = nullptr;  // belongs to the photo list
    TLiskoData EditorCacheKey;
    QImage EditorBitmap;

    // Controls, named as the tests find them.
    QToolButton* sSpeedButton3;  // "Добавить файлы"
    QToolButton* sSpeedButton4;  // "Печать"
    QToolButton* sSpeedButton8;  // "Посоветовать другу"
    QToolButton* sSpeedButton6;  // "Написать отзыв"
    QToolButton* sSpeedButton5;  // "О программе"
    QToolButton* sSpeedButton7;  // "Форум", hidden
    QTabWidget* sPageControl2;   // left: list, preview
    QWidget* sTabSheet2;
    QWidget* sTabSheet4;
    QTabWidget* sPageControl1;  // right: editor, partner page, project site
    QWidget* sTabSheet3;
    QWidget* sTabSheet1;
    QWidget* sTabSheet5;
    TWebBrowser* WebBrowser1;    // partner page
    TWebBrowser* WebBrowser;     // project site
    QToolButton* sSpeedButton1;  // "Удалить отмеченные"
    QToolButton* sSpeedButton2;  // "Очистить список"
    QLabel* sWebLabel1;
    QTreeWidget* fileView;
    QGroupBox* sGroupBox1;           // "Изображение"
    QComboBox* sComboBox2;           // type
    QComboBox* sComboBox1;           // rotation
    QSpinBox* sSpinEdit1;            // brightness
    QSpinBox* sSpinEdit2;            // contrast
    QCheckBox* sCheckBoxStraighten;  // "Выровнять лист"
    QCheckBox* sCheckBoxStraightView;  // "Результат": the editor shows the straightened sheet
    QGroupBox* sGroupBox2;             // "Подрезка"
    QSpinBox* sSpinEdit3;              // crop left
    QSpinBox* sSpinEdit4;              // crop right
    QSpinBox* sSpinEdit5;              // crop top
    QSpinBox* sSpinEdit6;              // crop bottom
    QPushButton* sButton1;             // "Применить ко многим..."
    QToolButton* sButtonZoomFit;       // "По размеру", Ctrl+0
    QToolButton* sButtonZoom100;       // "1:1", Ctrl+1
    QToolButton* sButtonZoomOut;       // Ctrl+-
    QToolButton* sButtonZoomIn;        // Ctrl+=
    QLabel* sLabelZoom;                // the zoom shown
    QToolButton* sButtonPrevPhoto;     // Alt+Left
    QToolButton* sButtonNextPhoto;     // Alt+Right
    QScrollArea* sScrollBox1;
    QLabel* Image1;  // the editor's picture, exactly as large as its picture at the shown zoom
    QProgressBar* sProgressBar1;

    // The job buttons, beside the right-hand tabs.
    QToolButton* sSpeedButton9;   // "Сохранить", Ctrl+S
    QToolButton* sSpeedButton10;  // "Открыть", Ctrl+O

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildToolbar(QWidget* client);
    void BuildListTab();
    void BuildEditorTab();
    void LayOutEditorTab();
    void BuildPreviewTab();
    void BuildJobButtons();
    Job CurrentJob() const;
    // Imports the job's photos with progress; says which were skipped and why.
    QStringList ImportJob(const Job& job);
    // Imports one photo of a job with its settings; why it was skipped, or an empty text.
    QString ImportJobPhoto(const JobPhoto& photo);
    void ShowOpenedJob(const PageLayout& layout);
    // What the pages are composed from now: the list, the layout controls, the pictures, today.
    PageSources CurrentPageSources() const;
    void WireActions();
    void InsertEntryRow(int index);
    // The batch AddFiles starts, and the batches of the paths given while it runs.
    void ImportBatches(const QStringList& paths);
    // Opens what named a job while a batch ran, now that the batch has ended.
    void OpenWaitingPaths();
    // The imports of one batch, in order under the progress bar; false when the window closed or
    // the program ended meanwhile.
    bool ImportInOrder(const QStringList& files);
    // Files dropped from a file manager onto the list or the preview.
    bool HandleFileDrop(QEvent& event);
    // Steps of a removal that closing the window shares: the marked entries go, the entry at the
    // first marked position is marked instead.
    void RemoveMarkedEntries();
    int FirstMarkedIndex() const;
    // Runs a handler that may call back into the window; errors go to the standard error box.
    template <typename Handler>
    void Handle(Handler&& handler) {
        RunHandler(this, std::forward<Handler>(handler));
    }

    PhotoList photos_;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;
    bool shown_ = false;
    bool closed_ = false;
    bool adding_ = false;
    QStringList pendingFiles_;  // given while a batch runs
    // A drop or command line naming a job, given while a batch runs: the job would replace the
    // list under the batch, so all of it waits until the batch ends.
    QStringList waitingPaths_;
    QWidget* previewViewport_ = nullptr;
    bool applying_ = false;
    QString jobPath_;  // the job file last saved or opened, where the job dialogs start
    // Where the last press on the editor picture was, in the shown picture's pixels.
    int MouseDownX = 0;
    int MouseDownY = 0;
    // The editor tab's widgets, and the sheet's corners as shown and dragged there.
    std::unique_ptr<EditorPanel> editorPanel_;
    SheetHandleDrag sheetDrag_;
    // Whether the editor shows the sheet's handles on the unstraightened picture.
    bool ShowsSheetHandles(const TLisko& photo) const;
    void DrawEditorPicture(const TLisko& photo);
    // Puts a picture at 1:1 into the editor at the shown zoom.
    void ShowInEditor(const QImage& picture);
    // Shows the picture again at a new zoom, keeping the picture point at `anchor` (a point of
    // the box) under it; without an anchor, the box's centre.
    void SetZoom(EditorZoom zoom, std::optional<QPoint> anchor = std::nullopt);
    // Selects the photo `step` places from the first marked one, while the editor is shown.
    void StepPhoto(int step);
    bool EditorShown() const;
    EditorZoom zoom_;
};

}  // namespace lisko
