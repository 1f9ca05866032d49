// A radio read in the main window against the same read without a window,
// side by side in one process. The emulated radio answers at 1 ms per bulk
// transfer; the fixed 1000 ms pause after connecting is taken out. The window
// read is the screen's own (overlay and progress bar shown, the progress
// relayed to it) through the Manager the window is bound to; the other read
// goes through a second Manager that no screen listens to. Both are timed from
// the call to the arrival of the result, before the screens fill; the two
// kinds alternate. Each read's own time is its total less the time measured
// inside the bulk transfers; the ratio of a pair is that of the reads' totals
// on an exact wire (the latency model's transfers × 1 ms, plus our own time),
// so that the sleep overshoot of a loaded machine, which differs from read to
// read by more than the window costs, does not decide it. The median over the
// pairs is printed as
//   window-read/no-window-read <backend> <ratio>
// with the backend the window actually renders with (software or opengl); the
// median ratio of the wall-clock totals is a FIGURE beside it.
#include <QApplication>
#include <QElapsedTimer>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/gccount.h"
#include "bench/timedlibusb.h"
#include "emulator/radioemulator.h"
#include "manager/manager.h"
#include "manager/variantfile.h"

namespace {
double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void figure(const QString &name, double value, const char *unit)
{
    std::printf("FIGURE\t%s\t%.2f\t%s\n", qPrintable(name), value, unit);
}

// Until the window has drawn what is pending, then a little longer, so that
// nothing of one read is left over for the next.
void settle(QQuickWindow *window, int ms = 150)
{
    QEventLoop loop;
    auto c = QObject::connect(window, &QQuickWindow::frameSwapped, &loop, &QEventLoop::quit);
    window->update();
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(c);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Times a Manager's reads from the call to the arrival of the result. Made
// before the window is loaded, so that its slot runs before the screens'.
class ReadClock {
public:
    struct Timing {
        double total = 0; // ms
        double outside = 0; // ms outside the transfers
        // Parts of it: from the call to the first transfer, passing the
        // progress values on (from each value's signal to the next
        // transfer), and from the last transfer to the result.
        double entering = 0, relaying = 0, ending = 0;
        int transfers = 0;
        int gcs = 0; // script garbage collections
    };
    explicit ReadClock(Manager &manager)
    {
        QObject::connect(&manager, &Manager::readProgressChanged, [this] {
            if (entering < 0)
                entering = TimedLibusb::markedNanoseconds() - markedBefore;
            TimedLibusb::mark();
        });
        QObject::connect(&manager, &Manager::dataReadyReadFromDevice, [this](bool success) {
            const qint64 total = clock.nsecsElapsed();
            timing.total = total / 1e6;
            timing.outside = (total - (TimedLibusb::transferNanoseconds() - transfersBefore)) / 1e6;
            timing.transfers = TimedLibusb::transfers() - countBefore;
            timing.gcs = GcCount::runs() - gcsBefore;
            timing.entering = entering / 1e6;
            timing.relaying = (TimedLibusb::markedNanoseconds() - markedBefore - entering) / 1e6;
            timing.ending = TimedLibusb::sinceLastTransferNanoseconds() / 1e6;
            ok = success;
        });
    }
    // False when the read failed.
    bool run(const std::function<void()> &start, Timing *result)
    {
        ok = false;
        transfersBefore = TimedLibusb::transferNanoseconds();
        countBefore = TimedLibusb::transfers();
        markedBefore = TimedLibusb::markedNanoseconds();
        gcsBefore = GcCount::runs();
        entering = -1;
        clock.start();
        TimedLibusb::mark();
        start();
        *result = timing;
        return ok;
    }

private:
    QElapsedTimer clock;
    qint64 transfersBefore = 0;
    int countBefore = 0;
    qint64 markedBefore = 0, entering = 0;
    int gcsBefore = 0;
    Timing timing;
    bool ok = false;
};
} // namespace

int main(int argc, char *argv[])
{
    // A QApplication like the program's: the controls take the desktop style.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    GcCount::install();
    const int pairs = qEnvironmentVariableIntValue("ORVANE_BENCH_PAIRS") > 0
        ? qEnvironmentVariableIntValue("ORVANE_BENCH_PAIRS")
        : 9;

    RadioEmulator radio;
    QVariantList image;
    if (!VariantFile::read(QCoreApplication::applicationDirPath() + "/default400-470.dcc",
            VariantFile::Kind::Image, &image)
        || !radio.setImage(image))
        return 1;
    TimedLibusb timed(radio.libusbApi());
    QTemporaryDir backups; // the reads' backups stay out of the user's folder
    Manager windowManager, bareManager;
    for (Manager *m : { &windowManager, &bareManager }) {
        m->setBackupFolder(backups.path());
        m->setUsbApi(timed.api(), true);
        m->setPause([](int) {});
    }

    ReadClock windowClock(windowManager), bareClock(bareManager);
    using Timing = ReadClock::Timing;

    QQmlApplicationEngine engine;
    engine.rootContext()->setContextProperty(QStringLiteral("Manager"), &windowManager);
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    auto *about = window->property("aboutWindow").value<QQuickWindow *>();
    QObject *screen = window->property("mainScreen").value<QObject *>();
    if (!window || !screen)
        return 1;
    settle(window);
    if (about)
        about->setVisible(false);
    window->requestActivate();
    settle(window);
    const bool software
        = window->rendererInterface()->graphicsApi() == QSGRendererInterface::Software;
    const char *backend = software ? "software" : "opengl";

    // Frames the window draws, and the time from the start of each frame's
    // synchronisation to its swap (on the render thread when there is one).
    std::atomic<int> frames { 0 };
    std::atomic<qint64> frameNs { 0 };
    QElapsedTimer frameClock;
    frameClock.start();
    std::atomic<qint64> frameStart { 0 };
    QObject::connect(
        window, &QQuickWindow::beforeSynchronizing, window,
        [&] { frameStart = frameClock.nsecsElapsed(); }, Qt::DirectConnection);
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window,
        [&] {
            ++frames;
            frameNs += frameClock.nsecsElapsed() - frameStart;
        },
        Qt::DirectConnection);
    std::vector<double> windowFrames, windowFrameMs, windowGcs;

    const auto windowRead = [&](Timing *t) {
        const int framesBefore = frames;
        const qint64 frameNsBefore = frameNs;
        const bool ok = windowClock.run([&] { QMetaObject::invokeMethod(screen, "startRead"); }, t);
        windowFrames.push_back(frames - framesBefore);
        windowFrameMs.push_back((frameNs - frameNsBefore) / 1e6);
        windowGcs.push_back(t->gcs);
        // The read's hold on the tool buttons would end during a later read.
        if (QObject *hold = screen->property("holdTimer").value<QObject *>())
            QMetaObject::invokeMethod(hold, "stop");
        settle(window);
        return ok;
    };
    const auto bareRead = [&](Timing *t) {
        const bool ok = bareClock.run([&] { bareManager.readDataFromDevice(); }, t);
        settle(window);
        return ok;
    };

    // The first read of each kind creates what the screens show: not measured.
    radio.setLatencyMicroseconds(1000);
    Timing t;
    if (!windowRead(&t) || !bareRead(&t))
        return 1;
    windowFrames.clear();
    windowFrameMs.clear();
    windowGcs.clear();
    std::vector<double> ratios, wallRatios, windowTotals, bareTotals, windowOutside, bareOutside;
    std::vector<double> parts[2][3]; // window, bare: entering, relaying, ending
    for (int i = 0; i < pairs; ++i) {
        Timing w, b;
        // Alternating which goes first, so that a drift of the machine's load
        // falls on both.
        const bool ok = i % 2 ? (bareRead(&b) && windowRead(&w)) : (windowRead(&w) && bareRead(&b));
        if (!ok || w.transfers != b.transfers)
            return 1;
        const double wire = w.transfers * 1.0; // ms at 1 ms per transfer
        ratios.push_back((wire + w.outside) / (wire + b.outside));
        wallRatios.push_back(w.total / b.total);
        windowTotals.push_back(w.total);
        bareTotals.push_back(b.total);
        windowOutside.push_back(w.outside);
        bareOutside.push_back(b.outside);
        for (int k = 0; k < 2; ++k) {
            const Timing &r = k ? b : w;
            parts[k][0].push_back(r.entering);
            parts[k][1].push_back(r.relaying);
            parts[k][2].push_back(r.ending);
        }
    }
    const QString tag = QString::fromLatin1(backend);
    figure("full radio read in the window, " + tag + " (ms)", median(windowTotals), "ms");
    figure("the same read without a window, " + tag + " run (ms)", median(bareTotals), "ms");
    figure("window read, our time outside the transfers, " + tag + " (ms)", median(windowOutside),
        "ms");
    figure("no-window read, our time outside the transfers, " + tag + " run (ms)",
        median(bareOutside), "ms");
    const char *partNames[3] = { "from the call to the first transfer",
        "passing the progress values on", "from the last transfer to the result" };
    for (int p = 0; p < 3; ++p) {
        figure(QStringLiteral("window read, %1, %2 (ms)").arg(partNames[p], tag),
            median(parts[0][p]), "ms");
        figure(QStringLiteral("no-window read, %1, %2 run (ms)").arg(partNames[p], tag),
            median(parts[1][p]), "ms");
    }
    figure("frames drawn during a window read, " + tag, median(windowFrames), "frames");
    figure("time in those frames, " + tag + " (ms)", median(windowFrameMs), "ms");
    figure("script garbage collections during a window read, " + tag,
        *std::max_element(windowGcs.begin(), windowGcs.end()), "(most in one read)");
    figure("window read / no-window read, wall clock, " + tag, median(wallRatios), "");
    std::printf("window-read/no-window-read %s %.2f\n", backend, median(ratios));
    return 0;
}
