// Writes the starting corpus of every harness into DIR/<harness>/: the
// factory default images, the emulated radio's generated GPS log and its
// points, NMEA sentences, and whole USB conversations of a successful read,
// each in the input form its harness takes.
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <cstdio>

#include "emulator/radioemulator.h"
#include "gps/datagps.h"
#include "manager/variantfile.h"

namespace {

QString outDir;

bool put(const QString &harness, const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(outDir + '/' + harness);
    QFile file(outDir + '/' + harness + '/' + name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray streamed(const QVariantList &list)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << list;
    return bytes;
}

// The fake radio's input for one exchange of fuzz_usb: command wrapper, frame
// and matching status out; command wrapper, the answer and status back.
QByteArray exchange(const QByteArray &answer)
{
    const QByteArray sent("\x04\x04\x0c\x00\x00", 5);
    return sent + QByteArray("\x04\x04", 2) + answer + QByteArray("\x0c\x00\x00", 3);
}

QByteArray nmea(const QByteArray &body)
{
    quint8 sum = 0;
    for (char c : body)
        sum ^= quint8(c);
    return '$' + body + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[1]);
    const QString bin = QCoreApplication::applicationDirPath();
    bool ok = true;

    // Files: the default images, the generated log, its points.
    const QVariantList log = RadioEmulator::generatedGpsLog(400);
    dataGps gps;
    const QVariantList points = gps.decodeGpsLog(log).toList();
    ok &= put("fuzz_variantfile", "log", '\1' + streamed(log));
    ok &= put("fuzz_variantfile", "points", '\2' + streamed(points));
    ok &= put("fuzz_variantfile", "points-few", '\2' + streamed(points.mid(0, 3)));
    QVariantList defaults;
    for (const char *name : { "default400-470.dcc", "default136-174.dcc", "default4700_400-470.dcc",
             "default4700_136-174.dcc" }) {
        QVariantList image;
        if (!VariantFile::read(bin + '/' + name, VariantFile::Kind::Image, &image)) {
            std::fprintf(stderr, "%s not found beside %s\n", name, argv[0]);
            return 1;
        }
        ok &= put("fuzz_variantfile", name, '\0' + streamed(image));
        defaults.append(QVariant(image));
    }

    // Decoders: each default image as patches over the blank image of its model.
    for (int d = 0; d < defaults.size(); ++d) {
        const bool kr4700 = d >= 2;
        const QVariantList image = defaults.at(d).toList();
        const QVariantList blank = RadioEmulator::blankImage(kr4700, 0);
        QByteArray patches(1, char(kr4700 ? 1 : 0));
        for (int b = 0; b < 177 && b + 1 < image.size(); ++b) {
            const QByteArray now = image.at(b + 1).toByteArray();
            const QByteArray was = blank.at(b + 1).toByteArray();
            for (int at = 12; at < 2060; at += 255) {
                const int n = qMin(255, 2060 - at);
                if (now.mid(at, n) == was.mid(at, n))
                    continue;
                patches += char(b);
                patches += char((at - 12) >> 8);
                patches += char(at - 12);
                patches += char(n);
                patches += now.mid(at, n);
            }
        }
        ok &= put("fuzz_codeplug", QStringLiteral("default-%1").arg(d), patches);
    }
    ok &= put("fuzz_codeplug", "blank", QByteArray(1, '\0'));

    // The GPS log decoder: whole answers.
    QByteArray answers;
    for (const QVariant &a : log)
        answers += QByteArray(2, '\0') + a.toByteArray();
    ok &= put("fuzz_gpslog", "generated", answers);
    ok &= put("fuzz_gpslog", "first-block", answers.left(2 + 2063));

    // NMEA: fixes of both kinds from two talkers, noise between them.
    QByteArray text = nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W")
        + nmea("GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
        + QByteArray("\x00\xff$GPRMC,12", 11)
        + nmea("GNRMC,000001.00,A,5545.0000,N,03737.0000,E,0.0,0.0,251119,,,A")
        + nmea("GNGGA,000002.00,5545.0010,N,03737.0010,E,2,12,0.8,150.0,M,14.0,M,,");
    ok &= put("fuzz_nmea", "fixes", '\x10' + text);
    ok &= put("fuzz_nmea", "one-by-one", '\0' + text);

    // USB: identity, a whole image read, a whole GPS log read.
    QVariantList image = defaults.at(0).toList();
    const QByteArray identity = image.at(0).toByteArray();
    ok &= put("fuzz_usb", "identity", '\0' + exchange(identity));
    QByteArray read = '\1' + exchange(identity) + exchange(QByteArray(10, '\0'));
    for (int b = 1; b < image.size(); ++b)
        read += exchange(image.at(b).toByteArray());
    ok &= put("fuzz_usb", "image", read);
    QByteArray gpsRead(1, '\2');
    for (const QVariant &a : log)
        gpsRead += exchange(a.toByteArray());
    ok &= put("fuzz_usb", "gps", gpsRead);
    return ok ? 0 : 1;
}
