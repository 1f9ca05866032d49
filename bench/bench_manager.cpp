// A full radio read through Manager against the emulated radio with 1 ms per
// bulk transfer (a USB full-speed frame), from the call to the decoded map,
// with the fixed 1000 ms pause taken out; compared with the latency model's
// own total (transfers × 1 ms).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>

#include "emulator/radioemulator.h"
#include "manager/manager.h"
#include "manager/variantfile.h"

namespace {
QVariantList factoryImage()
{
    QVariantList list;
    VariantFile::read(QCoreApplication::applicationDirPath() + "/default400-470.dcc",
        VariantFile::Kind::Image, &list);
    return list;
}

void figure(const char *name, double value, const char *unit)
{
    std::printf("FIGURE\t%s\t%.2f\t%s\n", name, value, unit);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qSetMessagePattern(QString()); // the read's debug lines are not measured output
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});

    RadioEmulator radio;
    if (!radio.setImage(factoryImage()))
        return 1;
    Manager manager;
    manager.setUsbApi(radio.libusbApi(), true);
    manager.setPause([](int) {});

    // How many transfers one read makes.
    radio.setJournalEnabled(true);
    manager.readDataFromDevice();
    int transfers = 0;
    for (const RadioEmulator::Transfer &t : radio.journal())
        transfers += t.kind != RadioEmulator::Transfer::ClearHalt;
    radio.setJournalEnabled(false);

    radio.setLatencyMicroseconds(1000);
    QVector<double> runs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        bool done = false;
        auto c = QObject::connect(
            &manager, &Manager::dataReadyReadFromDevice, [&done](bool ok) { done = ok; });
        timer.start();
        manager.readDataFromDevice();
        runs << timer.nsecsElapsed() / 1e6;
        QObject::disconnect(c);
        if (!done)
            return 1;
    }
    std::sort(runs.begin(), runs.end());
    const double median = runs.at(runs.size() / 2);
    const double model = transfers * 1.0;
    figure("full radio read, 1 ms per transfer (ms)", median, "ms");
    figure("latency model total for the same read (ms)", model, "ms");
    figure("read time above the latency model", 100.0 * (median - model) / model, "%");
    return 0;
}
