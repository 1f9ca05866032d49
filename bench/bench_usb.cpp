// A full image read and a full image write against the emulated radio
// (in-process libusb table, no latency): CPU time of our own stack per
// exchange, debug lines formatted and dropped by a silent handler.
#include <QCoreApplication>
#include <QMap>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <vector>

#include "emulator/radioemulator.h"
#include "usb/cusb.h"

namespace {

double cpuMicroseconds()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e6 + double(ts.tv_nsec) / 1e3;
}

void silent(QtMsgType, const QMessageLogContext &, const QString &) { }

template <typename F> double median(int runs, F &&run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = cpuMicroseconds();
        run();
        times.push_back(cpuMicroseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void figure(const char *name, double value, const char *unit)
{
    QTextStream(stdout) << "FIGURE\t" << name << '\t' << QString::number(value, 'f', 2) << '\t'
                        << unit << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(silent);

    RadioEmulator radio;
    CUsb usb;
    usb.setApi(radio.libusbApi());
    if (usb.init() != 0)
        return 1;

    const QVariantList image = radio.image();
    QMap<quint16, QByteArray> blocks;
    for (int n = 0; n < RadioEmulator::ImageBlocks; ++n)
        blocks.insert(quint16(n), image[1 + n].toByteArray());

    // Identity, opening command and 177 blocks: 179 exchanges either way.
    const int exchanges = 2 + RadioEmulator::ImageBlocks;
    bool complete = false;
    const double read = median(15, [&] { usb.readImage(&complete); });
    int written = 0;
    const double write = median(15, [&] { written = usb.writeImage(blocks); });
    usb.deInit();
    if (!complete || written != 0)
        return 1;

    figure("usb readImage CPU per exchange (emulator, no latency)", read / exchanges, "us");
    figure("usb writeImage CPU per exchange (emulator, no latency)", write / exchanges, "us");
    figure("usb readImage CPU total (emulator, no latency)", read / 1000.0, "ms");
    figure("usb writeImage CPU total (emulator, no latency)", write / 1000.0, "ms");
    return 0;
}
