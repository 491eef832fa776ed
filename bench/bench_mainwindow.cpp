// The main window's construction and show, to its first painted frame, inside one process:
// the first window (which also prepares the theme, the built-in pictures and the fonts once)
// and the windows after it, against an empty maximised QMainWindow timed the same way.
//   bench_mainwindow [RUNS]
#include "core/storage/Database.h"
#include "core/storage/DatabaseSchema.h"
#include "gui/common/NiloApplication.h"
#include "gui/common/Themes.h"
#include "gui/mainwindow/MainWindow.h"
#include "render/Fonts.h"
#include "render/JpegImage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Counts paint events of one widget, so that a show is timed to its first frame.
class PaintSpy final : public QObject
{
public:
    explicit PaintSpy(QWidget* widget) { widget->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void waitForPaint(const PaintSpy& spy)
{
    QElapsedTimer limit;
    limit.start();
    while (!spy.painted && limit.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// CPU time of the calling thread: on a busy machine it shows the window's own work where
// wall time also counts the wait for a core.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct Timing
{
    double wall = 0;
    double cpu = 0;
};

// From construction to the first painted frame of `painted(window)`.
template <class Window, class Painted> Timing timeShow(Painted painted)
{
    QElapsedTimer t;
    t.start();
    const double cpu = threadCpuMs();
    Window window;
    PaintSpy spy(painted(window));
    window.showMaximized();
    waitForPaint(spy);
    return {t.nsecsElapsed() / 1e6, threadCpuMs() - cpu};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeOnce(const std::function<void()>& action)
{
    QElapsedTimer t;
    t.start();
    action();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    NiloApplication app(argc, argv);
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    RegisterProgramFonts();
    const int runs = argc >= 2 ? std::max(3, atoi(argv[1])) : 15;

    QTemporaryDir data;
    if (!CreateDatabase(data.filePath(QStringLiteral("NiloChequePrint.mdb"))).isEmpty())
        return 1;
    QDir::setCurrent(data.path());
    Database dm(data.path());

    const auto emptyViewport = [](QMainWindow& w) -> QWidget* { return &w; };
    const auto workArea = [](MainWindow& w) -> QWidget* { return w.workArea()->viewport(); };

    // The empty window first, so that the platform's own first-window cost falls on it.
    const Timing emptyFirst = timeShow<QMainWindow>(emptyViewport);
    const Timing first = timeShow<MainWindow>(workArea);
    std::vector<double> empty, program, programCpu;
    for (int i = 0; i < runs; ++i) {
        empty.push_back(timeShow<QMainWindow>(emptyViewport).wall);
        const Timing t = timeShow<MainWindow>(workArea);
        program.push_back(t.wall);
        programCpu.push_back(t.cpu);
    }

    // What the first window prepares once, timed apart for scale.
    const double decode = timeOnce([] {
        QFile file(QStringLiteral(":/images/background_default.jpg"));
        file.open(QIODevice::ReadOnly);
        DecodeJpeg(file.readAll());
    });
    const double logo = timeOnce([] {
        const QImage scaled = QImage(QStringLiteral(":/images/logo.png"))
                                  .scaled(MainWorkArea::kLogoBoxSize, Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation);
        Q_UNUSED(scaled);
    });
    const double theme = timeOnce([] { SelectTheme(SelectedTheme() == 0 ? 1 : 0); });

    std::printf("main window show, to its first painted frame (ms, %d runs, platform %s)\n", runs,
                qPrintable(QGuiApplication::platformName()));
    std::printf("  empty QMainWindow   first %7.1f  median %7.1f\n", emptyFirst.wall,
                median(empty));
    std::printf("  MainWindow          first %7.1f  median %7.1f\n", first.wall, median(program));
    std::printf("  MainWindow, UI thread CPU  first %7.1f  median %7.1f\n", first.cpu,
                median(programCpu));
    std::printf("  extra per window    median %7.1f\n", median(program) - median(empty));
    std::printf("  prepared once: background decode %.1f, logo %.1f, theme switch %.1f\n", decode,
                logo, theme);
    return 0;
}
