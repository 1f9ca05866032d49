// The codeplug as text on a full image (999 channels, 20 zones of 16): YAML
// export, import of that document onto the image, and the diff of two images.
// Prints medians (wall and processor time) as FIGURE lines.
#include <QCoreApplication>

#include "bench/benchtiming.h"
#include "interchange/codeplugtext.h"
#include "manager/decodedkeys.h"

using namespace BenchTiming;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QString error;
    const QVariantList factory
        = CodeplugText::loadImageFile(QStringLiteral("default400-470.dcc"), &error);
    if (factory.isEmpty()) {
        QTextStream(stderr) << error << '\n';
        return 1;
    }
    CodeplugText::Decoded d = CodeplugText::decode(factory);
    QVariantList channels, zones;
    for (int p = 0; p < 999; ++p) {
        const bool digital = p % 2;
        QVariantMap c { { "name", QStringLiteral("Channel %1").arg(p) },
            { "sendFreq", 400000000u + 12500u * p }, { "recvFreq", 400000000u + 12500u * p },
            { "typeChannel", digital }, { "powerCH", p % 3 == 0 } };
        if (digital)
            c.insert({ { "colorCod", 1 }, { "rxGroup", 1 }, { "contact", 1 }, { "encrypt", 0 },
                { "chanelBand", -1 }, { "recvQtDqt", -1 }, { "sendQtDqt", -1 } });
        else
            c.insert({ { "QtDqtTypeRcv", 1 }, { "recvQtDqt", 0x0670 }, { "QtDqtTypeTrasm", 2 },
                { "sendQtDqt", 0x8023 }, { "chanelBand", p % 3 }, { "colorCod", -1 },
                { "rxGroup", -1 }, { "contact", -1 }, { "encrypt", -1 } });
        channels << c;
    }
    for (int z = 0; z < 20; ++z) {
        QVariantList members;
        for (int j = 0; j < 16; ++j)
            members << z * 16 + j;
        zones << QVariantMap { { "title", QStringLiteral("Zone %1").arg(z) },
            { "selectedChannels", members } };
    }
    d.map.insert(DecodedKey::FreqList, channels);
    d.map.insert(DecodedKey::ZoneList, zones);
    const QVariantList full = CodeplugText::applyCollections(factory, d.map, d.keys);
    QByteArray yaml = CodeplugText::exportYaml(full);
    if (CodeplugText::decode(full).map.value(DecodedKey::FreqList).toList().size() != 999)
        return 1;

    const int runs = 11;
    figure("interchange_export_yaml_999",
        median(runs, [&] { yaml = CodeplugText::exportYaml(full); }));
    CodeplugText::ImportResult result;
    figure("interchange_import_yaml_999",
        median(runs, [&] { result = CodeplugText::importYaml(yaml, full); }));
    if (!result.ok || result.image != full)
        return 1;
    QByteArray edited = yaml;
    edited.replace("rx_frequency: 400.0125", "rx_frequency: 401.0125");
    const QVariantList other = CodeplugText::importYaml(edited, full).image;
    QStringList lines;
    figure("interchange_diff_999", median(runs, [&] { lines = CodeplugText::diff(full, other); }));
    return lines.size() == 2 ? 0 : 1;
}
