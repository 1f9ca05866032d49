// Time for the GPS tab to show a full radio log (247 blocks of 128 points):
// the log reaches the tab's point model the way the back end's signal brings
// it, the model builds the sorted table and the tracks, and the next frame is
// drawn with the tracks. Also the longest frame interval over the fill and
// the ten frames after it, and the script engine's garbage collections in
// that time. Run with QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTimer>
#include <QVariant>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "gccount.h"
#include "manager/manager.h"

// Stands in for the back end: the point model takes its logs from this signal.
class LogSource : public QObject {
    Q_OBJECT
signals:
    void signalGPSReadyRead(QVariant data);
};

namespace {

constexpr int logPoints = 247 * 128;

// A log as the decoder hands it over: points 10 s apart along a wandering
// line, with a pause of an hour after every 500 points (so some 60 tracks).
QVariantList makeLog(double shift)
{
    QVariantList list;
    list.reserve(logPoints);
    qint64 t = 2170330816LL;
    double lat = 55.75 + shift, lng = 37.60;
    for (int i = 0; i < logPoints; ++i) {
        t += (i % 500 == 0 && i > 0) ? 3600 : 10;
        lat += 0.00005 * ((i / 37) % 3 - 1);
        lng += 0.00005 * ((i / 53) % 3 - 1);
        const qint64 local = t - 63709551616LL + 3 * 3600;
        const qint64 sec = ((local % 86400) + 86400) % 86400;
        QVariantMap p;
        p.insert(QStringLiteral("lat"), float(lat));
        p.insert(QStringLiteral("lng"), float(lng));
        p.insert(QStringLiteral("sn"), 0x4E);
        p.insert(QStringLiteral("ew"), 0x45);
        p.insert(QStringLiteral("date"), QStringLiteral("25.11.19"));
        p.insert(QStringLiteral("time"),
            QStringLiteral("%1:%2:%3")
                .arg(sec / 3600, 2, 10, QLatin1Char('0'))
                .arg(sec / 60 % 60, 2, 10, QLatin1Char('0'))
                .arg(sec % 60, 2, 10, QLatin1Char('0')));
        p.insert(QStringLiteral("time_unx"), QString::number(t));
        p.insert(QStringLiteral("num_id"), 0);
        list.append(p);
    }
    return list;
}

// Runs the event loop until the window has drawn a frame (or 10 s passed).
bool waitForFrame(QQuickWindow *window)
{
    QEventLoop loop;
    bool drawn = false;
    auto c = QObject::connect(window, &QQuickWindow::frameSwapped, &loop, [&] {
        drawn = true;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    window->update();
    loop.exec();
    QObject::disconnect(c);
    return drawn;
}

// CPU time of the whole process in ms: less disturbed than the wall clock
// when other programs share the cores.
double cpuMs()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    GcCount::install();
    QGuiApplication app(argc, argv);
    LogSource source;
    // The tab is made inside a window already shown, as the main screen
    // does (a map made before its window is never ready).
    QQuickView view;
    view.resize(1080, 600);
    view.show();
    waitForFrame(&view);
    view.engine()->rootContext()->setContextProperty(
        QStringLiteral("Manager"), Manager::instance());
    QQmlComponent component(view.engine(), QUrl(QStringLiteral("qrc:/qml/Tabs/TabGPS.qml")));
    auto *tab = qobject_cast<QQuickItem *>(component.createWithInitialProperties(
        { { QStringLiteral("mapPluginName"), QStringLiteral("itemsoverlay") } }));
    if (!tab) {
        for (const auto &e : component.errors())
            fprintf(stderr, "%s\n", qPrintable(e.toString()));
        return 1;
    }
    tab->setParentItem(view.contentItem());
    tab->setSize(QSizeF(1080, 600));
    waitForFrame(&view);

    // Two logs in turn: a log read again replaces the one shown.
    const QVariant logs[] = { makeLog(0), makeLog(0.001) };
    QObject *model = tab->property("pointModel").value<QObject *>();
    QObject *layer = tab->property("trackLayer").value<QObject *>();
    model->setProperty("source", QVariant::fromValue<QObject *>(&source));
    std::vector<double> toFrame, call, cpu, worst;
    int firstFill = 0, refills = 0, pieces = 0;
    for (int run = 0; run < 7; ++run) {
        const QVariant &log = logs[run % 2];
        const int gcBefore = GcCount::runs();
        QElapsedTimer timer;
        const double cpuStart = cpuMs();
        timer.start();
        emit source.signalGPSReadyRead(log);
        call.push_back(timer.nsecsElapsed() / 1e6);
        if (!waitForFrame(&view)) {
            fprintf(stderr, "no frame drawn\n");
            return 1;
        }
        toFrame.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(cpuMs() - cpuStart);
        pieces = layer->property("drawnPieces").toInt();
        double longest = toFrame.back(), last = toFrame.back();
        for (int frame = 0; frame < 10 && waitForFrame(&view); ++frame) {
            const double now = timer.nsecsElapsed() / 1e6;
            longest = std::max(longest, now - last);
            last = now;
        }
        worst.push_back(longest);
        (run == 0 ? firstFill : refills) += GcCount::runs() - gcBefore;
    }
    const int rows = model->property("count").toInt();
    const int tracks = model->property("trackCount").toInt();
    fprintf(stderr, "rows %d, tracks %d, line pieces in view %d\n", rows, tracks, pieces);
    if (rows != logPoints || pieces == 0)
        return 1;
    printf("FIGURE\tgps_tab_full_log_set_model_to_frame\t%.1f\tms\n", median(toFrame));
    printf("FIGURE\tgps_tab_full_log_set_model_call\t%.1f\tms\n", median(call));
    printf("FIGURE\tgps_tab_full_log_set_model_to_frame_cpu\t%.1f\tms\n", median(cpu));
    printf("FIGURE\tgps_tab_full_log_worst_frame\t%.1f\tms\n", median(worst));
    printf("FIGURE\tgps_tab_full_log_gc_runs_first_fill\t%d\truns\n", firstFill);
    printf("FIGURE\tgps_tab_full_log_gc_runs_in_6_refills\t%d\truns\n", refills);
    return 0;
}

#include "bench_gpstab.moc"
