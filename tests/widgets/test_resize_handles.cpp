// Drag-and-resize facility: selection, Tab order, mouse drags with snapping, arrow keys,
// Escape, handles, switching off, and physical geometry under a right-to-left window.
#include "gui/common/NiloApplication.h"
#include "widgets/ResizeHandles.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A window with a 400 x 300 picture area and three boxes registered in the order A, B, C.
struct Fixture
{
    explicit Fixture(Qt::LayoutDirection direction = Qt::LeftToRight)
    {
        window.setLayoutDirection(direction);
        window.resize(440, 340);
        area = new QWidget(&window);
        area->setGeometry(20, 20, 400, 300);
        auto* picture = new QLabel(area);
        picture->setGeometry(area->rect());
        a = makeBox(u"A"_s, QRect(20, 40, 52, 25));
        b = makeBox(u"B"_s, QRect(200, 100, 80, 25));
        c = makeBox(u"C"_s, QRect(100, 200, 60, 25));
        ctrl = new ResizeHandles(area);
        for (QWidget* box : {a, b, c})
            ctrl->registerControl(box);
        ctrl->setEnabled(true);
        window.show();
        window.activateWindow();
        ready = QTest::qWaitForWindowActive(&window);
    }

    QLabel* makeBox(const QString& text, const QRect& geometry)
    {
        auto* box = new QLabel(text, area);
        box->setGeometry(geometry);
        return box;
    }

    QWidget* overlay() const { return ctrl->overlay(); }
    void press(QPoint p, Qt::KeyboardModifiers m = {})
    {
        QTest::mousePress(overlay(), Qt::LeftButton, m, p);
    }
    void moveTo(QPoint p)
    {
        // QTest::mouseMove carries no buttons; a drag needs them.
        QMouseEvent e(QEvent::MouseMove, p, overlay()->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                      {});
        QApplication::sendEvent(overlay(), &e);
    }
    void release(QPoint p) { QTest::mouseRelease(overlay(), Qt::LeftButton, {}, p); }
    void click(QPoint p, Qt::KeyboardModifiers m = {})
    {
        press(p, m);
        release(p);
    }
    void key(int k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(overlay(), Qt::Key(k), m); }

    QWidget window;
    QWidget* area = nullptr;
    QLabel* a = nullptr;
    QLabel* b = nullptr;
    QLabel* c = nullptr;
    ResizeHandles* ctrl = nullptr;
    bool ready = false;
};

QList<QWidget*> boxes(std::initializer_list<QWidget*> list)
{
    return QList<QWidget*>(list);
}

} // namespace

class ResizeHandlesTest : public QObject
{
    Q_OBJECT
private slots:
    void snapRoundsHalfwayUp_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("expected");
        QTest::newRow("33") << 33 << 10 << 30;
        QTest::newRow("52") << 52 << 10 << 50;
        QTest::newRow("25 halfway") << 25 << 10 << 30;
        QTest::newRow("24") << 24 << 10 << 20;
        QTest::newRow("0") << 0 << 10 << 0;
        QTest::newRow("-15 halfway") << -15 << 10 << -10;
        QTest::newRow("-16") << -16 << 10 << -20;
        QTest::newRow("no grid") << 33 << 1 << 33;
        QTest::newRow("near int max") << INT_MAX << 10 << INT_MAX;
    }
    void snapRoundsHalfwayUp()
    {
        QFETCH(int, value);
        QFETCH(int, step);
        QFETCH(int, expected);
        QCOMPARE(ResizeHandles::snap(value, step), expected);
    }

    // The drag of the checked example, both through the overlay and with events sent to
    // the box itself, and inside a right-to-left window whose mirroring must not apply.
    void dragMovesAndSnapsOnRelease_data()
    {
        QTest::addColumn<bool>("rightToLeft");
        QTest::addColumn<bool>("toBox");
        QTest::newRow("overlay") << false << false;
        QTest::newRow("box receives") << false << true;
        QTest::newRow("right-to-left window") << true << false;
    }
    void dragMovesAndSnapsOnRelease()
    {
        QFETCH(bool, rightToLeft);
        QFETCH(bool, toBox);
        Fixture f(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        QSignalSpy started(f.ctrl, &ResizeHandles::startSizeMove);
        QSignalSpy ended(f.ctrl, &ResizeHandles::endSizeMove);
        QWidget* target = toBox ? static_cast<QWidget*>(f.a) : f.overlay();
        const QPoint origin = toBox ? QPoint(30, 12) : QPoint(50, 52);
        QTest::mousePress(target, Qt::LeftButton, {}, origin);
        QCOMPARE(f.ctrl->selection(), boxes({f.a}));
        QMouseEvent move(QEvent::MouseMove, origin + QPoint(13, 0),
                         target->mapToGlobal(origin + QPoint(13, 0)), Qt::NoButton, Qt::LeftButton,
                         {});
        QApplication::sendEvent(target, &move);
        QVERIFY(f.ctrl->isDragging());
        QCOMPARE(started.size(), 1);
        // Only the outline moves while the button is down.
        QCOMPARE(f.a->geometry(), QRect(20, 40, 52, 25));
        QTest::mouseRelease(target, Qt::LeftButton, {}, origin + QPoint(13, 0));
        QCOMPARE(f.a->geometry(), QRect(30, 40, 50, 30));
        QCOMPARE(ended.size(), 1);
        QVERIFY(!f.ctrl->isDragging());
        QCOMPARE(f.b->geometry(), QRect(200, 100, 80, 25));
    }

    void arrowKeysStepOnePixelUnsnapped()
    {
        Fixture f;
        QSignalSpy ended(f.ctrl, &ResizeHandles::endSizeMove);
        f.click({50, 52});
        for (int i = 0; i < 3; ++i)
            f.key(Qt::Key_Right);
        QCOMPARE(f.a->geometry(), QRect(23, 40, 52, 25));
        QCOMPARE(ended.size(), 3);
        f.key(Qt::Key_Up);
        f.key(Qt::Key_Down);
        f.key(Qt::Key_Down);
        QCOMPARE(f.a->pos(), QPoint(23, 41));
        f.key(Qt::Key_Right, Qt::ShiftModifier);
        f.key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(f.a->geometry(), QRect(23, 41, 53, 26));
        // Sizes stop at one pixel.
        f.a->resize(2, 2);
        for (int i = 0; i < 3; ++i) {
            f.key(Qt::Key_Left, Qt::ShiftModifier);
            f.key(Qt::Key_Up, Qt::ShiftModifier);
        }
        QCOMPARE(f.a->geometry(), QRect(23, 41, 1, 1));
    }

    void clicksSelectAndShiftClicksToggle()
    {
        Fixture f;
        QSignalSpy changed(f.ctrl, &ResizeHandles::selectionChanged);
        f.click({50, 52});
        QCOMPARE(f.ctrl->selection(), boxes({f.a}));
        f.click({220, 110});
        QCOMPARE(f.ctrl->selection(), boxes({f.b}));
        f.click({50, 52}, Qt::ShiftModifier);
        QCOMPARE(f.ctrl->selection(), boxes({f.b, f.a}));
        QCOMPARE(f.ctrl->firstSelected(), f.b);
        // Clicking a selected box keeps the group, ready to drag it.
        f.click({50, 52});
        QCOMPARE(f.ctrl->selection(), boxes({f.b, f.a}));
        f.click({220, 110}, Qt::ShiftModifier);
        QCOMPARE(f.ctrl->selection(), boxes({f.a}));
        QCOMPARE(changed.size(), 4);
        QCOMPARE(changed.last().first().value<QWidget*>(), f.a);
        // Only registered boxes are selectable; a click elsewhere clears.
        f.click({390, 290});
        QVERIFY(f.ctrl->selection().isEmpty());
        QCOMPARE(changed.last().first().value<QWidget*>(), nullptr);
        QVERIFY(f.ready);
        QCOMPARE(QApplication::focusWidget(), f.overlay());
    }

    void tabCyclesInRegistrationOrder()
    {
        Fixture f;
        // Registration order, not stacking or position, decides.
        ResizeHandles ctrl(f.area);
        ctrl.setEnabled(true);
        for (QWidget* box : {f.c, f.a, f.b})
            ctrl.registerControl(box);
        f.ctrl->setEnabled(false);
        auto tab = [&](bool back) {
            QTest::keyClick(ctrl.overlay(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                            back ? Qt::ShiftModifier : Qt::NoModifier);
            return ctrl.firstSelected();
        };
        QCOMPARE(tab(false), f.c);
        QCOMPARE(tab(false), f.a);
        QCOMPARE(tab(false), f.b);
        QCOMPARE(tab(false), f.c);
        QCOMPARE(tab(true), f.b);
        QCOMPARE(ctrl.selection().size(), 1);
        // Hidden boxes are skipped, and a hidden selected box leaves the selection.
        f.a->hide();
        QCOMPARE(tab(true), f.c);
        QCOMPARE(tab(true), f.b);
        ctrl.select(f.c, true);
        f.c->hide();
        QCOMPARE(ctrl.selection(), boxes({f.b}));
    }

    void dragMovesEverySelectedBoxWithPointerHeldInArea()
    {
        Fixture f;
        f.click({50, 52});
        f.click({220, 110}, Qt::ShiftModifier);
        f.press({50, 52});
        f.moveTo({5000, 60});
        f.release({5000, 60});
        // The pointer stops at x = 399: 349 px to the right, 8 down.
        QCOMPARE(f.a->geometry(), QRect(370, 50, 50, 30));
        QCOMPARE(f.b->geometry(), QRect(550, 110, 80, 30));
        QCOMPARE(f.c->geometry(), QRect(100, 200, 60, 25));
    }

    void escapeCancelsDragThenClearsSelection()
    {
        Fixture f;
        QSignalSpy ended(f.ctrl, &ResizeHandles::endSizeMove);
        f.press({50, 52});
        f.moveTo({90, 80});
        f.key(Qt::Key_Escape);
        QVERIFY(!f.ctrl->isDragging());
        QCOMPARE(ended.size(), 1);
        // The rest of that drag does nothing.
        f.moveTo({120, 90});
        f.release({120, 90});
        QCOMPARE(f.a->geometry(), QRect(20, 40, 52, 25));
        QCOMPARE(f.ctrl->selection(), boxes({f.a}));
        f.key(Qt::Key_Escape);
        QVERIFY(f.ctrl->selection().isEmpty());
        // Arrow keys with nothing selected move nothing.
        f.key(Qt::Key_Right);
        QCOMPARE(f.a->geometry(), QRect(20, 40, 52, 25));
    }

    void handlesResizeAndSnap_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("expected");
        // Box A is (20, 40, 52, 25).
        QTest::newRow("right wider")
            << int(ResizeHandles::Handle::Right) << QPoint(30, 7) << QRect(20, 40, 80, 30);
        QTest::newRow("top-left") << int(ResizeHandles::Handle::TopLeft) << QPoint(-14, -12)
                                  << QRect(10, 30, 70, 40);
        QTest::newRow("bottom taller")
            << int(ResizeHandles::Handle::Bottom) << QPoint(0, 31) << QRect(20, 40, 50, 60);
        // Dragged past the opposite edge: one pixel, then one grid step on release.
        QTest::newRow("left past right")
            << int(ResizeHandles::Handle::Left) << QPoint(200, 0) << QRect(70, 40, 10, 30);
    }
    void handlesResizeAndSnap()
    {
        QFETCH(int, handle);
        QFETCH(QPoint, delta);
        QFETCH(QRect, expected);
        Fixture f;
        f.click({50, 52});
        const QPoint at =
            ResizeHandles::handleRect(f.a->geometry(), ResizeHandles::Handle(handle)).center();
        QCOMPARE(int(f.ctrl->handleAt(at)), handle);
        f.press(at);
        f.moveTo(at + delta);
        f.release(at + delta);
        QCOMPARE(f.a->geometry(), expected);
    }

    void handlesAreDrawnInTheirColour()
    {
        Fixture f;
        f.ctrl->select(f.a);
        f.ctrl->select(f.c, true);
        const QImage shot = f.area->grab().toImage();
        const QColor red(204, 0, 0);
        for (QWidget* box : {f.a, f.c}) {
            for (int h = 1; h <= 8; ++h) {
                const QRect r =
                    ResizeHandles::handleRect(box->geometry(), ResizeHandles::Handle(h));
                QCOMPARE(r.size(), QSize(5, 5));
                QCOMPARE(shot.pixelColor(r.center()), red);
            }
        }
        const QRect unselected =
            ResizeHandles::handleRect(f.b->geometry(), ResizeHandles::Handle::BottomRight);
        QVERIFY(shot.pixelColor(unselected.center()) != red);
        // The overlay stays over all of the area and above boxes raised or added later.
        f.area->resize(500, 320);
        QCOMPARE(f.overlay()->geometry(), f.area->rect());
        new QLabel(u"late"_s, f.area);
        QCOMPARE(f.area->children().last(), f.overlay());
        f.b->raise();
        QCOMPARE(f.area->children().last(), f.overlay());
    }

    void switchedOffItIgnoresInputAndClears()
    {
        Fixture f;
        QSignalSpy changed(f.ctrl, &ResizeHandles::selectionChanged);
        f.click({50, 52});
        f.ctrl->setEnabled(false);
        QVERIFY(f.ctrl->selection().isEmpty());
        QCOMPARE(changed.size(), 2);
        QVERIFY(!f.overlay()->isVisible());
        QTest::mousePress(f.a, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(f.a, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(f.ctrl->selection().isEmpty());
        // Only direct children of the area can be registered.
        QLabel stray(u"x"_s);
        QVERIFY(!f.ctrl->registerControl(&stray));
    }

    void deletedBoxLeavesSelectionSafely()
    {
        Fixture f;
        f.click({50, 52});
        f.click({220, 110}, Qt::ShiftModifier);
        QSignalSpy changed(f.ctrl, &ResizeHandles::selectionChanged);
        f.press({220, 110});
        f.moveTo({240, 130});
        delete f.a;
        f.release({240, 130});
        QCOMPARE(f.ctrl->selection(), boxes({f.b}));
        QCOMPARE(f.ctrl->targets(), boxes({f.b, f.c}));
        QCOMPARE(f.b->pos(), QPoint(220, 120));
        QTRY_VERIFY(!changed.isEmpty());
        QCOMPARE(changed.last().first().value<QWidget*>(), f.b);
    }
};

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    ResizeHandlesTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_resize_handles.moc"
