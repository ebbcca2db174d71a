// The photo editor tab and apply-to-many: the parts of the main window that edit photos.

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>
#include <chrono>
#include <deque>
#include <future>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/Unit1.h"
#include "app/Unit3.h"
#include "list/AndShrink.h"
#include "list/EditorGeometry.h"
#include "list/SheetHandles.h"
#include "list/Unit2.h"
#include "photo/Sheet.h"
#include "raster/RowBands.h"
#include "ui/Dialogs.h"

namespace lisko {

namespace {

// The scroll box starts below the two groups and keeps these distances to the tab's right and
// bottom edges.
constexpr int kScrollTop = 89;
constexpr int kScrollRightMargin = 8;
constexpr int kScrollBottomMargin = 5;

// How long apply to many waits for a rendering before it lets the window handle events again.
constexpr std::chrono::milliseconds kEventPause{5};

// A photo's parameters after apply to many, and the thumbnail they give.
struct AppliedPhoto {
    TLiskoData parameters;
    QImage thumbnail;
};

// The parameters the flags take over from the source photo; the sheet is left to the worker.
TLiskoData AppliedParameters(const TLiskoData& photo, const TLiskoData& source, ApplyFlags flags) {
    TLiskoData p = photo;
    if (flags & ApplyFlag::ApplyType) p.ImageType = source.ImageType;
    if (flags & ApplyFlag::ApplyRotation) p.Rotation = source.Rotation;
    if (flags & ApplyFlag::ApplyTone) {
        p.Brightness = source.Brightness;
        p.Contrast = source.Contrast;
    }
    if (flags & ApplyFlag::ApplyCrop) {
        p.CropLeft = source.CropLeft;
        p.CropRight = source.CropRight;
        p.CropTop = source.CropTop;
        p.CropBottom = source.CropBottom;
    }
    return p;
}

// Runs on a worker thread with copies only. With `straighten`, each photo is straightened along
// its own sheet when `on`: corners already set, by hand or found before, are kept, and a photo
// without a whole sheet stays unstraightened.
AppliedPhoto ApplyOnWorker(TLiskoData parameters, QSize workingSize, bool straighten, bool on) {
    if (straighten) {
        if (on && !parameters.SheetCorners) {
            if (std::optional<SheetQuad> found = DetectSheetIn(parameters.WorkFile)) {
                CheckSheetQuad(*found, workingSize.width(), workingSize.height());
                parameters.SheetCorners = found;
            }
        }
        parameters.Straighten = on && parameters.SheetCorners.has_value();
    }
    QImage thumbnail = RenderThumbnail(parameters, workingSize);
    return {std::move(parameters), std::move(thumbnail)};
}

QLabel* Caption(QWidget* parent, const QString& text, int right, int top) {
    auto* label = new QLabel(text, parent);
    label->adjustSize();
    label->move(right - label->width() - 4, top + 2);
    return label;
}

QSpinBox* SpinEdit(QWidget* parent, const char* name, const QString& caption, const QRect& place,
                   int minimum, int maximum, int value) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    spin->setGeometry(place);
    Caption(parent, caption, place.left(), place.top());
    return spin;
}

QComboBox* ComboBox(QWidget* parent, const char* name, const QString& caption, const QRect& place,
                    const QStringList& items, int index) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems(items);
    combo->setCurrentIndex(index);
    combo->setGeometry(place);
    Caption(parent, caption, place.left(), place.top());
    return combo;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption, QPoint place) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->move(place);
    box->adjustSize();
    return box;
}

QGroupBox* GroupBox(QWidget* parent, const char* name, const QString& title, const QRect& place) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(place);
    return group;
}

}  // namespace

void TForm1::BuildEditorTab() {
    sGroupBox1 = GroupBox(sTabSheet3, "sGroupBox1", QStringLiteral("Изображение"), {8, 0, 209, 89});
    sComboBox2 = ComboBox(sGroupBox1, "sComboBox2", QStringLiteral("Тип:"), {32, 16, 73, 21},
                          {QStringLiteral("Цветное"), QStringLiteral("Ч/Б")}, 0);
    sComboBox1 = ComboBox(sGroupBox1, "sComboBox1", QStringLiteral("Поворот:"), {56, 40, 49, 21},
                          {QStringLiteral("Нет"), QStringLiteral("+90"), QStringLiteral("-90 "),
                           QStringLiteral("180")},
                          -1);
    sSpinEdit1 = SpinEdit(sGroupBox1, "sSpinEdit1", QStringLiteral("Яркость"), {160, 16, 41, 21},
                          -20, 20, 0);
    sSpinEdit2 = SpinEdit(sGroupBox1, "sSpinEdit2", QStringLiteral("Контраст"), {160, 40, 41, 21},
                          -20, 20, 0);
    sCheckBoxStraighten =
        CheckBox(sGroupBox1, "sCheckBoxStraighten", QStringLiteral("Выровнять лист"), {8, 64});
    sCheckBoxStraighten->setToolTip(QStringLiteral(
        "Найти лист бумаги на снимке и выпрямить его; углы можно передвинуть мышью"));
    sCheckBoxStraightView =
        CheckBox(sGroupBox1, "sCheckBoxStraightView", QStringLiteral("Результат"), {128, 64});
    sCheckBoxStraightView->setToolTip(QStringLiteral("Показать выпрямленный лист"));
    sCheckBoxStraightView->setEnabled(false);

    sGroupBox2 = GroupBox(sTabSheet3, "sGroupBox2", QStringLiteral("Подрезка"), {224, 0, 185, 65});
    sSpinEdit3 =
        SpinEdit(sGroupBox2, "sSpinEdit3", QStringLiteral("Слева"), {48, 16, 41, 21}, 0, 50, 1);
    sSpinEdit4 =
        SpinEdit(sGroupBox2, "sSpinEdit4", QStringLiteral("Справа"), {48, 40, 41, 21}, 0, 50, 0);
    sSpinEdit5 =
        SpinEdit(sGroupBox2, "sSpinEdit5", QStringLiteral("Сверху"), {136, 16, 41, 21}, 0, 50, 0);
    sSpinEdit6 =
        SpinEdit(sGroupBox2, "sSpinEdit6", QStringLiteral("Снизу"), {136, 40, 41, 21}, 0, 50, 0);

    sButton1 = new QPushButton(QStringLiteral("Применить\nко многим..."), sTabSheet3);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setGeometry(416, 8, 73, 49);

    sScrollBox1 = new QScrollArea(sTabSheet3);
    sScrollBox1->setObjectName(QStringLiteral("sScrollBox1"));
    sScrollBox1->setGeometry(8, kScrollTop, 514, 649 + 65 - kScrollTop);
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setToolTip(QStringLiteral("Левая кнопка  - прокрутка, правая - кадрирование"));
    Image1->setCursor(Qt::SizeAllCursor);
    Image1->installEventFilter(this);
    sScrollBox1->setWidget(Image1);
    sTabSheet3->installEventFilter(this);

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
    sScrollBox1->setGeometry(8, kScrollTop, sTabSheet3->width() - 8 - kScrollRightMargin,
                             sTabSheet3->height() - kScrollTop - kScrollBottomMargin);
}

void TForm1::SelectPhoto(TLisko* photo) {
    // While no photo is current, the change events raised by loading the controls write nothing.
    CurrentPhoto = nullptr;
    if (photo) {
        sSpinEdit1->setValue(photo->Brightness);
        sSpinEdit2->setValue(photo->Contrast);
        sSpinEdit3->setValue(photo->CropLeft);
        sSpinEdit4->setValue(photo->CropRight);
        sSpinEdit5->setValue(photo->CropTop);
        sSpinEdit6->setValue(photo->CropBottom);
        sComboBox1->setCurrentIndex(photo->Rotation);
        sComboBox2->setCurrentIndex(photo->ImageType);
        sCheckBoxStraighten->setChecked(photo->Straighten);
        sCheckBoxStraightView->setEnabled(photo->Straighten);
    }
    draggedCorner_.reset();
    CurrentPhoto = photo;
    ShowPhotoInEditor(photo);
}

void TForm1::ShowPhotoInEditor(TLisko* photo) {
    if (!photo) {
        if (form3_) Image1->setPixmap(QPixmap::fromImage(form3_->Image0));
        Image1->adjustSize();
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
        shownCorners_ = TurnQuad(*photo->SheetCorners, photo->TurnOf(), photo->WorkingSize());
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
        DrawSheetOverlay(shown, shownCorners_);
    } else {
        DrawCropOverlay(shown, CropAmounts(photo, shown.width(), shown.height()));
    }
    Image1->setPixmap(QPixmap::fromImage(shown));
    Image1->adjustSize();
}

void TForm1::RefreshThumbnail() {
    if (EditorBitmap.isNull() || !CurrentPhoto) return;
    // While the corners are being set the editor's picture is not the sheet that prints.
    if (CurrentPhoto->Straighten && !EditorCacheKey.Straighten) {
        CurrentPhoto->RenderThumbnail();
        return;
    }
    const int w = EditorBitmap.width();
    const int h = EditorBitmap.height();
    const CropPixels crop = CropAmounts(*CurrentPhoto, w, h);
    const QRect kept(crop.left, crop.top, w - crop.left - crop.right, h - crop.top - crop.bottom);
    CurrentPhoto->Thumbnail =
        StretchAndCombine(EditorBitmap, kept, TLisko::ThumbnailSide, TLisko::ThumbnailSide);
}

void TForm1::OnImageParamsChange() {
    if (!CurrentPhoto) return;
    const int cropLeft = sSpinEdit3->value();
    const int cropRight = sSpinEdit4->value();
    const int cropTop = sSpinEdit5->value();
    const int cropBottom = sSpinEdit6->value();
    // Two crops of 50 % on one axis would leave nothing to print: the change is refused and the
    // controls go back to the photo's values.
    if (cropLeft + cropRight >= 100 || cropTop + cropBottom >= 100) {
        SelectPhoto(CurrentPhoto);
        return;
    }
    CurrentPhoto->Brightness = sSpinEdit1->value();
    CurrentPhoto->Contrast = sSpinEdit2->value();
    CurrentPhoto->CropLeft = cropLeft;
    CurrentPhoto->CropRight = cropRight;
    CurrentPhoto->CropTop = cropTop;
    CurrentPhoto->CropBottom = cropBottom;
    CurrentPhoto->Rotation = sComboBox1->currentIndex();
    CurrentPhoto->ImageType = sComboBox2->currentIndex();
    ShowPhotoInEditor(CurrentPhoto);
    RefreshThumbnail();
    ShowPrintPreview();
}

void TForm1::Image1MouseDown(Qt::MouseButton button, int x, int y) {
    MouseDownX = x;
    MouseDownY = y;
    draggedCorner_.reset();
    if (button == Qt::LeftButton && CurrentPhoto && ShowsSheetHandles(*CurrentPhoto)) {
        draggedCorner_ = HandleAt(shownCorners_, QPointF(x + 0.5, y + 0.5));
        return;
    }
    if (button != Qt::RightButton || EditorBitmap.isNull() || !CurrentPhoto) return;
    if (const auto crop = CropFromClick(x, y, EditorBitmap.width(), EditorBitmap.height())) {
        ApplyEdgeCrop(*CurrentPhoto, *crop);
    }
    SelectPhoto(CurrentPhoto);
    RefreshThumbnail();
    ShowPrintPreview();
}

void TForm1::Image1MouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (!(buttons & Qt::LeftButton)) return;
    if (draggedCorner_ && CurrentPhoto) {
        // The corner follows the pointer but stays on the picture.
        shownCorners_[static_cast<std::size_t>(*draggedCorner_)] =
            QPointF(std::clamp(x + 0.5, 0.0, static_cast<double>(EditorBitmap.width())),
                    std::clamp(y + 0.5, 0.0, static_cast<double>(EditorBitmap.height())));
        DrawEditorPicture(*CurrentPhoto);
        return;
    }
    QScrollBar* horizontal = sScrollBox1->horizontalScrollBar();
    QScrollBar* vertical = sScrollBox1->verticalScrollBar();
    horizontal->setValue(horizontal->value() + MouseDownX - x);
    vertical->setValue(vertical->value() + MouseDownY - y);
}

void TForm1::Image1MouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !draggedCorner_ || !CurrentPhoto) return;
    draggedCorner_.reset();
    try {
        CurrentPhoto->SetSheetCorners(
            UnturnQuad(shownCorners_, CurrentPhoto->TurnOf(), CurrentPhoto->WorkingSize()));
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

    // The photos in scope, fixed now. Events are processed while the photos are worked on, so a
    // photo may be removed meanwhile: it is looked up again and never touched after its removal.
    const int count = Photos().Count();
    std::vector<TLisko*> photos;
    for (int i = 0; i < count; ++i)
        photos.push_back(&Photos().Photo(i));

    applying_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{applying_};
    // One photo would give the range 0..0, which the bar shows as busy for good.
    sProgressBar1->setRange(0, std::max(count - 1, 1));

    // Each photo's new parameters are worked out here when its turn to start comes; its sheet
    // search and rendering run on another thread, at most one per core, and the results are taken
    // in the list's order. A photo changes only when its result is taken, so a failure leaves the
    // photos after it as they were.
    struct Started {
        int index;
        TLisko* photo;
        TLiskoData before;
        std::future<AppliedPhoto> result;
    };
    std::deque<Started> started;
    const auto workers = static_cast<std::size_t>(RasterThreads());
    int next = 0;
    bool sourceGone = false;
    while (!started.empty() || (next < count && !sourceGone)) {
        while (next < count && !sourceGone && started.size() < workers) {
            const int i = next++;
            if (request.scope == ApplyScope::ScopeOdd && i % 2 == 1) continue;
            if (request.scope == ApplyScope::ScopeEven && i % 2 == 0) continue;
            TLisko* photo = photos[static_cast<std::size_t>(i)];
            if (!Photos().IndexOfPhoto(photo)) continue;
            // The values are read anew for each photo: the editor may have changed them
            // meanwhile, or the current photo may be gone.
            if (!CurrentPhoto) {
                sourceGone = true;
                break;
            }
            TLiskoData wanted = AppliedParameters(*photo, *CurrentPhoto, request.flags);
            const bool straighten = request.flags.testFlag(ApplyFlag::ApplyStraighten);
            const bool straightenOn = straighten && CurrentPhoto->Straighten;
            started.push_back({i, photo, *photo,
                               std::async(std::launch::async, ApplyOnWorker, std::move(wanted),
                                          photo->WorkingSize(), straighten, straightenOn)});
        }
        if (started.empty()) continue;

        Started& first = started.front();
        sProgressBar1->setValue(first.index);
        sProgressBar1->repaint();
        do {
            QCoreApplication::processEvents();
        } while (first.result.wait_for(kEventPause) != std::future_status::ready);
        AppliedPhoto applied;
        try {
            applied = first.result.get();
        } catch (...) {
            sProgressBar1->setValue(0);
            throw;  // the photos still under way are waited for as they go
        }
        // A photo removed, or changed in the editor since its start, keeps what it has now.
        if (Photos().IndexOfPhoto(first.photo) && *first.photo == first.before) {
            static_cast<TLiskoData&>(*first.photo) = std::move(applied.parameters);
            first.photo->Thumbnail = std::move(applied.thumbnail);
        }
        started.pop_front();
    }
    ShowPrintPreview();
    sProgressBar1->setValue(0);
}

}  // namespace lisko
