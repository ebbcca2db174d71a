#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>
#include <optional>

#include "app/Program.h"
#include "app/tests/WindowFixture.h"
#include "app/tests/WindowTestMain.h"
#include "editor/AndShrinkImage.h"
#include "raster/Jpeg.h"
#include "testsupport/FakeDialogs.h"
#include "testsupport/TestRaster.h"
#include "ui/Application.h"

namespace lisko {

// The editor tab and apply-to-many, driven through the real controls of the main window.
class EditorTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir photos_;
    test::FakeDialogs dialogs_;
    std::optional<test::WindowFixture> fixture_;

    TForm1& Form() { return fixture_->Windows().form1; }
    TLisko& Photo(int i) { return Form().Photos().Photo(i); }

    // Adds photos named p0.jpg ... of a portrait 1000 x 1500 page, so a rendering is 1000 x 1500.
    void AddPhotos(int count) {
        QStringList paths;
        for (int i = 0; i < count; ++i)
            paths << photos_.filePath(QStringLiteral("p%1.jpg").arg(i));
        dialogs_.answers.push_back(paths);
        QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
        QCOMPARE(Form().Photos().Count(), count);
    }

    void Select(int i) {
        Form().fileView->clearSelection();
        Form().fileView->topLevelItem(i)->setSelected(true);
        QCOMPARE(Form().CurrentPhoto, &Photo(i));
    }

    QImage Shown() const { return fixture_->Windows().form1.Image1->pixmap().toImage(); }

    // Answers the apply-to-many dialog: ticks the given boxes and picks the scope.
    void AnswerApply(std::initializer_list<QCheckBox * TForm2::*> boxes,
                     QRadioButton* TForm2::*scope, int result = TForm2::Applied) {
        dialogs_.modal = [boxes, scope, result](QDialog& dialog) {
            auto& form2 = static_cast<TForm2&>(dialog);
            for (QCheckBox* box :
                 {form2.sCheckBox1, form2.sCheckBox2, form2.sCheckBox3, form2.sCheckBox4}) {
                box->setChecked(false);
            }
            for (auto box : boxes)
                (form2.*box)->setChecked(true);
            (form2.*scope)->setChecked(true);
            return result;
        };
    }

private slots:
    void initTestCase() {
        QVERIFY(photos_.isValid());
        for (int i = 0; i < 5; ++i) {
            const std::vector<std::uint8_t> jpeg =
                EncodeJpeg(test::PageLike24(1000, 1500, static_cast<std::uint32_t>(i)), 85);
            QFile file(photos_.filePath(QStringLiteral("p%1.jpg").arg(i)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(reinterpret_cast<const char*>(jpeg.data()),
                       static_cast<qint64>(jpeg.size()));
        }
    }

    void init() {
        dialogs_ = test::FakeDialogs();
        fixture_.emplace(dialogs_);
        Form().show();
        // The user picks photos on the list tab, which brings the editor forward.
        Form().sPageControl2->setCurrentIndex(0);
    }

    void cleanup() { fixture_.reset(); }

    void controlsBeforeAnyPhoto() {
        QCOMPARE(Form().sComboBox2->currentText(), QStringLiteral("Цветное"));
        QCOMPARE(Form().sComboBox1->currentIndex(), -1);
        QCOMPARE(Form().sComboBox1->count(), 4);
        QCOMPARE(Form().sComboBox1->itemText(2), QStringLiteral("-90 "));
        QCOMPARE(Form().sSpinEdit1->value(), 0);
        QCOMPARE(Form().sSpinEdit3->value(), 1);
        QCOMPARE(Form().sSpinEdit3->maximum(), 50);
        QCOMPARE(Form().sSpinEdit1->minimum(), -20);
        QCOMPARE(Form().sButton1->text(), QStringLiteral("Применить\nко многим..."));
        QCOMPARE(Form().Image1->toolTip(),
                 QStringLiteral("Левая кнопка  - прокрутка, правая - кадрирование"));
        // One row taller than the crop group: the sheet-straightening boxes sit below.
        QCOMPARE(Form().sGroupBox1->geometry(), QRect(8, 0, 209, 89));
        QCOMPARE(Form().sGroupBox2->geometry(), QRect(224, 0, 185, 65));
    }

    void noPhotoShowsTheAdvertisementAndIgnoresRightClicks() {
        Form().SelectPhoto(nullptr);
        QCOMPARE(Shown().size(), QSize(300, 400));
        QTest::mouseClick(Form().Image1, Qt::RightButton, {}, QPoint(5, 200));
        QCOMPARE(Form().CurrentPhoto, nullptr);
    }

    void selectingShowsThePhotoWithoutWritingIntoAny() {
        AddPhotos(2);
        Photo(0).Brightness = 3;
        Photo(0).CropTop = 7;
        Photo(1).Contrast = -4;
        Photo(1).Rotation = 3;
        Select(0);
        QCOMPARE(Form().sSpinEdit1->value(), 3);
        QCOMPARE(Form().sSpinEdit5->value(), 7);
        Select(1);
        QCOMPARE(Form().sSpinEdit2->value(), -4);
        QCOMPARE(Form().sComboBox1->currentIndex(), 3);
        QCOMPARE(Photo(0).Brightness, 3);
        QCOMPARE(Photo(0).CropTop, 7);
        QCOMPARE(Photo(0).Contrast, 0);
        QCOMPARE(Photo(1).Brightness, 1);
        QCOMPARE(Photo(1).CropTop, 0);
        QCOMPARE(Shown().size(), QSize(1000, 1500));
    }

    void cropChangeReusesTheRenderingAndBrightnessRendersOnce() {
        AddPhotos(1);
        Select(0);
        const qint64 rendering = Form().EditorBitmap.cacheKey();
        const QImage thumbnail = Photo(0).Thumbnail;
        Form().sSpinEdit4->setValue(20);
        QCOMPARE(Photo(0).CropRight, 20);
        QCOMPARE(Form().EditorBitmap.cacheKey(), rendering);
        // The thumbnail follows the crop from the cached rendering alone.
        QVERIFY(Photo(0).Thumbnail != thumbnail);
        QCOMPARE(Photo(0).Thumbnail,
                 StretchAndCombine(Form().EditorBitmap, QRect(0, 0, 800, 1500), 200, 200));

        Form().sComboBox2->setCurrentIndex(0);
        Form().sSpinEdit1->setValue(5);
        QCOMPARE(Photo(0).Brightness, 5);
        QVERIFY(Form().EditorBitmap.cacheKey() != rendering);
        const qint64 rerendered = Form().EditorBitmap.cacheKey();
        Form().sSpinEdit6->setValue(3);
        QCOMPARE(Form().EditorBitmap.cacheKey(), rerendered);
    }

    void bandsCoverWhatTheCropCuts() {
        AddPhotos(1);
        Select(0);
        Form().sSpinEdit3->setValue(10);
        Form().sSpinEdit4->setValue(20);
        const QImage shown = Shown();
        QCOMPARE(shown.pixel(50, 700), qRgb(255, 255, 255));
        QCOMPARE(shown.pixel(99, 700), qRgb(0, 0, 0));
        QCOMPARE(shown.pixel(800, 700), qRgb(0, 0, 0));
        QCOMPARE(shown.pixel(900, 700), qRgb(255, 255, 255));
        QCOMPARE(shown.pixel(400, 700), Form().EditorBitmap.pixel(400, 700));
        // The cached rendering itself stays clean.
        QCOMPARE(Form().EditorBitmap.pixel(50, 700), Photo(0).Render(false).pixel(50, 700));
    }

    void rightClickCropsTheNearestEdge_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QList<int>>("crops");  // left, right, top, bottom
        QTest::newRow("left") << QPoint(100, 700) << QList<int>{10, 0, 0, 0};
        QTest::newRow("tie") << QPoint(30, 30) << QList<int>{0, 0, 0, 0};
        QTest::newRow("right") << QPoint(999, 700) << QList<int>{0, 0, 0, 0};
        QTest::newRow("bottom near edge") << QPoint(500, 1490) << QList<int>{0, 0, 0, 0};
        QTest::newRow("bottom") << QPoint(500, 1400) << QList<int>{0, 0, 0, 6};
    }

    void rightClickCropsTheNearestEdge() {
        QFETCH(QPoint, at);
        QFETCH(QList<int>, crops);
        AddPhotos(1);
        Select(0);
        Form().resize(1600, 1800);  // room to click anywhere in the picture
        QTest::mouseClick(Form().Image1, Qt::RightButton, {}, at);
        TLisko& p = Photo(0);
        QCOMPARE((QList<int>{p.CropLeft, p.CropRight, p.CropTop, p.CropBottom}), crops);
        QCOMPARE(Form().sSpinEdit3->value(), crops[0]);
        QCOMPARE(Form().sSpinEdit6->value(), crops[3]);
    }

    // A second right-click soon after the first reaches the picture as a double click.
    void quickSecondRightClickCropsToo() {
        AddPhotos(1);
        Select(0);
        Form().resize(1600, 1800);
        QTest::mouseClick(Form().Image1, Qt::RightButton, {}, QPoint(100, 700));
        const QPoint bottom(500, 1400);
        QMouseEvent second(QEvent::MouseButtonDblClick, bottom, Form().Image1->mapToGlobal(bottom),
                           Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Form().Image1, &second);
        TLisko& p = Photo(0);
        QCOMPARE((QList<int>{p.CropLeft, p.CropRight, p.CropTop, p.CropBottom}),
                 (QList<int>{10, 0, 0, 6}));
        QCOMPARE(Form().sSpinEdit6->value(), 6);
    }

    void leftPressOnlySetsTheDragOrigin() {
        AddPhotos(1);
        Select(0);
        QTest::mousePress(Form().Image1, Qt::LeftButton, {}, QPoint(200, 300));
        QTest::mouseRelease(Form().Image1, Qt::LeftButton, {}, QPoint(200, 300));
        QCOMPARE(Photo(0).CropLeft, 0);
        QCOMPARE(Photo(0).CropTop, 0);
    }

    void draggingScrollsThePicture() {
        AddPhotos(1);
        Select(0);
        QScrollBar* horizontal = Form().sScrollBox1->horizontalScrollBar();
        QScrollBar* vertical = Form().sScrollBox1->verticalScrollBar();
        QVERIFY(horizontal->maximum() > 100);
        QTest::mousePress(Form().Image1, Qt::LeftButton, {}, QPoint(200, 300));
        QMouseEvent move(QEvent::MouseMove, QPointF(150, 260),
                         Form().Image1->mapToGlobal(QPointF(150, 260)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Form().Image1, &move);
        QCOMPARE(horizontal->value(), 50);
        QCOMPARE(vertical->value(), 40);
    }

    void opposingCropsOfFiftyAreRefused() {
        AddPhotos(1);
        Select(0);
        Form().sSpinEdit3->setValue(50);
        QCOMPARE(Photo(0).CropLeft, 50);
        Form().sSpinEdit4->setValue(50);
        QCOMPARE(Photo(0).CropRight, 0);
        QCOMPARE(Form().sSpinEdit4->value(), 0);
        QCOMPARE(Photo(0).Render(true).width(), 500);
    }

    void removedPhotoNeverMatchesTheCache() {
        AddPhotos(1);
        Select(0);
        const QString work = Photo(0).WorkFile;
        QTest::mouseClick(Form().sSpeedButton2, Qt::LeftButton);
        QVERIFY(Form().EditorBitmap.isNull());
        // The next photo gets the freed name and the same parameters.
        AddPhotos(1);
        QCOMPARE(Photo(0).WorkFile, work);
        Select(0);
        QCOMPARE(Form().EditorBitmap, Photo(0).Render(false));
    }

    // A photo whose working copy is gone cannot be rendered: each try says so, and the editor
    // never takes the previous photo's picture for it.
    void failedRenderingNeverServesAnotherPhoto() {
        AddPhotos(2);
        Select(0);
        const QImage first = Form().EditorBitmap;
        QVERIFY(QFile::remove(Photo(1).WorkFile));
        const QImage thumbnail = Photo(1).Thumbnail;
        Form().fileView->clearSelection();
        Form().fileView->topLevelItem(1)->setSelected(true);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(Form().CurrentPhoto, &Photo(1));
        // A crop change renders again, fails again, and leaves the thumbnail alone.
        Form().sSpinEdit4->setValue(20);
        QCOMPARE(dialogs_.messages.size(), std::size_t{2});
        QCOMPARE(Photo(1).Thumbnail, thumbnail);
        // The first photo is still shown right after.
        Select(0);
        QCOMPARE(Form().EditorBitmap, first);
        QCOMPARE(dialogs_.messages.size(), std::size_t{2});
    }

    void listTabBringsTheEditorForward() {
        Form().sPageControl2->setCurrentIndex(1);
        QCOMPARE(Form().sPageControl1->currentIndex(), 1);  // the preview shows the partner page
        Form().sPageControl1->setCurrentIndex(2);
        Form().sPageControl2->setCurrentIndex(0);
        QCOMPARE(Form().sPageControl1->currentIndex(), 0);
    }

    void applyToManyScopes_data() {
        QTest::addColumn<int>("scope");
        QTest::addColumn<QList<int>>("changed");
        QTest::newRow("all") << 1 << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("odd") << 2 << QList<int>{0, 2, 4};
        QTest::newRow("even") << 3 << QList<int>{1, 3};
    }

    void applyToManyScopes() {
        QFETCH(int, scope);
        QFETCH(QList<int>, changed);
        AddPhotos(5);
        Select(2);
        Form().sSpinEdit1->setValue(7);
        Form().sSpinEdit2->setValue(-3);
        Form().sSpinEdit5->setValue(12);
        QRadioButton* TForm2::*button = scope == 1   ? &TForm2::sRadioButton1
                                        : scope == 2 ? &TForm2::sRadioButton2
                                                     : &TForm2::sRadioButton3;
        AnswerApply({&TForm2::sCheckBox2}, button);
        QTest::mouseClick(Form().sButton1, Qt::LeftButton);
        for (int i = 0; i < 5; ++i) {
            const bool expected = changed.contains(i) || i == 2;
            QCOMPARE(Photo(i).Brightness == 7 && Photo(i).Contrast == -3, expected);
            // Crops were not chosen: only the current photo has one.
            QCOMPARE(Photo(i).CropTop, i == 2 ? 12 : 0);
        }
        QCOMPARE(Form().sProgressBar1->value(), 0);
        QCOMPARE(Form().sProgressBar1->maximum(), 4);
    }

    void dialogStartsFromItsDefaultsEveryTime() {
        AddPhotos(1);
        Select(0);
        std::vector<std::array<bool, 5>> seen;
        dialogs_.modal = [&seen](QDialog& dialog) {
            auto& form2 = static_cast<TForm2&>(dialog);
            seen.push_back({form2.sCheckBox1->isChecked(), form2.sCheckBox2->isChecked(),
                            form2.sCheckBox3->isChecked(), form2.sCheckBox4->isChecked(),
                            form2.sRadioButton1->isChecked()});
            form2.sCheckBox3->setChecked(true);
            form2.sRadioButton3->setChecked(true);
            return TForm2::Cancelled;
        };
        QTest::mouseClick(Form().sButton1, Qt::LeftButton);
        QTest::mouseClick(Form().sButton1, Qt::LeftButton);
        QCOMPARE(seen.size(), std::size_t{2});
        const std::array<bool, 5> defaults{false, true, false, false, true};
        QCOMPARE(seen[0], defaults);
        QCOMPARE(seen[1], defaults);
        QCOMPARE(fixture_->Windows().form2.windowTitle(), QStringLiteral("Применить ко многим..."));
    }

    void withoutFlagsThumbnailsAreRenderedAgain() {
        AddPhotos(2);
        Select(0);
        Form().sSpinEdit4->setValue(30);  // the editor draws photo 0's thumbnail itself
        const QImage drawn = Photo(0).Thumbnail;
        Photo(1).Brightness = 4;
        AnswerApply({}, &TForm2::sRadioButton1);
        QTest::mouseClick(Form().sButton1, Qt::LeftButton);
        QCOMPARE(Photo(1).Brightness, 4);
        QVERIFY(Photo(0).Thumbnail != drawn);
        // It is the thumbnail a rendering with crop makes.
        const QImage applied = Photo(0).Thumbnail;
        Photo(0).Render(true);
        QCOMPARE(Photo(0).Thumbnail, applied);
    }

    void onePhotoWithTheEvenScopeChangesNothing() {
        AddPhotos(1);
        Select(0);
        Form().sSpinEdit1->setValue(9);
        AnswerApply({&TForm2::sCheckBox1, &TForm2::sCheckBox2}, &TForm2::sRadioButton3);
        QTest::mouseClick(Form().sButton1, Qt::LeftButton);
        // Idle at 0: a range of 0..0 would be Qt's endless busy animation.
        QVERIFY(Form().sProgressBar1->maximum() > Form().sProgressBar1->minimum());
        QCOMPARE(Form().sProgressBar1->value(), 0);
        QCOMPARE(Photo(0).Brightness, 9);
    }

    void applyToManyIsAChildOfTheMainWindow() {
        TForm2& form2 = fixture_->Windows().form2;
        const Qt::WindowFlags flags = form2.windowFlags();
        QCOMPARE(form2.parentWidget(), &Form());
        QVERIFY(form2.isWindow());
        // 309 pixels high, and a row more for the sheet-straightening choice.
        QCOMPARE(form2.size(), QSize(245, 309 + 24));
        QCOMPARE(form2.minimumSize(), form2.maximumSize());
        AddPhotos(1);
        Select(0);
        // Shown, it sits centred on the main window, whose child it stays.
        QPoint centre;
        dialogs_.modal = [&centre](QDialog& dialog) {
            dialog.show();
            centre = dialog.frameGeometry().center();
            dialog.hide();
            return 2;
        };
        QTest::mouseClick(Form().sButton1, Qt::LeftButton);
        QCOMPARE(dialogs_.modalCount, 1);
        QVERIFY((centre - Form().frameGeometry().center()).manhattanLength() <= 2);
        QCOMPARE(form2.windowFlags(), flags);
        QCOMPARE(form2.parentWidget(), &Form());
    }

    // A working copy that went away or turned to garbage after the import: the editor and
    // apply to many report it by name, and every other photo and its working copy stay whole.
    void damagedWorkingCopyIsReportedByName_data() {
        QTest::addColumn<bool>("garbage");
        QTest::addColumn<bool>("applyToMany");
        QTest::newRow("deleted, editor") << false << false;
        QTest::newRow("garbage, editor") << true << false;
        QTest::newRow("deleted, apply to many") << false << true;
        QTest::newRow("garbage, apply to many") << true << true;
    }

    void damagedWorkingCopyIsReportedByName() {
        QFETCH(bool, garbage);
        QFETCH(bool, applyToMany);
        AddPhotos(3);
        Select(0);
        const QString damaged = Photo(1).WorkFile;
        const auto bytes = [](const QString& name) {
            QFile file(name);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QByteArray first = bytes(Photo(0).WorkFile);
        const QByteArray last = bytes(Photo(2).WorkFile);
        const QImage lastThumbnail = Photo(2).Thumbnail;
        if (garbage) {
            QFile file(damaged);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("not a photo any more");
        } else {
            QVERIFY(QFile::remove(damaged));
        }

        if (applyToMany) {
            Form().sSpinEdit1->setValue(4);
            AnswerApply({&TForm2::sCheckBox2}, &TForm2::sRadioButton1);
            QTest::mouseClick(Form().sButton1, Qt::LeftButton);
        } else {
            Form().fileView->clearSelection();
            Form().fileView->topLevelItem(1)->setSelected(true);
        }

        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QVERIFY2(dialogs_.messages.front().text.contains(damaged),
                 qPrintable(dialogs_.messages.front().text));
        QCOMPARE(dialogs_.messages.front().icon, QMessageBox::Critical);
        QCOMPARE(Form().Photos().Count(), 3);
        QCOMPARE(bytes(Photo(0).WorkFile), first);
        QCOMPARE(bytes(Photo(2).WorkFile), last);
        // Apply to many ends at the damaged photo: the one after it is not touched.
        QCOMPARE(Photo(2).Thumbnail, lastThumbnail);
        // The program goes on with the whole photos.
        Select(2);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(Shown().size(), QSize(1000, 1500));
    }

    void withoutACurrentPhotoItSaysWhy() {
        AddPhotos(1);
        Form().fileView->clearSelection();
        QCOMPARE(Form().CurrentPhoto, nullptr);
        QTest::mouseClick(Form().sButton1, Qt::LeftButton);
        QCOMPARE(dialogs_.modalCount, 0);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
    }

    // Several photos are worked on at once: each ends with what a rendering of its own
    // parameters gives, and a photo the user changes while it is under way keeps that change.
    void photosAreAppliedAtOnceAndEachAsItsOwn() {
        const test::RasterThreadsScope threads(3);
        AddPhotos(5);
        Select(0);
        Form().sSpinEdit1->setValue(5);
        Form().sSpinEdit5->setValue(8);
        AnswerApply({&TForm2::sCheckBox2, &TForm2::sCheckBox3}, &TForm2::sRadioButton1);
        // Photos 0 to 2 start together; while the window waits for photo 0, the user crops
        // photo 2.
        QTimer::singleShot(0, &Form(), [this] { Photo(2).CropLeft = 20; });
        QTest::mouseClick(Form().sButton1, Qt::LeftButton);

        QVERIFY(dialogs_.messages.empty());
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(Photo(i).Brightness, i == 2 ? 1 : 5);
            QCOMPARE(Photo(i).CropTop, i == 2 ? 0 : 8);
            if (i == 2) continue;
            const QImage applied = Photo(i).Thumbnail;
            Photo(i).Render(true);
            QCOMPARE(Photo(i).Thumbnail, applied);
        }
        QCOMPARE(Photo(2).CropLeft, 20);
    }

    void photosRemovedWhileApplyingAreNotTouched() {
        AddPhotos(5);
        Select(0);
        Form().sSpinEdit1->setValue(6);
        AnswerApply({&TForm2::sCheckBox2}, &TForm2::sRadioButton1);
        // While the loop processes events, the user removes photos 3 and 4.
        QTimer::singleShot(0, &Form(), [this] {
            Form().fileView->clearSelection();
            Form().fileView->topLevelItem(3)->setSelected(true);
            Form().fileView->topLevelItem(4)->setSelected(true);
            Form().RemoveSelectedClick();
        });
        QTest::mouseClick(Form().sButton1, Qt::LeftButton);
        QCOMPARE(Form().Photos().Count(), 3);
        // Removing marked the photo that took the first removed place, which became current.
        QVERIFY(dialogs_.messages.empty());
    }
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::EditorTest>(); });
}

#include "EditorTest.moc"
