// Start-up to the first frame: the program's window against a bare Quick
// Controls 1 window (bare/main.qml: ApplicationWindow, TabView with two tabs,
// a Button) started the same way: a QApplication, a QQmlApplicationEngine,
// the document compiled ahead of time into the resources. Each start is a
// fresh process, the two alternate, and the time runs from just before the
// process is started until it says on stdout that its window has swapped its
// first frame (teardown is not counted). Prints the medians and the median
// of the per-pair ratios, labelled with the Qt Quick backend in use
// (QT_QUICK_BACKEND=software, otherwise OpenGL).
//
//   bench_startup [--runs N]
//   bench_startup --bare-window      (the bare window itself)
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int bareWindow(int argc, char *argv[])
{
    // As the program does.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    QQmlApplicationEngine engine;
    QObject::connect(&engine, &QQmlApplicationEngine::objectCreated, &app,
        [&app](QObject *object, const QUrl &) {
            auto *window = qobject_cast<QQuickWindow *>(object);
            if (!window) {
                app.exit(1);
                return;
            }
            QObject::connect(
                window, &QQuickWindow::frameSwapped, &app,
                [&app] {
                    // With the processor time spent so far (all threads).
                    std::printf(
                        "first frame, %.1f ms CPU\n", 1000.0 * std::clock() / CLOCKS_PER_SEC);
                    std::fflush(stdout);
                    app.exit(0);
                },
                Qt::QueuedConnection);
        });
    engine.load(QUrl(QStringLiteral("qrc:/bare/main.qml")));
    return app.exec();
}

struct Start {
    double wall = -1; // ms from starting the process to its report
    double cpu = -1; // ms of processor time the process had spent by then
};

// Starts `program` and waits for its report of the first frame.
Start startToFirstFrame(
    const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    QByteArray out;
    const QByteArray tag("first frame, ");
    while (!(out.contains(tag) && out.endsWith('\n'))) {
        if (!p.waitForReadyRead(30000))
            break;
        out += p.readAllStandardOutput();
    }
    Start s;
    s.wall = t.nsecsElapsed() / 1e6;
    const int at = out.indexOf(tag);
    bool ok = at >= 0;
    if (ok)
        s.cpu = out.mid(at + tag.size()).split(' ').value(0).toDouble(&ok);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0
        || !ok) {
        std::fprintf(stderr, "%s did not report a first frame\n", qPrintable(program));
        p.kill();
        p.waitForFinished();
        return Start();
    }
    return s;
}

} // namespace

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]) == "--bare-window")
            return bareWindow(argc, argv);

    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    int runs = 9;
    const int runsAt = args.indexOf(QStringLiteral("--runs"));
    if (runsAt > 0 && runsAt + 1 < args.size())
        runs = std::max(1, args[runsAt + 1].toInt());
    const char *backend = qgetenv("QT_QUICK_BACKEND") == "software" ? "software" : "opengl";

    // Both start with no settings, cache or data of their own, so that
    // nothing left by the user or an earlier run changes what they do.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *var : { "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME" })
        env.insert(QString::fromLatin1(var), home.path() + QLatin1Char('/') + var);

    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/orvane");
    const QString self = QCoreApplication::applicationFilePath();
    const QStringList windowArgs { QStringLiteral("--quit-after-first-frame") };
    const QStringList bareArgs { QStringLiteral("--bare-window") };
    std::vector<double> window, bare, ratio, windowCpu, bareCpu;
    for (int run = 0; run < runs; ++run) {
        Start w, b;
        if (run % 2 == 0) {
            w = startToFirstFrame(program, windowArgs, env);
            b = startToFirstFrame(self, bareArgs, env);
        } else {
            b = startToFirstFrame(self, bareArgs, env);
            w = startToFirstFrame(program, windowArgs, env);
        }
        if (w.wall < 0 || b.wall < 0)
            return 1;
        window.push_back(w.wall);
        bare.push_back(b.wall);
        ratio.push_back(w.wall / b.wall);
        windowCpu.push_back(w.cpu);
        bareCpu.push_back(b.cpu);
    }
    std::printf("FIGURE\tstartup_to_first_frame_%s\t%.1f\tms\n", backend, median(window));
    std::printf("FIGURE\tbare_window_to_first_frame_%s\t%.1f\tms\n", backend, median(bare));
    std::printf("FIGURE\tstartup_to_first_frame_cpu_%s\t%.1f\tms\n", backend, median(windowCpu));
    std::printf("FIGURE\tbare_window_to_first_frame_cpu_%s\t%.1f\tms\n", backend, median(bareCpu));
    std::printf("FIGURE\tfirst_frame_over_bare_window_%s\t%.2f\tx\n", backend, median(ratio));
    std::printf("RATIO\tfirst-frame/bare-window %s %.1f\n", backend, median(ratio));
    return 0;
}
