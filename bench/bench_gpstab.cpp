// Time for the GPS tab to show a full radio log (247 blocks of 128 points):
// setGpsModel builds the sorted table and the tracks, then the next frame is
// drawn. Run with QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickView>
#include <QTimer>
#include <QVariant>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int logPoints = 247 * 128;

// A log as the decoder hands it over: points 10 s apart along a wandering
// line, with a pause of an hour after every 500 points (so some 60 tracks).
QVariantList makeLog()
{
    QVariantList list;
    list.reserve(logPoints);
    qint64 t = 2170330816LL;
    double lat = 55.75, lng = 37.60;
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
    QGuiApplication app(argc, argv);
    QQuickView view;
    view.setInitialProperties(
        { { QStringLiteral("mapPluginName"), QStringLiteral("itemsoverlay") } });
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(1080, 600);
    view.setSource(QUrl(QStringLiteral("qrc:/qml/Tabs/TabGPS.qml")));
    if (view.status() != QQuickView::Ready) {
        for (const auto &e : view.errors())
            fprintf(stderr, "%s\n", qPrintable(e.toString()));
        return 1;
    }
    view.show();
    waitForFrame(&view);

    const QVariant log = makeLog();
    const QVariant empty = QVariantList();
    QObject *tab = view.rootObject();
    std::vector<double> toFrame, call, cpu;
    for (int run = 0; run < 7; ++run) {
        QMetaObject::invokeMethod(tab, "setGpsModel", Q_ARG(QVariant, empty));
        waitForFrame(&view);
        QElapsedTimer timer;
        const double cpuStart = cpuMs();
        timer.start();
        QMetaObject::invokeMethod(tab, "setGpsModel", Q_ARG(QVariant, log));
        call.push_back(timer.nsecsElapsed() / 1e6);
        if (!waitForFrame(&view)) {
            fprintf(stderr, "no frame drawn\n");
            return 1;
        }
        toFrame.push_back(timer.nsecsElapsed() / 1e6);
        cpu.push_back(cpuMs() - cpuStart);
    }
    const int rows = tab->property("rows").toList().size();
    const int tracks = tab->property("trackItems").toList().size();
    fprintf(stderr, "rows %d, tracks %d\n", rows, tracks);
    if (rows != logPoints)
        return 1;
    printf("FIGURE\tgps_tab_full_log_set_model_to_frame\t%.1f\tms\n", median(toFrame));
    printf("FIGURE\tgps_tab_full_log_set_model_call\t%.1f\tms\n", median(call));
    printf("FIGURE\tgps_tab_full_log_set_model_to_frame_cpu\t%.1f\tms\n", median(cpu));
    return 0;
}
