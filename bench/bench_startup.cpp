// Start-up time: the program on an existing database, to its first shown main window and
// exit, against an empty maximised QMainWindow built the same way, in the same run.
//   bench_startup [RUNS]          measure both, print medians, worst and the ratio
//   bench_startup --program DIR   one start of the program in DIR (child mode)
//   bench_startup --empty         one start of an empty window (child mode)
#include "app/Startup.h"
#include "core/storage/DatabaseSchema.h"
#include "gui/mainwindow/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

int runEmpty(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setLayoutDirection(Qt::RightToLeft);
    window.showMaximized();
    QTimer::singleShot(0, &window, [] { QApplication::quit(); });
    return QApplication::exec();
}

int runProgram(int argc, char** argv, const char* dir)
{
    QDir::setCurrent(QString::fromLocal8Bit(dir));
    StartupHooks hooks;
    hooks.mainWindowShown = [](MainWindow&) { QApplication::quit(); };
    return RunProgram(argc, argv, hooks);
}

struct Stats
{
    double median, worst;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

double timeChild(const QString& self, const QStringList& args, const QString& runtimeDir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(self, args);
    p.waitForFinished(30000);
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && qstrcmp(argv[1], "--empty") == 0)
        return runEmpty(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "--program") == 0)
        return runProgram(argc, argv, argv[2]);

    QCoreApplication app(argc, argv);
    const int runs = argc >= 2 ? std::max(3, atoi(argv[1])) : 15;
    QTemporaryDir data, runtime;
    if (!CreateDatabase(data.filePath(QStringLiteral("NiloChequePrint.mdb"))).isEmpty())
        return 1;
    const QString self = QCoreApplication::applicationFilePath();
    std::vector<double> program, empty;
    for (int i = 0; i < runs + 1; ++i) {
        // Alternate so that both see the same machine state; the first pair warms caches.
        const double e = timeChild(self, {QStringLiteral("--empty")}, runtime.path());
        const double p =
            timeChild(self, {QStringLiteral("--program"), data.path()}, runtime.path());
        if (i > 0)
            empty.push_back(e), program.push_back(p);
    }
    const Stats e = stats(empty), p = stats(program);
    std::printf(
        "startup (ms, %d runs, platform %s)\n", runs,
        qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("default")).toUtf8().constData());
    std::printf("  empty QMainWindow  median %7.1f  worst %7.1f\n", e.median, e.worst);
    std::printf("  NiloChequePrint    median %7.1f  worst %7.1f\n", p.median, p.worst);
    std::printf("  ratio of medians   %.2f\n", p.median / e.median);
    std::printf("RESULT\tstart-up to first shown window\t%.1f\t%.1f\tms\tempty QMainWindow %.1f / "
                "%.1f (ratio %.2f, goal 1.3)\n",
                p.median, p.worst, e.median, e.worst, p.median / e.median);
    return 0;
}
