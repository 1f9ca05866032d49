// Channel table figures, offscreen: filling the table with 999 channels until
// the next frame is drawn (with the longest frame interval over the fill and
// the ten frames after it, and the script engine's garbage collections in
// that time), collecting them back with getData, and start-up of the program
// to its first frame. With --shots DIR it also saves pictures of
// the window (start, read progress, filled table, value editor, About).
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "gccount.h"
#include "manager/manager.h"

namespace {

void figure(const char *name, double value, const char *unit)
{
    std::printf("FIGURE\t%s\t%.1f\t%s\n", name, value, unit);
    std::fflush(stdout);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// A channel list as the decoder hands it over: digital and analogue channels
// with tones, references into the lists below.
QVariantList sampleChannels(int n, int variant = 0)
{
    QVariantList list;
    for (int i = 0; i < n; ++i) {
        QVariantMap ch;
        const bool digital = i % 3 != 0;
        ch["channel"] = i;
        ch["name"] = QStringLiteral("Канал %1").arg(i + 1 + variant);
        ch["typeChannel"] = digital;
        ch["recvFreq"] = 435000000u + uint(i) * 12500u;
        ch["sendFreq"] = 435000000u + uint(i) * 12500u;
        ch["powerCH"] = i % 2 == 0;
        if (digital) {
            ch["colorCod"] = i % 16;
            ch["rxGroup"] = 1 + i % 3;
            ch["contact"] = i % 20;
            ch["encrypt"] = i % 5;
            ch["chanelBand"] = -1;
            ch["recvQtDqt"] = -1;
            ch["sendQtDqt"] = -1;
            ch["sendPttId"] = -1;
        } else {
            ch["colorCod"] = -1;
            ch["rxGroup"] = -1;
            ch["contact"] = -1;
            ch["encrypt"] = -1;
            ch["chanelBand"] = i % 2;
            ch["recvQtDqt"] = 0x670;
            ch["QtDqtTypeRcv"] = 1;
            ch["sendQtDqt"] = 0xC754;
            ch["QtDqtTypeTrasm"] = 3;
        }
        list.append(ch);
    }
    return list;
}

QVariantList sampleGroups()
{
    QVariantList list;
    const char *titles[] = { "Диспетчер", "Охрана", "Все" };
    for (int i = 0; i < 3; ++i)
        list.append(QVariantMap { { "title", QString::fromUtf8(titles[i]) }, { "groups", i + 1 },
            { "selectedContacts", QVariantList { 1 } } });
    return list;
}

QVariantList sampleContacts()
{
    QVariantList list;
    for (int i = 0; i < 20; ++i)
        list.append(QVariantMap { { "name", QStringLiteral("Абонент %1").arg(i + 1) }, { "pos", i },
            { "number", QString::number(1000 + i) }, { "type", i % 3 }, { "tone", 0 } });
    return list;
}

QVariantMap sampleKeys()
{
    return QVariantMap { { "Ключ A", "7e2b" }, { "Ключ B", "1234" }, { "Ключ C", "abcd" },
        { "Ключ D", "f00" } };
}

// Runs the event loop until the window has swapped a frame.
void waitForFrame(QQuickWindow *window)
{
    QEventLoop loop;
    auto c = QObject::connect(
        window, &QQuickWindow::frameSwapped, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    window->update();
    loop.exec();
    QObject::disconnect(c);
}

void settle(QQuickWindow *window, int ms = 50)
{
    waitForFrame(window);
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QVariant call(QObject *object, const char *method, const QVariantList &args = {})
{
    QVariant result;
    QGenericArgument a[4];
    for (int i = 0; i < args.size() && i < 4; ++i)
        a[i] = Q_ARG(QVariant, args[i]);
    QMetaObject::invokeMethod(
        object, method, Q_RETURN_ARG(QVariant, result), a[0], a[1], a[2], a[3]);
    return result;
}

void shot(QQuickWindow *window, const QString &dir, const QString &name)
{
    settle(window, 300);
    const QImage image = window->grabWindow();
    if (!image.save(dir + "/" + name + ".png"))
        std::fprintf(
            stderr, "could not save %s (%dx%d)\n", qPrintable(name), image.width(), image.height());
}

} // namespace

int main(int argc, char *argv[])
{
    GcCount::install();
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int shotsAt = args.indexOf(QStringLiteral("--shots"));
    const QString shotsDir
        = shotsAt > 0 && shotsAt + 1 < args.size() ? args[shotsAt + 1] : QString();

    Manager *manager = Manager::instance();
    QQmlApplicationEngine engine;
    engine.rootContext()->setContextProperty(QStringLiteral("Manager"), manager);
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    QObject *screen = window->property("mainScreen").value<QObject *>();
    auto *about = window->property("aboutWindow").value<QQuickWindow *>();
    settle(window);
    if (!shotsDir.isEmpty()) {
        shot(about, shotsDir, "about");
        shot(window, shotsDir, "start_with_about");
    }
    about->close();
    about->setVisible(false);
    // The tabs are made when first needed.
    QMetaObject::invokeMethod(screen, "ensureTabs");
    QObject *tab = screen->property("channelTab").value<QObject *>();
    if (!shotsDir.isEmpty()) {
        shot(window, shotsDir, "start");
        screen->setProperty("state", "state_read_loading");
        screen->setProperty("progress", 37);
        shot(window, shotsDir, "read_progress");
        screen->setProperty("state", "state_write_loading");
        screen->setProperty("progress", 64);
        shot(window, shotsDir, "write_progress");
    }
    screen->setProperty("state", "state_work");
    settle(window);

    // The lists as the window's script has them when it fills the table
    // (the read's answer, shared by every tab, is made into script values
    // once, before any tab is filled).
    const auto script
        = [&](const QVariant &v) { return QVariant::fromValue(engine.toScriptValue(v)); };
    // Two images in turn: an image read again replaces the one shown.
    const QVariant channels[] = { script(sampleChannels(999)), script(sampleChannels(999, 1)) };
    const QVariant groups = script(sampleGroups());
    const QVariant contacts = script(sampleContacts());
    const QVariant keys = script(sampleKeys());

    std::vector<double> fill, collect, worst;
    int firstFill = 0, refills = 0;
    call(tab, "clearAll");
    settle(window, 20);
    // What the set-up left (the window's start, the sample lists made into
    // script values) is collected first, so that the counts below are the
    // fills' own.
    engine.collectGarbage();
    for (int run = 0; run < 7; ++run) {
        const int gcBefore = GcCount::runs();
        QElapsedTimer t;
        t.start();
        call(tab, "fillTable", { channels[run % 2], groups, contacts, keys });
        waitForFrame(window);
        fill.push_back(t.nsecsElapsed() / 1e6);
        double longest = fill.back(), last = fill.back();
        for (int frame = 0; frame < 10; ++frame) {
            waitForFrame(window);
            const double now = t.nsecsElapsed() / 1e6;
            longest = std::max(longest, now - last);
            last = now;
        }
        worst.push_back(longest);
        (run == 0 ? firstFill : refills) += GcCount::runs() - gcBefore;
    }
    int rows = 0;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer t;
        t.start();
        QVariant data = call(tab, "getData");
        collect.push_back(t.nsecsElapsed() / 1e6);
        rows = data.value<QJSValue>().property("length").toInt();
    }
    if (rows != 999) {
        std::fprintf(stderr, "getData returned %d rows\n", rows);
        return 1;
    }
    figure("channel_table_fill_999_to_frame", median(fill), "ms");
    figure("channel_table_fill_999_worst_frame", median(worst), "ms");
    figure("channel_table_fill_999_gc_runs_first_fill", firstFill, "runs");
    figure("channel_table_fill_999_gc_runs_in_6_refills", refills, "runs");
    figure("channel_table_getData_999", median(collect), "ms");

    if (!shotsDir.isEmpty()) {
        shot(window, shotsDir, "table");
        QObject *table = tab->property("table").value<QObject *>();
        QMetaObject::invokeMethod(table, "openValueEditor", Q_ARG(QVariant, 2),
            Q_ARG(QVariant, QStringLiteral("rx_groupe")));
        shot(window, shotsDir, "value_editor");
        QMetaObject::invokeMethod(table, "openValueEditor", Q_ARG(QVariant, 3),
            Q_ARG(QVariant, QStringLiteral("recv_qt_dqt")));
        shot(window, shotsDir, "value_editor_squelch");
        call(tab->property("table").value<QObject *>()->property("valueEditor").value<QObject *>(),
            "close");
        QMetaObject::invokeMethod(table, "editFrequency", Q_ARG(QVariant, 1),
            Q_ARG(QVariant, QStringLiteral("recv_freq")));
        shot(window, shotsDir, "frequency_editor");
        QMetaObject::invokeMethod(manager, "setTranslation", Q_ARG(QString, "en"), Q_ARG(int, 1));
        shot(window, shotsDir, "table_en");
        QMetaObject::invokeMethod(manager, "setTranslation", Q_ARG(QString, "ru"), Q_ARG(int, 0));
    }

    // Start-up of the program to its first frame, as a separate process.
    const QString program = QCoreApplication::applicationDirPath() + "/orvane";
    std::vector<double> startup;
    for (int run = 0; run < 7; ++run) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer t;
        t.start();
        p.start(program, { QStringLiteral("--quit-after-first-frame") });
        if (!p.waitForFinished(20000) || p.exitCode() != 0) {
            std::fprintf(stderr, "orvane --quit-after-first-frame failed\n");
            return 1;
        }
        startup.push_back(t.nsecsElapsed() / 1e6);
    }
    figure("startup_to_first_frame", median(startup), "ms");
    return 0;
}
