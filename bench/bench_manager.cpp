// A full radio read through Manager against the emulated radio with 1 ms per
// bulk transfer (a USB full-speed frame), from the call to the decoded map,
// with the fixed 1000 ms pause taken out; compared with the latency model's
// own total (transfers × 1 ms). Our own time is the total less the time
// measured inside the transfers, so the scheduler's sleep overshoot on a
// loaded machine does not move it.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "bench/timedlibusb.h"
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
    TimedLibusb timed(radio.libusbApi());
    QTemporaryDir backups; // the reads' backups stay out of the user's folder
    Manager manager;
    manager.setBackupFolder(backups.path());
    manager.setUsbApi(timed.api(), true);
    manager.setPause([](int) {});

    // How many transfers one read makes.
    radio.setJournalEnabled(true);
    manager.readDataFromDevice();
    int transfers = 0;
    for (const RadioEmulator::Transfer &t : radio.journal())
        transfers += t.kind != RadioEmulator::Transfer::ClearHalt;
    radio.setJournalEnabled(false);

    radio.setLatencyMicroseconds(1000);
    QVector<double> runs, outside;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        bool done = false;
        auto c = QObject::connect(
            &manager, &Manager::dataReadyReadFromDevice, [&done](bool ok) { done = ok; });
        const qint64 inTransfers = TimedLibusb::transferNanoseconds();
        timer.start();
        manager.readDataFromDevice();
        const qint64 total = timer.nsecsElapsed();
        runs << total / 1e6;
        outside << (total - (TimedLibusb::transferNanoseconds() - inTransfers)) / 1e6;
        QObject::disconnect(c);
        if (!done)
            return 1;
    }
    const auto median = [](QVector<double> v) {
        std::sort(v.begin(), v.end());
        return v.at(v.size() / 2);
    };
    const double model = transfers * 1.0;
    figure("full radio read, 1 ms per transfer (ms)", median(runs), "ms");
    figure("latency model total for the same read (ms)", model, "ms");
    figure("read time above the latency model", 100.0 * (median(runs) - model) / model, "%");
    figure("full radio read, our time outside the transfers (ms)", median(outside), "ms");
    figure("full radio read, our time outside the transfers", 100.0 * median(outside) / model,
        "% of the wire");
    return 0;
}
