// The photo editor tab and apply-to-many: the parts of the main window that edit photos.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "app/Unit1.h"
#include "app/Unit3.h"
#include "editor/AndShrinkImage.h"
#include "editor/ApplyToMany.h"
#include "editor/EditorGeometry.h"
#include "editor/EditorModel.h"
#include "editor/EditorPanel.h"
#include "editor/SheetHandles.h"
#include "editor/Unit2.h"
#include "identity/SettingsStore.h"
#include "ui/Dialogs.h"

namespace lisko {

namespace {

// The settings store's value that keeps the editor's zoom, beside the reminder dates.
constexpr char kEditorZoomValue[] = "МасштабРедактора";

EditorZoom RememberedZoom() {
    SettingsStore store;
    return store.OpenKey()
               ? EditorZoom::FromText(store.ReadText(QString::fromUtf8(kEditorZoomValue)))
               : EditorZoom{};
}

void RememberZoom(const EditorZoom& zoom) {
    SettingsStore store;
    if (store.OpenKey()) store.WriteText(QString::fromUtf8(kEditorZoomValue), zoom.ToText());
}

QString ZoomCaption(double zoom) {
    return QStringLiteral("%1 %").arg(std::lround(zoom * 100));
}

}  // namespace

void TForm1::BuildEditorTab() {
    editorPanel_ = std::make_unique<EditorPanel>(sTabSheet3);
    const EditorPanel& panel = *editorPanel_;
    sGroupBox1 = panel.sGroupBox1;
    sComboBox2 = panel.sComboBox2;
    sComboBox1 = panel.sComboBox1;
    sSpinEdit1 = panel.sSpinEdit1;
    sSpinEdit2 = panel.sSpinEdit2;
    sCheckBoxStraighten = panel.sCheckBoxStraighten;
    sCheckBoxStraightView = panel.sCheckBoxStraightView;
    sGroupBox2 = panel.sGroupBox2;
    sSpinEdit3 = panel.sSpinEdit3;
    sSpinEdit4 = panel.sSpinEdit4;
    sSpinEdit5 = panel.sSpinEdit5;
    sSpinEdit6 = panel.sSpinEdit6;
    sButton1 = panel.sButton1;
    sButtonZoomFit = panel.sButtonZoomFit;
    sButtonZoom100 = panel.sButtonZoom100;
    sButtonZoomOut = panel.sButtonZoomOut;
    sButtonZoomIn = panel.sButtonZoomIn;
    sLabelZoom = panel.sLabelZoom;
    sButtonPrevPhoto = panel.sButtonPrevPhoto;
    sButtonNextPhoto = panel.sButtonNextPhoto;
    sScrollBox1 = panel.sScrollBox1;
    Image1 = panel.Image1;
    Image1->installEventFilter(this);
    sTabSheet3->installEventFilter(this);
    sScrollBox1->viewport()->installEventFilter(this);
    zoom_ = RememberedZoom();
    sLabelZoom->setText(ZoomCaption(ShownZoom()));

    // The keys work wherever the focus is in the window, the photo list included; each button
    // names its keys in its tooltip, and the ways besides them.
    const QString wheel = QStringLiteral("Ctrl + колесо мыши");
    const struct {
        QToolButton* button;
        QString text;
        QList<QKeySequence> keys;
        QString besides;
        void (TForm1::*handler)();
    } views[] = {
        {sButtonZoomFit,
         QStringLiteral("Показать снимок целиком"),
         {QKeySequence(Qt::CTRL | Qt::Key_0)},
         {},
         &TForm1::ZoomFitClick},
        {sButtonZoom100,
         QStringLiteral("Показать снимок в натуральную величину"),
         {QKeySequence(Qt::CTRL | Qt::Key_1)},
         {},
         &TForm1::Zoom100Click},
        {sButtonZoomOut,
         QStringLiteral("Уменьшить"),
         {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
         wheel,
         &TForm1::ZoomOutClick},
        {sButtonZoomIn,
         QStringLiteral("Увеличить"),
         {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)},
         wheel,
         &TForm1::ZoomInClick},
        {sButtonPrevPhoto,
         QStringLiteral("Предыдущий снимок списка"),
         {QKeySequence(Qt::ALT | Qt::Key_Left)},
         QStringLiteral("Page Up в списке"),
         &TForm1::PrevPhotoClick},
        {sButtonNextPhoto,
         QStringLiteral("Следующий снимок списка"),
         {QKeySequence(Qt::ALT | Qt::Key_Right)},
         QStringLiteral("Page Down в списке"),
         &TForm1::NextPhotoClick},
    };
    for (const auto& view : views) {
        QStringList ways;
        for (const QKeySequence& key : view.keys)
            ways << key.toString(QKeySequence::NativeText);
        if (!view.besides.isEmpty()) ways << view.besides;
        view.button->setToolTip(view.text + QStringLiteral(" (") + ways.join(QStringLiteral(", ")) +
                                QLatin1Char(')'));
        auto* action = new QAction(this);
        action->setShortcuts(view.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        const auto handler = view.handler;
        const auto run = [this, handler] { Handle([this, handler] { (this->*handler)(); }); };
        connect(view.button, &QToolButton::clicked, this, run);
        connect(action, &QAction::triggered, this, run);
    }

    for (QSpinBox* spin :
         {sSpinEdit1, sSpinEdit2, sSpinEdit3, sSpinEdit4, sSpinEdit5, sSpinEdit6}) {
        connect(spin, &QSpinBox::valueChanged, this,
                [this] { Handle([this] { OnImageParamsChange(); }); });
    }
    for (QComboBox* combo : {sComboBox1, sComboBox2}) {
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this] { Handle([this] { OnImageParamsChange(); }); });
    }
    connect(sCheckBoxStraighten, &QCheckBox::toggled, this,
            [this] { Handle([this] { StraightenClick(); }); });
    connect(sCheckBoxStraightView, &QCheckBox::toggled, this,
            [this] { Handle([this] { StraightResultClick(); }); });
    connect(sButton1, &QPushButton::clicked, this, [this] { Handle([this] { sButton1Click(); }); });
}

void TForm1::LayOutEditorTab() {
    editorPanel_->LayOut();
    // A fitted picture follows the box's size.
    if (zoom_.fit) SetZoom(zoom_);
}

void TForm1::SelectPhoto(TLisko* photo) {
    // While no photo is current, the change events raised by loading the controls write nothing.
    CurrentPhoto = nullptr;
    if (photo) {
        editorPanel_->Show(ControlsOf(*photo));
        sCheckBoxStraighten->setChecked(photo->Straighten);
        sCheckBoxStraightView->setEnabled(photo->Straighten);
    }
    sheetDrag_.Drop();
    CurrentPhoto = photo;
    ShowPhotoInEditor(photo);
}

void TForm1::ShowPhotoInEditor(TLisko* photo) {
    if (!photo) {
        if (form3_) {
            ShowInEditor(form3_->Image0);
        } else {
            Image1->adjustSize();
        }
        return;
    }
    // While the sheet's corners are being set the editor shows the picture unstraightened.
    const bool straightened = photo->Straighten && !ShowsSheetHandles(*photo);
    // Only these values change the rendering; a crop change reuses the cached one.
    const bool cached = photo->Rotation == EditorCacheKey.Rotation &&
                        photo->ImageType == EditorCacheKey.ImageType &&
                        photo->Brightness == EditorCacheKey.Brightness &&
                        photo->Contrast == EditorCacheKey.Contrast &&
                        photo->WorkFile == EditorCacheKey.WorkFile &&
                        straightened == EditorCacheKey.Straighten &&
                        (!straightened || photo->SheetCorners == EditorCacheKey.SheetCorners) &&
                        !EditorBitmap.isNull();
    if (!cached) {
        // The key names the rendering only once it exists: a rendering that fails (working copy
        // gone or damaged) must not leave the previous photo's picture under this photo's key.
        const bool flag = photo->Straighten;
        photo->Straighten = straightened;
        QImage rendering;
        try {
            rendering = photo->Render(false);
        } catch (...) {
            photo->Straighten = flag;
            throw;
        }
        photo->Straighten = flag;
        EditorBitmap = std::move(rendering);
        EditorCacheKey.Rotation = photo->Rotation;
        EditorCacheKey.ImageType = photo->ImageType;
        EditorCacheKey.Brightness = photo->Brightness;
        EditorCacheKey.Contrast = photo->Contrast;
        EditorCacheKey.WorkFile = photo->WorkFile;
        EditorCacheKey.Straighten = straightened;
        EditorCacheKey.SheetCorners = photo->SheetCorners;
    }
    if (ShowsSheetHandles(*photo)) {
        sheetDrag_.Show(*photo, photo->WorkingSize());
    }
    DrawEditorPicture(*photo);
}

bool TForm1::ShowsSheetHandles(const TLisko& photo) const {
    return photo.Straighten && photo.SheetCorners && !sCheckBoxStraightView->isChecked();
}

void TForm1::DrawEditorPicture(const TLisko& photo) {
    // The overlay is drawn on a copy, so the next change starts from the clean rendering.
    QImage shown = EditorBitmap.copy();
    if (ShowsSheetHandles(photo)) {
        DrawSheetOverlay(shown, sheetDrag_.Corners(), ShownZoom());
    } else {
        DrawCropOverlay(shown, CropAmounts(photo, shown.width(), shown.height()));
    }
    ShowInEditor(shown);
}

void TForm1::ShowInEditor(const QImage& picture) {
    const double zoom = ShownZoom();
    sLabelZoom->setText(ZoomCaption(zoom));
    const QSize size = ShownSize(picture.size(), zoom);
    // Smooth scaling is for the screen alone; the rendering and all made from it stay 1:1.
    Image1->setPixmap(QPixmap::fromImage(
        size == picture.size()
            ? picture
            : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    Image1->adjustSize();
}

double TForm1::ShownZoom() const {
    if (!zoom_.fit) return zoom_.percent / 100.0;
    const QSize picture = CurrentPhoto && !EditorBitmap.isNull() ? EditorBitmap.size()
                          : form3_                               ? form3_->Image0.size()
                                                                 : QSize();
    return FitZoom(picture, sScrollBox1->maximumViewportSize());
}

void TForm1::SetZoom(EditorZoom zoom, std::optional<QPoint> anchor) {
    QScrollBar* horizontal = sScrollBox1->horizontalScrollBar();
    QScrollBar* vertical = sScrollBox1->verticalScrollBar();
    const QPoint at = anchor.value_or(sScrollBox1->viewport()->rect().center());
    const double before = ShownZoom();
    // The picture point under the anchor, in 1:1 pixels.
    const QPointF point((horizontal->value() + at.x()) / before,
                        (vertical->value() + at.y()) / before);
    if (zoom != zoom_) {
        zoom_ = zoom;
        RememberZoom(zoom_);
    }
    if (CurrentPhoto && !EditorBitmap.isNull()) {
        DrawEditorPicture(*CurrentPhoto);
    } else if (!Image1->pixmap().isNull()) {
        ShowPhotoInEditor(nullptr);
    }
    sLabelZoom->setText(ZoomCaption(ShownZoom()));
    const double after = ShownZoom();
    horizontal->setValue(static_cast<int>(std::lround(point.x() * after)) - at.x());
    vertical->setValue(static_cast<int>(std::lround(point.y() * after)) - at.y());
}

void TForm1::ZoomFitClick() {
    SetZoom({.fit = true});
}

void TForm1::Zoom100Click() {
    SetZoom({});
}

void TForm1::ZoomInClick() {
    SetZoom(EditorZoom::StepIn(ShownZoom()));
}

void TForm1::ZoomOutClick() {
    SetZoom(EditorZoom::StepOut(ShownZoom()));
}

bool TForm1::EditorShown() const {
    return sPageControl1->currentWidget() == sTabSheet3;
}

void TForm1::PrevPhotoClick() {
    StepPhoto(-1);
}

void TForm1::NextPhotoClick() {
    StepPhoto(1);
}

void TForm1::StepPhoto(int step) {
    if (!EditorShown() || photos_.Count() == 0) return;
    const int first = FirstMarkedIndex();
    const int index = first < 0 ? 0 : std::clamp(first + step, 0, photos_.Count() - 1);
    QTreeWidgetItem* item = fileView->topLevelItem(index);
    fileView->setCurrentItem(item, 0,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    fileView->scrollToItem(item);
}

void TForm1::RefreshThumbnail() {
    if (EditorBitmap.isNull() || !CurrentPhoto) return;
    // While the corners are being set the editor's picture is not the sheet that prints.
    if (CurrentPhoto->Straighten && !EditorCacheKey.Straighten) {
        CurrentPhoto->RenderThumbnail();
        return;
    }
    CurrentPhoto->Thumbnail =
        StretchAndCombine(EditorBitmap, KeptRect(*CurrentPhoto, EditorBitmap.size()),
                          TLisko::ThumbnailSide, TLisko::ThumbnailSide);
}

void TForm1::OnImageParamsChange() {
    if (!CurrentPhoto) return;
    const std::optional<TLiskoData> changed = WithControls(*CurrentPhoto, editorPanel_->Values());
    // A refused change sends the controls back to the photo's values.
    if (!changed) {
        SelectPhoto(CurrentPhoto);
        return;
    }
    static_cast<TLiskoData&>(*CurrentPhoto) = *changed;
    ShowPhotoInEditor(CurrentPhoto);
    RefreshThumbnail();
    ShowPrintPreview();
}

void TForm1::Image1MouseDown(Qt::MouseButton button, int x, int y) {
    MouseDownX = x;
    MouseDownY = y;
    sheetDrag_.Drop();
    const PictureMapping mapping(EditorBitmap.size(), ShownZoom());
    if (button == Qt::LeftButton && CurrentPhoto && ShowsSheetHandles(*CurrentPhoto)) {
        sheetDrag_.Grab(mapping.PointAt({x, y}), ShownZoom());
        return;
    }
    if (button != Qt::RightButton || EditorBitmap.isNull() || !CurrentPhoto) return;
    CropAtClick(*CurrentPhoto, mapping.PixelAt({x, y}), mapping.Picture());
    SelectPhoto(CurrentPhoto);
    RefreshThumbnail();
    ShowPrintPreview();
}

void TForm1::Image1MouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (!(buttons & Qt::LeftButton)) return;
    if (sheetDrag_.Dragging() && CurrentPhoto) {
        sheetDrag_.MoveTo(PictureMapping(EditorBitmap.size(), ShownZoom()).PointAt({x, y}));
        DrawEditorPicture(*CurrentPhoto);
        return;
    }
    QScrollBar* horizontal = sScrollBox1->horizontalScrollBar();
    QScrollBar* vertical = sScrollBox1->verticalScrollBar();
    horizontal->setValue(horizontal->value() + MouseDownX - x);
    vertical->setValue(vertical->value() + MouseDownY - y);
}

void TForm1::Image1MouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !sheetDrag_.Dragging() || !CurrentPhoto) return;
    try {
        CurrentPhoto->SetSheetCorners(
            sheetDrag_.Release(*CurrentPhoto, CurrentPhoto->WorkingSize()));
    } catch (const std::invalid_argument&) {
        ShowPhotoInEditor(CurrentPhoto);  // back to the photo's own corners
        CurrentDialogs().ShowMessage(
            this, QStringLiteral("Выровнять лист"),
            QStringLiteral("Углы листа должны образовывать выпуклый четырёхугольник, обходя лист "
                           "по часовой стрелке от левого верхнего угла. Углы оставлены прежними."),
            QMessageBox::Warning);
        return;
    }
    ShowPhotoInEditor(CurrentPhoto);
    RefreshThumbnail();
    ShowPrintPreview();
}

void TForm1::StraightenClick() {
    if (!CurrentPhoto) return;
    const bool on = sCheckBoxStraighten->isChecked();
    bool found = !on || CurrentPhoto->SheetCorners;
    try {
        if (!found) found = CurrentPhoto->DetectSheetCorners();
    } catch (...) {
        const QSignalBlocker blocker(sCheckBoxStraighten);
        sCheckBoxStraighten->setChecked(false);
        throw;
    }
    if (!found) {
        const QSignalBlocker blocker(sCheckBoxStraighten);
        sCheckBoxStraighten->setChecked(false);
        CurrentDialogs().ShowMessage(
            this, QStringLiteral("Выровнять лист"),
            QStringLiteral("На снимке не найден целый лист бумаги. Снимок оставлен как есть."),
            QMessageBox::Information);
        return;
    }
    CurrentPhoto->Straighten = on;
    sCheckBoxStraightView->setEnabled(on);
    ShowPhotoInEditor(CurrentPhoto);
    RefreshThumbnail();
    ShowPrintPreview();
}

void TForm1::StraightResultClick() {
    if (CurrentPhoto) ShowPhotoInEditor(CurrentPhoto);
}

void TForm1::sTabSheet2Show() {
    sPageControl1->setCurrentIndex(0);
}

void TForm1::sButton1Click() {
    if (applying_) return;  // the dialog is modal; a second run could only come from a nested loop
    if (!CurrentPhoto) {
        CurrentDialogs().ShowMessage(
            this, QStringLiteral("Применить ко многим..."),
            QStringLiteral("Сначала выберите снимок, настройки которого нужно применить к другим."),
            QMessageBox::Information);
        return;
    }
    const ApplyRequest request = form2_->AskApplyToMany();
    if (request.modalResult != TForm2::Applied) return;

    const QScopedValueRollback running(applying_, true);
    // One photo would give the range 0..0, which the bar shows as busy for good.
    sProgressBar1->setRange(0, std::max(Photos().Count() - 1, 1));
    ApplyToMany run(Photos(), CurrentPhoto, request, [this](int index) {
        sProgressBar1->setValue(index);
        sProgressBar1->repaint();
    });
    try {
        run.Run();
    } catch (...) {
        sProgressBar1->setValue(0);
        throw;
    }
    ShowPrintPreview();
    sProgressBar1->setValue(0);
}

}  // namespace lisko
