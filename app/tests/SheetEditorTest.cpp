#include <QCheckBox>
#include <QLabel>
#include <QLineF>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>
#include <optional>

#include "app/Program.h"
#include "app/tests/WindowFixture.h"
#include "app/tests/WindowTestMain.h"
#include "editor/SheetHandles.h"
#include "editor/Unit2.h"
#include "photo/Sheet.h"
#include "testsupport/FakeDialogs.h"
#include "testsupport/SheetPhotos.h"

namespace lisko {

// Straightening the photographed sheet in the editor: the check boxes, the corner handles and
// apply-to-many, driven through the real controls of the main window.
class SheetEditorTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir photos_;
    test::FakeDialogs dialogs_;
    std::optional<test::WindowFixture> fixture_;

    TForm1& Form() { return fixture_->Windows().form1; }
    TLisko& Photo(int i) { return Form().Photos().Photo(i); }
    QImage Shown() const { return fixture_->Windows().form1.Image1->pixmap().toImage(); }

    // The list sorts by path: a_, b_, c_ keep the scenes in this order.
    static QString FileName(const QString& scene) {
        const qsizetype place = kScenes.indexOf(scene);
        return QStringLiteral("%1_%2.jpg").arg(QLatin1Char("abc"[place])).arg(scene);
    }
    inline static const QStringList kScenes = {QStringLiteral("plain_desk"),
                                               QStringLiteral("wood_desk_perspective"),
                                               QStringLiteral("empty_desk")};

    void AddPhotos(const QStringList& scenes) {
        QStringList paths;
        for (const QString& scene : scenes)
            paths << photos_.filePath(FileName(scene));
        dialogs_.answers.push_back(paths);
        QTest::mouseClick(Form().sSpeedButton3, Qt::LeftButton);
        QCOMPARE(Form().Photos().Count(), static_cast<int>(scenes.size()));
    }

    void Select(int i) {
        Form().fileView->clearSelection();
        Form().fileView->topLevelItem(i)->setSelected(true);
        QCOMPARE(Form().CurrentPhoto, &Photo(i));
    }

    // The corners as the editor shows them, on the turned picture.
    SheetQuad ShownCorners(const TLisko& photo) {
        return TurnQuad(*photo.SheetCorners, photo.TurnOf(), photo.WorkingSize());
    }

    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(Form().Image1, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), Form().Image1->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Form().Image1, &move);
        QTest::mouseRelease(Form().Image1, Qt::LeftButton, {}, to);
    }

private slots:
    void initTestCase() {
        QVERIFY(photos_.isValid());
        for (const test::SheetScene& scene : test::SheetScenes()) {
            if (kScenes.contains(scene.name))
                test::SaveSheetPhoto(scene, photos_.filePath(FileName(scene.name)));
        }
    }

    void init() {
        dialogs_ = test::FakeDialogs();
        fixture_.emplace(dialogs_);
        Form().show();
        Form().sPageControl2->setCurrentIndex(0);
    }

    void cleanup() { fixture_.reset(); }

    void turningOnFindsTheSheetAndShowsItsHandles() {
        AddPhotos({QStringLiteral("plain_desk")});
        Select(0);
        QVERIFY(!Form().sCheckBoxStraighten->isChecked());
        QVERIFY(!Form().sCheckBoxStraightView->isEnabled());
        const QImage before = Photo(0).Thumbnail;

        Form().sCheckBoxStraighten->click();
        QVERIFY(Photo(0).Straighten);
        QVERIFY(Photo(0).SheetCorners);
        QVERIFY(Form().sCheckBoxStraightView->isEnabled());
        QVERIFY(Photo(0).Thumbnail != before);
        // The whole unstraightened photo, with a handle drawn over each corner.
        const QImage shown = Shown();
        QCOMPARE(shown.size(), Photo(0).WorkingSize());
        const QImage clean = Form().EditorBitmap;
        for (const QPointF& corner : ShownCorners(Photo(0))) {
            const QPoint ring = (corner + QPointF(kHandleRadius, 0)).toPoint();
            QVERIFY2(shown.pixel(ring) != clean.pixel(ring), "no handle drawn at a corner");
        }

        // The second box shows what prints: the straightened sheet.
        Form().sCheckBoxStraightView->click();
        QCOMPARE(Shown().size(), StraightenedSize(*Photo(0).SheetCorners));

        const QImage straightened = Photo(0).Thumbnail;
        Form().sCheckBoxStraighten->click();
        QVERIFY(!Photo(0).Straighten);
        QVERIFY2(Photo(0).SheetCorners.has_value(), "the corners stay for the next time");
        QCOMPARE(Shown().size(), Photo(0).WorkingSize());
        QVERIFY(Photo(0).Thumbnail != straightened);
    }

    void withoutASheetItSaysSoAndTheBoxGoesBackOff() {
        AddPhotos({QStringLiteral("empty_desk")});
        Select(0);
        Form().sCheckBoxStraighten->click();
        QVERIFY(!Form().sCheckBoxStraighten->isChecked());
        QVERIFY(!Photo(0).Straighten);
        QVERIFY(!Photo(0).SheetCorners);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QCOMPARE(dialogs_.messages[0].caption, QStringLiteral("Выровнять лист"));
        QVERIFY(dialogs_.messages[0].text.contains(QStringLiteral("не найден")));
    }

    // The landscape photo is shown turned clockwise; the corner moves in the working copy's
    // pixels all the same.
    void draggingAHandleMovesThatCorner_data() {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<int>("corner");
        QTest::newRow("portrait, top-left") << QStringLiteral("plain_desk") << 0;
        QTest::newRow("turned, bottom-right") << QStringLiteral("wood_desk_perspective") << 2;
    }

    void draggingAHandleMovesThatCorner() {
        QFETCH(QString, scene);
        QFETCH(int, corner);
        AddPhotos({scene});
        Select(0);
        Form().sCheckBoxStraighten->click();
        const SheetQuad old = *Photo(0).SheetCorners;
        const QImage thumbnail = Photo(0).Thumbnail;
        const QPointF from = ShownCorners(Photo(0))[static_cast<std::size_t>(corner)];
        const QPoint to = (from + QPointF(-30, 25)).toPoint();
        QScrollBar* horizontal = Form().sScrollBox1->horizontalScrollBar();
        const int scrolled = horizontal->value();

        Drag(from.toPoint(), to);
        const SheetQuad now = *Photo(0).SheetCorners;
        for (std::size_t i = 0; i < 4; ++i) {
            if (static_cast<int>(i) == corner) {
                const QPointF expected = UnturnPoint(QPointF(to) + QPointF(0.5, 0.5),
                                                     Photo(0).TurnOf(), Photo(0).WorkingSize());
                QVERIFY(QLineF(now[i], expected).length() < 0.01);
            } else {
                QCOMPARE(now[i], old[i]);
            }
        }
        QCOMPARE(horizontal->value(), scrolled);
        QVERIFY(Photo(0).Thumbnail != thumbnail);
    }

    void leftDragAwayFromTheHandlesStillScrolls() {
        AddPhotos({QStringLiteral("plain_desk")});
        Select(0);
        Form().sCheckBoxStraighten->click();
        const SheetQuad old = *Photo(0).SheetCorners;
        QScrollBar* vertical = Form().sScrollBox1->verticalScrollBar();
        QVERIFY(vertical->maximum() > 100);
        Drag(QPoint(600, 800), QPoint(600, 740));
        QCOMPARE(vertical->value(), 60);
        QCOMPARE(*Photo(0).SheetCorners, old);
    }

    void aCornerDraggedAcrossTheSheetIsRefused() {
        AddPhotos({QStringLiteral("plain_desk")});
        Select(0);
        Form().sCheckBoxStraighten->click();
        const SheetQuad old = *Photo(0).SheetCorners;
        // The top-left corner taken past the bottom-right one: the edges would cross.
        const SheetQuad shown = ShownCorners(Photo(0));
        Drag(shown[0].toPoint(), (shown[2] + QPointF(-5, -5)).toPoint());
        QCOMPARE(*Photo(0).SheetCorners, old);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QVERIFY(dialogs_.messages[0].text.contains(QStringLiteral("Углы оставлены прежними")));
    }

    void applyToManyStraightensEachPhotoAlongItsOwnSheet() {
        AddPhotos({QStringLiteral("plain_desk"), QStringLiteral("wood_desk_perspective"),
                   QStringLiteral("empty_desk")});
        Select(0);
        Form().sCheckBoxStraighten->click();
        dialogs_.modal = [](QDialog& dialog) {
            auto& form2 = static_cast<TForm2&>(dialog);
            form2.sCheckBox2->setChecked(false);
            form2.sCheckBox5->setChecked(true);
            return TForm2::Applied;
        };
        QTest::mouseClick(Form().sButton1, Qt::LeftButton);

        QVERIFY(Photo(1).Straighten);
        QVERIFY(Photo(1).SheetCorners);
        QVERIFY(*Photo(1).SheetCorners != *Photo(0).SheetCorners);
        QVERIFY2(!Photo(2).Straighten, "no sheet on the empty desk");
        QVERIFY(!Photo(2).SheetCorners);
    }
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::SheetEditorTest>(); });
}
#include "SheetEditorTest.moc"
