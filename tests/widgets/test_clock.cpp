// The analog clock: its faces, hand angles, tick timing, dial text, fit and transparency.
#include "render/Fonts.h"
#include "widgets/AnalogClock.h"

#include <QApplication>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kNilo = u"نيلـــــو"_s;

// Records the regions a widget is asked to paint.
class PaintLog final : public QObject
{
public:
    explicit PaintLog(QWidget* watched) : QObject(watched) { watched->installEventFilter(this); }
    QRegion painted;
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++count;
        }
        return false;
    }
};

// A clock whose time the test sets.
struct PinnedClock
{
    explicit PinnedClock(QWidget* parent = nullptr) : clock(new AnalogClock(parent))
    {
        clock->setTimeSource([this] { return now; });
    }
    QTime now = QTime(15, 30, 30, 250);
    AnalogClock* clock;
};

bool allStyles(const std::function<bool(AnalogClockStyle)>& check)
{
    for (int i = 0; i < 8; ++i)
        if (!check(AnalogClockStyle(i)))
            return false;
    return true;
}

// Pixels where two equally sized pictures differ, as a bounding rectangle.
QRect differences(const QImage& a, const QImage& b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class ClockTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { RegisterProgramFonts(); }

    // Every face carries its pictures in the sizes its table row asks for.
    void facesHaveEveryPictureInItsSize()
    {
        QCOMPARE(ClockInfoOf(AnalogClockStyle::acSystem).centre(), QPointF(63.5, 64.5));
        QCOMPARE(ClockInfoOf(AnalogClockStyle::acNovelty).centre(), QPointF(55.5, 86.5));
        QCOMPARE(ClockInfoOf(AnalogClockStyle::acTrad).textBox(), QRectF(32.5, 71.5, 60, 18));
        QCOMPARE(ClockInfoOf(AnalogClockStyle::acFlower).textColor, 0xFFFE8E08u);
        const QSet<AnalogClockStyle> glassy = {
            AnalogClockStyle::acCronometer, AnalogClockStyle::acSquare, AnalogClockStyle::acSystem,
            AnalogClockStyle::acTrad};
        QVERIFY(allStyles([&](AnalogClockStyle style) {
            const ClockInfo& info = ClockInfoOf(style);
            const QSize dial =
                style == AnalogClockStyle::acNovelty ? QSize(118, 130) : QSize(130, 130);
            const QSize strip(info.handWidth, info.handHeight);
            for (const char* suffix : {"FACE", "H", "M", "S", "DOT", "GLASS"}) {
                const QImage picture(ClockPicturePath(style, suffix));
                const bool glass = qstrcmp(suffix, "GLASS") == 0;
                if (glass && !glassy.contains(style)) {
                    if (!picture.isNull())
                        return false;
                    continue;
                }
                const QSize expected = qstrcmp(suffix, "FACE") == 0 || glass ? dial : strip;
                if (picture.size() != expected || !picture.hasAlphaChannel()) {
                    qWarning() << info.prefix << suffix << picture.size();
                    return false;
                }
            }
            return true;
        }));
    }

    void handAngles_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("seconds");
        QTest::addColumn<bool>("overshoot");
        QTest::addColumn<qreal>("hour");
        QTest::addColumn<qreal>("minute");
        QTest::addColumn<qreal>("second");
        QTest::newRow("3:00:00 overshoot") << QTime(3, 0) << true << true << 90.0 << 0.0 << 3.0;
        QTest::newRow("3:00:00 settled") << QTime(3, 0) << true << false << 90.0 << 0.0 << 0.0;
        QTest::newRow("15:30:30") << QTime(15, 30, 30) << true << false << 105.0 << 183.0 << 180.0;
        QTest::newRow("15:30:30 overshoot")
            << QTime(15, 30, 30) << true << true << 105.0 << 183.0 << 183.0;
        QTest::newRow("15:30:30 no seconds")
            << QTime(15, 30, 30) << false << false << 105.0 << 180.0 << 180.0;
        QTest::newRow("midnight") << QTime(0, 0) << true << false << 0.0 << 0.0 << 0.0;
        QTest::newRow("23:59:59") << QTime(23, 59, 59) << true << false << 359.5 << 359.9 << 354.0;
    }
    void handAngles()
    {
        QFETCH(QTime, time);
        QFETCH(bool, seconds);
        QFETCH(bool, overshoot);
        QFETCH(qreal, hour);
        QFETCH(qreal, minute);
        QFETCH(qreal, second);
        const ClockHandAngles a = HandAnglesAt(time, seconds, overshoot);
        QCOMPARE(a.hour, hour);
        QCOMPARE(a.minute, minute);
        if (seconds)
            QCOMPARE(a.second, second);
    }

    void tickDelays()
    {
        QCOMPARE(NextTickDelay(QTime(15, 30, 30, 250), true, true), 50);
        QCOMPARE(NextTickDelay(QTime(15, 30, 30, 250), true, false), 750);
        // Without seconds: one second past the next whole minute, 15:31:01.000.
        QCOMPARE(NextTickDelay(QTime(15, 30, 30, 250), false, false), 30750);
        QCOMPARE(NextTickDelay(QTime(15, 30, 0, 0), false, false), 61000);
        // Never below the timer's floor.
        QCOMPARE(NextTickDelay(QTime(15, 30, 30, 998), true, false), 10);
    }

    // A shown clock ticks: first after 100 ms, an overshoot frame, the settled frame 50 ms
    // later with one notification, then on to the next whole second.
    void ticksWithOvershootThenSettles()
    {
        PinnedClock pinned;
        AnalogClock* clock = pinned.clock;
        QSignalSpy ticked(clock, &AnalogClock::clockTicked);
        pinned.now = QTime(3, 0, 0, 20);
        clock->show();
        QCOMPARE(clock->pendingDelay(), 100);
        QCOMPARE(clock->time(), QTime(3, 0, 0, 20)); // drawn at once, not after the delay

        clock->tick();
        QVERIFY(clock->overshootShown());
        QCOMPARE(clock->lastAngles().hour, 90.0);
        QCOMPARE(clock->lastAngles().minute, 0.0);
        QCOMPARE(clock->lastAngles().second, 3.0);
        QCOMPARE(clock->pendingDelay(), 50);
        QCOMPARE(ticked.count(), 0);

        pinned.now = QTime(3, 0, 0, 70);
        clock->tick();
        QVERIFY(!clock->overshootShown());
        QCOMPARE(clock->lastAngles().second, 0.0);
        QCOMPARE(clock->pendingDelay(), 930);
        QCOMPARE(ticked.count(), 1);
        QCOMPARE(clock->time(), QTime(3, 0, 0, 70));
    }

    void withoutSecondsTicksOncePastEachMinute()
    {
        PinnedClock pinned;
        AnalogClock* clock = pinned.clock;
        clock->show();
        clock->setShowSeconds(false);
        QSignalSpy ticked(clock, &AnalogClock::clockTicked);
        clock->tick();
        QVERIFY(!clock->overshootShown());
        QVERIFY(clock->capShown());
        QCOMPARE(clock->lastAngles().minute, 180.0);
        QCOMPARE(clock->pendingDelay(), 30750);
        QCOMPARE(ticked.count(), 1);
    }

    void offsetIsAddedToTheTime()
    {
        PinnedClock pinned;
        pinned.now = QTime(15, 0);
        pinned.clock->setTimeOffset(QTime(1, 0));
        QCOMPARE(pinned.clock->lastAngles().hour, 120.0); // 16:00
        pinned.clock->setTimeOffset(QTime(10, 0));
        QCOMPARE(pinned.clock->lastAngles().hour, 30.0); // wraps past midnight to 01:00
    }

    // Property writes stop the timer, redraw and start again after 100 ms; an unchanged
    // value does nothing; inactive, the clock stands still at its time.
    void propertyWritesRestartTheTimer()
    {
        PinnedClock pinned;
        AnalogClock* clock = pinned.clock;
        QCOMPARE(clock->size(), QSize(130, 130));
        QCOMPARE(clock->clockStyle(), AnalogClockStyle::acSystem);
        QVERIFY(clock->active() && clock->showSeconds() && !clock->shrinkOnly() &&
                !clock->autoSize());
        QCOMPARE(clock->fontName(), u"Tahoma"_s);
        QCOMPARE(clock->timeOffset(), QTime(0, 0));
        clock->show();
        clock->tick();
        QCOMPARE(clock->pendingDelay(), 50);

        QSignalSpy textChanged(clock, &AnalogClock::textChanged);
        clock->setText(u"  "_s + kNilo + u"\t "_s);
        QCOMPARE(clock->text(), kNilo);
        QCOMPARE(clock->pendingDelay(), 100);
        QVERIFY(!clock->overshootShown());
        clock->tick();
        clock->setText(kNilo + u" "_s);
        QCOMPARE(textChanged.count(), 1);
        QCOMPARE(clock->pendingDelay(), 50); // untouched

        const QImage before = clock->framePicture();
        clock->setStyle(AnalogClockStyle::acTrad);
        QCOMPARE(clock->pendingDelay(), 100);
        QVERIFY(clock->framePicture() != before);

        // Writing the time is ignored while active and shown while inactive.
        QSignalSpy timeChanged(clock, &AnalogClock::timeChanged);
        clock->setTime(QTime(9, 0));
        QCOMPARE(clock->time(), pinned.now);
        clock->setActive(false);
        QVERIFY(!clock->isTicking());
        QCOMPARE(timeChanged.count(), 0);
        clock->setTime(QTime(9, 0));
        QCOMPARE(clock->time(), QTime(9, 0));
        QCOMPARE(timeChanged.count(), 1);
        QCOMPARE(clock->lastAngles().hour, 270.0);
        clock->setText(u"x"_s);
        QVERIFY(!clock->isTicking());
        clock->setActive(true);
        QCOMPARE(clock->pendingDelay(), 100);
        clock->hide();
        QVERIFY(!clock->isTicking());
    }

    // The dial text is written fresh each time: no trace of an earlier text stays.
    void dialTextReplacesTheOldText()
    {
        AnalogClock plain;
        AnalogClock once;
        AnalogClock twice;
        for (AnalogClock* c : {&plain, &once, &twice})
            c->setStyle(AnalogClockStyle::acTrad);
        once.setText(kNilo);
        twice.setText(u"a much longer dial text"_s);
        twice.setText(kNilo);
        QCOMPARE(twice.dialPicture(), once.dialPicture());
        QVERIFY(once.dialPicture() != plain.dialPicture());
        twice.setText(u"   "_s);
        QCOMPARE(twice.dialPicture(), plain.dialPicture());
    }

    // A text too wide for its box is drawn smaller, inside the box, on every face.
    void wideTextShrinksIntoItsBox()
    {
        QVERIFY(allStyles([](AnalogClockStyle style) {
            AnalogClock plain;
            AnalogClock word;
            AnalogClock clock;
            for (AnalogClock* c : {&plain, &word, &clock})
                c->setStyle(style);
            word.setText(kNilo);
            clock.setText(kNilo + u" "_s + kNilo + u" "_s + kNilo);
            const QRect wordInk = differences(plain.dialPicture(), word.dialPicture());
            const QRect ink = differences(plain.dialPicture(), clock.dialPicture());
            const QRectF box = ClockInfoOf(style).textBox();
            if (ink.isEmpty() || ink.left() < box.left() - 1 || ink.right() > box.right() + 1 ||
                ink.height() >= wordInk.height()) {
                qWarning() << ClockInfoOf(style).prefix << ink << wordInk << box;
                return false;
            }
            return true;
        }));
    }

    void textFollowsTheLayoutDirection()
    {
        AnalogClock ltr;
        AnalogClock rtl;
        rtl.setLayoutDirection(Qt::RightToLeft);
        for (AnalogClock* c : {&ltr, &rtl})
            c->setText(u"ab "_s + kNilo);
        QVERIFY(ltr.dialPicture() != rtl.dialPicture());
        ltr.setLayoutDirection(Qt::RightToLeft);
        QCOMPARE(ltr.dialPicture(), rtl.dialPicture());
    }

    void fitRectangle_data()
    {
        QTest::addColumn<QSize>("control");
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("shrinkOnly");
        QTest::addColumn<QRect>("fit");
        const int system = int(AnalogClockStyle::acSystem);
        const int novelty = int(AnalogClockStyle::acNovelty);
        QTest::newRow("navigation bar") << QSize(87, 93) << system << false << QRect(0, 3, 87, 87);
        QTest::newRow("wide") << QSize(200, 100) << system << false << QRect(50, 0, 100, 100);
        QTest::newRow("grown") << QSize(200, 260) << system << false << QRect(0, 30, 200, 200);
        QTest::newRow("shrink only, room")
            << QSize(200, 260) << system << true << QRect(35, 65, 130, 130);
        QTest::newRow("shrink only, too small")
            << QSize(87, 93) << system << true << QRect(0, 3, 87, 87);
        QTest::newRow("novelty") << QSize(87, 93) << novelty << false << QRect(1, 0, 84, 93);
        QTest::newRow("empty") << QSize(0, 93) << system << false << QRect();
    }
    void fitRectangle()
    {
        QFETCH(QSize, control);
        QFETCH(int, style);
        QFETCH(bool, shrinkOnly);
        QFETCH(QRect, fit);
        AnalogClock clock;
        clock.setStyle(AnalogClockStyle(style));
        clock.setShrinkOnly(shrinkOnly);
        clock.resize(control);
        QCOMPARE(clock.fitRect(), fit);
    }

    void autoSizeTakesTheFaceSize()
    {
        AnalogClock clock;
        clock.resize(87, 93);
        clock.setAutoSize(true);
        QCOMPARE(clock.size(), QSize(130, 130));
        clock.setStyle(AnalogClockStyle::acNovelty);
        QCOMPARE(clock.size(), QSize(118, 130));
        QCOMPARE(clock.sizeHint(), QSize(118, 130));
    }

    // At 3:00 the hour hand points right on the drawn frame (clockwise from twelve).
    void framesTurnTheHandsClockwise()
    {
        PinnedClock pinned;
        pinned.now = QTime(3, 0);
        pinned.clock->setStyle(AnalogClockStyle::acModern); // white hands on a dark dial
        pinned.clock->setShowSeconds(false);
        const QImage frame = pinned.clock->framePicture();
        const QPointF c = ClockInfoOf(AnalogClockStyle::acModern).centre();
        const auto lightness = [&](qreal dx, qreal dy) {
            return QColor(frame.pixel(int(c.x() + dx), int(c.y() + dy))).lightness();
        };
        QVERIFY(lightness(22, 0) > 200);  // hour hand at 90 degrees
        QVERIFY(lightness(0, -40) > 200); // minute hand at 0 degrees
        QVERIFY(lightness(-22, 0) < 100);
        QVERIFY(lightness(0, 40) < 100);
    }

    // The parent shows around the dial, and a tick repaints the dial's area only.
    void transparentAndRepaintsOnlyTheDial()
    {
        QWidget window;
        window.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::red);
        window.setPalette(palette);
        window.resize(200, 200);
        auto* sibling = new QWidget(&window);
        sibling->setGeometry(100, 100, 50, 50);
        PinnedClock pinned(&window);
        AnalogClock* clock = pinned.clock;
        clock->setGeometry(10, 10, 87, 93);
        clock->setText(kNilo);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QImage shot = window.grab().toImage();
        QCOMPARE(QColor(shot.pixel(10 + 43, 10 + 1)), QColor(Qt::red)); // above the dial
        QVERIFY(QColor(shot.pixel(10 + 43, 10 + 40)) != QColor(Qt::red));

        QApplication::processEvents();
        auto* windowLog = new PaintLog(&window);
        auto* siblingLog = new PaintLog(sibling);
        auto* clockLog = new PaintLog(clock);
        clock->tick();
        QTRY_VERIFY(clockLog->count > 0);
        QCOMPARE(siblingLog->count, 0);
        QVERIFY(QRegion(clock->geometry()).contains(windowLog->painted.boundingRect()) ||
                windowLog->painted.isEmpty());
        QCOMPARE(clockLog->painted.boundingRect(), clock->fitRect());
    }

    // The real timer: within 1.3 s the clock settles at least once.
    void realTimerTicks()
    {
        AnalogClock clock;
        QSignalSpy ticked(&clock, &AnalogClock::clockTicked);
        clock.show();
        QTRY_VERIFY_WITH_TIMEOUT(ticked.count() >= 1, 1300);
        QVERIFY(clock.isTicking());
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ClockTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_clock.moc"
