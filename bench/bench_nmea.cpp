// NMEA reader throughput: every receiver capture of the tests, repeated to
// about 32 MB, fed in 4 KB chunks as a serial port delivers them.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "gps/nmeareader.h"

static double threadCpuSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QByteArray logs;
    const QDir dir(QStringLiteral(ORVANE_TEST_DATA_DIR "/nmea"));
    for (const QString &name : dir.entryList({ QStringLiteral("*.log") }, QDir::Files)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            logs += f.readAll();
    }
    if (logs.isEmpty())
        return 1;
    QByteArray stream;
    while (stream.size() < 32 * 1024 * 1024)
        stream += logs;

    constexpr int Chunk = 4096;
    std::vector<double> rates, cpuRates;
    int fixes = 0;
    for (int run = 0; run < 7; ++run) {
        NmeaReader reader;
        fixes = 0;
        QElapsedTimer timer;
        const double cpuStart = threadCpuSeconds();
        timer.start();
        for (int at = 0; at < stream.size(); at += Chunk)
            fixes += reader
                         .feed(QByteArray::fromRawData(stream.constData() + at,
                                   std::min(Chunk, int(stream.size()) - at)),
                             0, 1)
                         .size();
        rates.push_back(double(stream.size()) / 1e6 / (double(timer.nsecsElapsed()) / 1e9));
        cpuRates.push_back(double(stream.size()) / 1e6 / (threadCpuSeconds() - cpuStart));
    }
    std::sort(rates.begin(), rates.end());
    std::sort(cpuRates.begin(), cpuRates.end());
    std::printf("FIGURE\tnmea_reader_throughput_median\t%.1f\tMB/s\n", rates[rates.size() / 2]);
    std::printf(
        "FIGURE\tnmea_reader_throughput_cpu_median\t%.1f\tMB/s\n", cpuRates[cpuRates.size() / 2]);
    std::printf("FIGURE\tnmea_reader_fixes_per_run\t%d\tfixes\n", fixes);
    return fixes > 0 ? 0 : 1;
}
