// What the ticking clock costs: the render time of one tick, and the process CPU time of a
// window with the clock left ticking (default one minute; pass the seconds to change it).
//   bench_clock [seconds]
#include "render/Fonts.h"
#include "widgets/AnalogClock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPaintEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Counts paint events across the application: those of the clock, those of anything
// else, and whether any of the latter reached outside the clock's area.
class PaintCounter final : public QObject
{
public:
    explicit PaintCounter(AnalogClock* clock) : clock_(clock) {}
    int clockPaints = 0;
    int otherPaints = 0;
    int outsideClock = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (widget == clock_) {
            ++clockPaints;
            return false;
        }
        ++otherPaints;
        // The parent repaints what lies under the transparent clock; nothing else should.
        const QRect painted = static_cast<QPaintEvent*>(event)->rect();
        const QRect clockArea(clock_->mapTo(widget->window(), QPoint()), clock_->size());
        const QRect paintedInWindow(widget->mapTo(widget->window(), painted.topLeft()),
                                    painted.size());
        if (!clockArea.contains(paintedInWindow))
            ++outsideClock;
        return false;
    }

private:
    AnalogClock* clock_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RegisterProgramFonts();
    QApplication::setLayoutDirection(Qt::RightToLeft);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
    const QString text = u"نيلـــــو"_s;

    // A stand-in for the main window: a work area and a navigation bar with the clock.
    QMainWindow window;
    window.resize(1024, 700);
    auto* mdi = new QMdiArea;
    auto* central = new QWidget;
    auto* row = new QHBoxLayout(central);
    auto* bar = new QWidget;
    bar->setFixedWidth(150);
    bar->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(bar);
    auto* clock = new AnalogClock;
    clock->setFixedSize(87, 93);
    clock->setText(text);
    clock->setStyle(AnalogClockStyle::acTrad);
    column->addWidget(clock, 0, Qt::AlignHCenter);
    column->addWidget(new QLabel(u"ظاهر ساعت"_s));
    column->addWidget(new QPushButton(u"چاپ چك"_s));
    column->addStretch();
    row->addWidget(bar);
    row->addWidget(mdi, 1);
    window.setCentralWidget(central);
    window.show();
    QApplication::processEvents();

    // 1. One tick: rotate and compose the prepared pictures, every face, both frames.
    std::vector<double> micros;
    QTime pinned(10, 9, 0);
    clock->setTimeSource([&pinned] { return pinned; });
    for (int style = 0; style < 8; ++style) {
        clock->setStyle(AnalogClockStyle(style));
        for (int i = 0; i < 400; ++i) {
            pinned = pinned.addMSecs(500);
            QElapsedTimer t;
            t.start();
            clock->tick();
            micros.push_back(double(t.nsecsElapsed()) / 1000.0);
        }
    }
    std::sort(micros.begin(), micros.end());
    double sum = 0;
    for (double m : micros)
        sum += m;
    std::printf("tick render (87x93, all faces): mean %.1f us, median %.1f us, 99th %.1f us, "
                "n=%zu\n",
                sum / double(micros.size()), micros[micros.size() / 2],
                micros[micros.size() * 99 / 100], micros.size());
    std::printf("RESULT\tclock tick render, 87x93\t%.1f\t%.1f\tus\t1000\n",
                micros[micros.size() / 2], micros.back());

    // ... and painting it: the tick plus the synchronous repaint of the dial.
    QElapsedTimer paintTimer;
    paintTimer.start();
    const int paints = 400;
    for (int i = 0; i < paints; ++i) {
        pinned = pinned.addMSecs(500);
        clock->tick();
        clock->repaint(clock->fitRect());
    }
    std::printf("tick + repaint: mean %.1f us\n",
                double(paintTimer.nsecsElapsed()) / 1000.0 / paints);

    // 2. Idle: the window left alone with the clock on the system time.
    clock->setTimeSource({});
    clock->setStyle(AnalogClockStyle::acTrad);
    QApplication::processEvents();
    PaintCounter counter(clock);
    app.installEventFilter(&counter);
    int settled = 0;
    QObject::connect(clock, &AnalogClock::clockTicked, clock, [&settled] { ++settled; });
    const double cpuBefore = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    app.exec();
    const double cpu = processCpuSeconds() - cpuBefore;
    const double elapsed = double(wall.nsecsElapsed()) * 1e-9;
    std::printf("idle over %.1f s: CPU %.3f s = %.3f %% of one core; %d settled ticks, "
                "%d clock paints, %d other paints (%d outside the clock)\n",
                elapsed, cpu, 100.0 * cpu / elapsed, settled, counter.clockPaints,
                counter.otherPaints, counter.outsideClock);
    std::printf("RESULT\tclock idle CPU over %.0f s\t%.3f\t%.3f\t%% of a core\t0.5\n", elapsed,
                100.0 * cpu / elapsed, 100.0 * cpu / elapsed);
    return 0;
}
