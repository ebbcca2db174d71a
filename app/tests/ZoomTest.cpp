#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineF>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <optional>

#include "app/Program.h"
#include "app/tests/WindowFixture.h"
#include "app/tests/WindowTestMain.h"
#include "editor/EditorModel.h"
#include "editor/SheetHandles.h"
#include "photo/Sheet.h"
#include "raster/Jpeg.h"
#include "testsupport/FakeDialogs.h"
#include "testsupport/SheetPhotos.h"
#include "testsupport/TestRaster.h"

namespace lisko {

// The editor's zoom and its keys, driven through the real controls of the main window: whatever
// the zoom, a point of the shown picture acts on the picture pixel it shows, and nothing the
// program makes from a photo changes.
class ZoomTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir photos_;
    test::FakeDialogs dialogs_;
    std::optional<test::WindowFixture> fixture_;

    TForm1& Form() { return fixture_->Windows().form1; }
    TLisko& Photo(int i) { return Form().Photos().Photo(i); }
    QSize Shown() { return Form().Image1->pixmap().size(); }

    void AddPhotos(const QStringList& names) {
        QStringList paths;
        for (const QString& name : names)
            paths << photos_.filePath(name);
        dialogs_.answers.push_back(paths);
        QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
        QCOMPARE(Form().Photos().Count(), static_cast<int>(names.size()));
    }

    void Select(int i) {
        Form().fileView->clearSelection();
        Form().fileView->topLevelItem(i)->setSelected(true);
        QCOMPARE(Form().CurrentPhoto, &Photo(i));
    }

    // Sets a zoom the way the user does: "По размеру", or from 1:1 step by step.
    void ZoomTo(int percent) {
        if (percent == 0) {
            QTest::mouseClick(Form().sButtonZoomFit, Qt::LeftButton);
            QVERIFY(Form().Zoom().fit);
            return;
        }
        QTest::mouseClick(Form().sButtonZoom100, Qt::LeftButton);
        QToolButton* step = percent > 100 ? Form().sButtonZoomIn : Form().sButtonZoomOut;
        while (Form().Zoom().percent != percent) {
            const int before = Form().Zoom().percent;
            QTest::mouseClick(step, Qt::LeftButton);
            QVERIFY2(Form().Zoom().percent != before, "the step never reached the zoom");
        }
        QCOMPARE(Form().sLabelZoom->text(), QStringLiteral("%1 %").arg(percent));
    }

    // Mouse events straight to the picture: at a large zoom most of it lies outside the window.
    void Send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons, QPoint at) {
        QMouseEvent event(type, QPointF(at), Form().Image1->mapToGlobal(QPointF(at)), button,
                          buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(Form().Image1, &event);
    }
    void RightClick(QPoint at) {
        Send(QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, at);
        Send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, at);
    }
    void Drag(QPoint from, QPoint to) {
        Send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, from);
        Send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, to);
        Send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, to);
    }

    static QList<int> Crops(const TLisko& p) {
        return {p.CropLeft, p.CropRight, p.CropTop, p.CropBottom};
    }

    static void SaveJpeg(const TFastDIB& raster, const QString& path) {
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(raster, 85);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<qint64>(jpeg.size()));
    }

    // The zooms of the tables: 0 stands for "По размеру".
    static void AddZoomRows(const char* point, const QPointF& share) {
        for (const int percent : {25, 50, 67, 100, 150, 400, 0}) {
            QTest::addRow("%s at %d %%", point, percent) << percent << share;
        }
    }

private slots:
    void initTestCase() {
        QVERIFY(photos_.isValid());
        // Twins: one is changed at a zoom, the other at 1:1.
        for (const char* name : {"twin_a.jpg", "twin_b.jpg"})
            SaveJpeg(test::PageLike24(1000, 1500, 7), photos_.filePath(QString::fromLatin1(name)));
        SaveJpeg(test::PageLike24(1500, 1000, 8),
                 photos_.filePath(QStringLiteral("landscape.jpg")));
        SaveJpeg(test::PageLike24(1, 2000, 9), photos_.filePath(QStringLiteral("tall.jpg")));
        SaveJpeg(test::PageLike24(2000, 1, 10), photos_.filePath(QStringLiteral("wide.jpg")));
        for (const test::SheetScene& scene : test::SheetScenes()) {
            if (scene.name == QStringLiteral("plain_desk")) {
                test::SaveSheetPhoto(scene, photos_.filePath(QStringLiteral("sheet_a.jpg")));
                test::SaveSheetPhoto(scene, photos_.filePath(QStringLiteral("sheet_b.jpg")));
            }
        }
    }

    void init() {
        dialogs_ = test::FakeDialogs();
        fixture_.emplace(dialogs_);
        Form().show();
        Form().sPageControl2->setCurrentIndex(0);
    }

    // The zoom is kept in the run's store: the next test starts at the default again.
    void cleanup() {
        Form().Zoom100Click();
        fixture_.reset();
    }

    void oneToOneIsTheDefaultAndTheRowLeavesTheLayoutAlone() {
        QCOMPARE(Form().Zoom(), EditorZoom{});
        QCOMPARE(Form().sLabelZoom->text(), QStringLiteral("100 %"));
        QCOMPARE(Form().sScrollBox1->y(), 89);
        // The row sits between the crop group and the scroll box, clear of the other controls.
        for (QWidget* control : {static_cast<QWidget*>(Form().sButtonZoomFit),
                                 static_cast<QWidget*>(Form().sButtonNextPhoto),
                                 static_cast<QWidget*>(Form().sLabelZoom)}) {
            QVERIFY(control->geometry().top() >= Form().sGroupBox2->geometry().bottom());
            QVERIFY(control->geometry().bottom() < Form().sScrollBox1->y());
            QVERIFY(control->geometry().left() > Form().sGroupBox1->geometry().right());
            QVERIFY(control->geometry().right() < Form().sScrollBox1->geometry().right());
        }
    }

    // A right click at a zoom crops as a right click at 1:1 on the pixel it shows; the rendering
    // and the thumbnail are those the same crop gives at 1:1.
    void rightClickActsOnTheShownPixel_data() {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QPointF>("share");  // of the shown picture
        AddZoomRows("left", {0.1, 0.5});
        AddZoomRows("bottom", {0.45, 0.93});
        AddZoomRows("right", {0.77, 0.6});
        AddZoomRows("top", {0.5, 0.02});
    }

    void rightClickActsOnTheShownPixel() {
        QFETCH(int, percent);
        QFETCH(QPointF, share);
        AddPhotos({QStringLiteral("twin_a.jpg"), QStringLiteral("twin_b.jpg")});
        Select(0);
        ZoomTo(percent);
        const QSize shown = Shown();
        QCOMPARE(shown, ShownSize(Form().EditorBitmap.size(), Form().ShownZoom()));
        const QPoint at(static_cast<int>(shown.width() * share.x()),
                        static_cast<int>(shown.height() * share.y()));
        RightClick(at);
        const QPoint pixel =
            PictureMapping(Form().EditorBitmap.size(), Form().ShownZoom()).PixelAt(at);
        QVERIFY2(Crops(Photo(0)) != (QList<int>{0, 0, 0, 0}), "the click cropped nothing");
        QCOMPARE(Form().sSpinEdit3->value(), Photo(0).CropLeft);
        QCOMPARE(Form().sSpinEdit6->value(), Photo(0).CropBottom);
        QCOMPARE(Form().EditorBitmap, Photo(0).Render(false));

        ZoomTo(100);
        Select(1);
        RightClick(pixel);
        QCOMPARE(Crops(Photo(0)), Crops(Photo(1)));
        QCOMPARE(Photo(0).Thumbnail, Photo(1).Thumbnail);
        QCOMPARE(Photo(0).Render(false), Photo(1).Render(false));
    }

    // A sheet corner dragged at a zoom lands on the picture point the pointer shows.
    void sheetHandleDragLandsOnTheShownPoint_data() {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("corner");
        for (const int corner : {0, 2}) {
            for (const int percent : {25, 50, 100, 200, 400, 0})
                QTest::addRow("corner %d at %d %%", corner, percent) << percent << corner;
        }
    }

    void sheetHandleDragLandsOnTheShownPoint() {
        QFETCH(int, percent);
        QFETCH(int, corner);
        AddPhotos({QStringLiteral("sheet_a.jpg")});
        Select(0);
        Form().sCheckBoxStraighten->click();
        QVERIFY(Photo(0).SheetCorners);
        ZoomTo(percent);
        const double zoom = Form().ShownZoom();
        const SheetQuad old = *Photo(0).SheetCorners;
        const QSize working = Photo(0).WorkingSize();
        const SheetQuad shownCorners = TurnQuad(old, Photo(0).TurnOf(), working);
        const QPoint from = (shownCorners[static_cast<std::size_t>(corner)] * zoom).toPoint();
        const QPoint to = from + QPoint(-12, 9);
        QScrollBar* vertical = Form().sScrollBox1->verticalScrollBar();
        const int scrolled = vertical->value();
        Drag(from, to);

        const QPointF expected =
            UnturnPoint(PictureMapping(Form().EditorBitmap.size(), zoom).PointAt(to),
                        Photo(0).TurnOf(), working);
        const SheetQuad now = *Photo(0).SheetCorners;
        for (std::size_t i = 0; i < 4; ++i) {
            if (static_cast<int>(i) == corner) {
                QVERIFY2(
                    QLineF(now[i], expected).length() < 0.01,
                    qPrintable(QStringLiteral("corner at %1, %2").arg(now[i].x()).arg(now[i].y())));
            } else {
                QCOMPARE(now[i], old[i]);
            }
        }
        QCOMPARE(vertical->value(), scrolled);
    }

    // Away from the handles a left drag scrolls by the pointer's way on the screen at any zoom.
    void leftDragScrollsAtEveryZoom_data() {
        QTest::addColumn<int>("percent");
        for (const int percent : {67, 100, 200, 400})
            QTest::addRow("%d %%", percent) << percent;
    }

    void leftDragScrollsAtEveryZoom() {
        QFETCH(int, percent);
        AddPhotos({QStringLiteral("twin_a.jpg")});
        Select(0);
        ZoomTo(percent);
        QScrollBar* horizontal = Form().sScrollBox1->horizontalScrollBar();
        QScrollBar* vertical = Form().sScrollBox1->verticalScrollBar();
        horizontal->setValue(0);
        vertical->setValue(0);
        QVERIFY(vertical->maximum() > 100);
        Drag(QPoint(200, 300), QPoint(150, 240));
        QCOMPARE(vertical->value(), 60);
        QCOMPARE(horizontal->value(), horizontal->maximum() > 0 ? 50 : 0);
        QCOMPARE(Crops(Photo(0)), (QList<int>{0, 0, 0, 0}));
    }

    // "По размеру" shows the whole picture in the box, filling it along one side, and follows the
    // box when the window is resized.
    void fitShowsTheWholePicture_data() {
        QTest::addColumn<QString>("photo");
        QTest::newRow("portrait") << QStringLiteral("twin_a.jpg");
        QTest::newRow("landscape") << QStringLiteral("landscape.jpg");
        QTest::newRow("1 x 2000") << QStringLiteral("tall.jpg");
        QTest::newRow("2000 x 1") << QStringLiteral("wide.jpg");
    }

    void fitShowsTheWholePicture() {
        QFETCH(QString, photo);
        AddPhotos({photo});
        Select(0);
        QTest::mouseClick(Form().sButtonZoomFit, Qt::LeftButton);
        for (const QSize window : {QSize(983, 761), QSize(1200, 900), QSize(900, 640)}) {
            Form().resize(window);
            const QSize box = Form().sScrollBox1->viewport()->size();
            const QSize shown = Shown();
            QVERIFY2(shown.width() <= box.width() && shown.height() <= box.height(),
                     qPrintable(QStringLiteral("%1 x %2 in %3 x %4")
                                    .arg(shown.width())
                                    .arg(shown.height())
                                    .arg(box.width())
                                    .arg(box.height())));
            QVERIFY(shown.width() == box.width() || shown.height() == box.height());
            QCOMPARE(Form().sScrollBox1->horizontalScrollBar()->maximum(), 0);
            QCOMPARE(Form().sScrollBox1->verticalScrollBar()->maximum(), 0);
            QCOMPARE(Form().sLabelZoom->text(),
                     QStringLiteral("%1 %").arg(std::lround(Form().ShownZoom() * 100)));
        }
        QCOMPARE(Form().EditorBitmap, Photo(0).Render(false));
    }

    // Ctrl and the wheel step the zoom and keep the picture point under the pointer.
    void ctrlWheelZoomsAboutThePointer() {
        AddPhotos({QStringLiteral("twin_a.jpg")});
        Select(0);
        QWidget* viewport = Form().sScrollBox1->viewport();
        QScrollBar* horizontal = Form().sScrollBox1->horizontalScrollBar();
        QScrollBar* vertical = Form().sScrollBox1->verticalScrollBar();
        horizontal->setValue(120);
        vertical->setValue(300);
        const QPoint at(200, 150);
        const QPointF picturePoint(120 + 200, 300 + 150);
        for (const auto& [delta, percent] : {std::pair{120, 125}, {120, 150}, {-120, 125}}) {
            QWheelEvent wheel(QPointF(at), viewport->mapToGlobal(QPointF(at)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::ControlModifier,
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(viewport, &wheel);
            QCOMPARE(Form().Zoom().percent, percent);
            const double zoom = percent / 100.0;
            QVERIFY(std::abs((horizontal->value() + at.x()) / zoom - picturePoint.x()) <= 1);
            QVERIFY(std::abs((vertical->value() + at.y()) / zoom - picturePoint.y()) <= 1);
        }
    }

    // The choice is kept for the next start.
    void theZoomIsKeptForTheNextStart() {
        QTest::mouseClick(Form().sButtonZoomFit, Qt::LeftButton);
        fixture_->CloseWindows();
        fixture_->OpenWindows();
        QVERIFY(Form().Zoom().fit);
        ZoomTo(200);
        fixture_->CloseWindows();
        fixture_->OpenWindows();
        QCOMPARE(Form().Zoom(), (EditorZoom{.percent = 200}));
        QCOMPARE(Form().sLabelZoom->text(), QStringLiteral("200 %"));
    }

    // The keys work from the photo list; each button names them in its tooltip.
    void keysWorkFromThePhotoList() {
        AddPhotos({QStringLiteral("twin_a.jpg"), QStringLiteral("twin_b.jpg"),
                   QStringLiteral("landscape.jpg")});
        Select(0);
        QTreeWidget* list = Form().fileView;
        Form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&Form()));
        list->setFocus();
        QVERIFY(list->hasFocus());

        QTest::keyClick(list, Qt::Key_0, Qt::ControlModifier);
        QVERIFY(Form().Zoom().fit);
        QTest::keyClick(list, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(Form().Zoom(), EditorZoom{});
        QTest::keyClick(list, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(Form().Zoom().percent, 125);
        QTest::keyClick(list, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(Form().Zoom().percent, 75);

        QTest::keyClick(list, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(Form().CurrentPhoto, &Photo(1));
        QTest::keyClick(list, Qt::Key_PageDown);
        QCOMPARE(Form().CurrentPhoto, &Photo(2));
        QTest::keyClick(list, Qt::Key_PageDown);  // the last one stays
        QCOMPARE(Form().CurrentPhoto, &Photo(2));
        QTest::keyClick(list, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(Form().CurrentPhoto, &Photo(1));
        QTest::keyClick(list, Qt::Key_PageUp);
        QCOMPARE(Form().CurrentPhoto, &Photo(0));
        QCOMPARE(list->selectedItems().size(), 1);
        // The zoom stays with the next photo.
        QCOMPARE(Shown(), ShownSize(Form().EditorBitmap.size(), 0.75));

        // With the editor hidden behind another tab, the list keeps its own keys.
        Form().sPageControl1->setCurrentIndex(1);
        QTest::keyClick(list, Qt::Key_Right, Qt::AltModifier);
        QCOMPARE(Form().CurrentPhoto, &Photo(0));

        // Key names read as the window shows them, in Russian.
        const auto key = [](auto combination) {
            return QKeySequence(combination).toString(QKeySequence::NativeText);
        };
        const QList<std::pair<QToolButton*, QString>> tooltips = {
            {Form().sButtonZoomFit, key(Qt::CTRL | Qt::Key_0)},
            {Form().sButtonZoom100, key(Qt::CTRL | Qt::Key_1)},
            {Form().sButtonZoomIn, key(Qt::CTRL | Qt::Key_Equal)},
            {Form().sButtonZoomIn, QStringLiteral("Ctrl + колесо мыши")},
            {Form().sButtonZoomOut, key(Qt::CTRL | Qt::Key_Minus)},
            {Form().sButtonPrevPhoto, key(Qt::ALT | Qt::Key_Left)},
            {Form().sButtonPrevPhoto, QStringLiteral("Page Up")},
            {Form().sButtonNextPhoto, key(Qt::ALT | Qt::Key_Right)},
            {Form().sButtonNextPhoto, QStringLiteral("Page Down")},
        };
        for (const auto& [button, keys] : tooltips)
            QVERIFY2(button->toolTip().contains(keys), qPrintable(button->toolTip()));
    }
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::ZoomTest>(); });
}

#include "ZoomTest.moc"
