// Decoding a full GPS log: 247 answers of 2063 bytes, every slot a valid record.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "gps/datagps.h"
#include "gps/gpx.h"

namespace {

QVariantList fullLog()
{
    QVariantList log;
    int n = 0;
    for (int b = 0; b < 247; ++b) {
        QByteArray block(2063, '\0');
        block[7] = char(b);
        for (int s = 0; s < 128; ++s, ++n) {
            char *r = block.data() + 12 + s * 16;
            const float lat = 5545.0f + float(n % 1000) / 100.0f;
            const float lng = 3737.0f + float(n % 700) / 100.0f;
            quint32 bits;
            std::memcpy(&bits, &lat, 4);
            qToLittleEndian(bits, r);
            r[4] = 'N';
            std::memcpy(&bits, &lng, 4);
            qToLittleEndian(bits, r + 5);
            r[9] = 'E';
            const int t = n * 5;
            r[10] = char(1 + t / 86400);
            r[11] = 6;
            r[12] = 19;
            r[13] = char(t / 3600 % 24);
            r[14] = char(t / 60 % 60);
            r[15] = char(t % 60);
        }
        log << block;
    }
    return log;
}

double threadCpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void figure(const char *name, double value, const char *unit)
{
    std::printf("FIGURE\t%s\t%.3f\t%s\n", name, value, unit);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QVariantList log = fullLog();
    int points = 0;
    // "first": a decode with no earlier log in memory (the first read, or the
    // earlier result still held elsewhere). "replace": a decode whose earlier
    // result is held only by dataGps, so its points are freed on the way.
    std::vector<double> firstWall, firstCpu, replaceWall, replaceCpu;
    const auto timed = [&](dataGps &gps, std::vector<double> &wall, std::vector<double> &cpu) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        points = gps.decodeGpsLog(log).toList().size();
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - cpuStart);
    };
    for (int run = 0; run < 31; ++run) {
        auto *gps = new dataGps;
        timed(*gps, firstWall, firstCpu);
        timed(*gps, replaceWall, replaceCpu);
        delete gps;
    }
    figure("gps_log_decode_full_first_wall_median", median(firstWall), "ms");
    figure("gps_log_decode_full_first_cpu_median", median(firstCpu), "ms");
    figure("gps_log_decode_full_replace_wall_median", median(replaceWall), "ms");
    figure("gps_log_decode_full_replace_cpu_median", median(replaceCpu), "ms");
    figure("gps_log_decode_full_points", points, "points");

    // GPX of the whole log, split at pauses as the map draws it.
    dataGps gps;
    const QVariantList all = gps.decodeGpsLog(log).toList();
    std::vector<double> gpxWall, gpxCpu;
    int written = 0;
    qsizetype bytes = 0;
    for (int run = 0; run < 21; ++run) {
        QElapsedTimer timer;
        const double cpuStart = threadCpuMs();
        timer.start();
        bytes = Gpx::document(all, true, QStringLiteral("log"), &written).size();
        gpxWall.push_back(double(timer.nsecsElapsed()) / 1e6);
        gpxCpu.push_back(threadCpuMs() - cpuStart);
    }
    figure("gps_gpx_export_full_log_wall_median", median(gpxWall), "ms");
    figure("gps_gpx_export_full_log_cpu_median", median(gpxCpu), "ms");
    figure("gps_gpx_export_full_log_bytes", double(bytes), "bytes");
    return points == 128 + 246 * 127 && written == points ? 0 : 1;
}
