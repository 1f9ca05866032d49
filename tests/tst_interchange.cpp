// The codeplug as text: export then import gives the same bytes; bad
// documents are refused with the place of every problem; channel CSV files
// as the ecosystem writes them; the diff of known edits.
#include <QtTest>

#include "codeplug/fieldcodecs.h"
#include "interchange/channelcsv.h"
#include "interchange/codeplugtext.h"
#include "manager/decodedkeys.h"
#include "support/testimage.h"

using namespace CodeplugText;

namespace {
QString issues(const QVector<Issue> &list)
{
    QStringList lines;
    for (const Issue &i : list)
        lines << i.text();
    return lines.join(QLatin1Char('\n'));
}

// Random bytes everywhere, then a few counts made small enough for the
// tables to decode as lists of garbage records.
QVariantList hostile(quint32 start, int channels)
{
    BlockMap blocks = TestImage::randomBlocks(start);
    blocks[42][142] = char(channels), blocks[42][143] = 0;
    blocks[6][0x8C] = char(start % 44); // contact count (may be over capacity)
    return TestImage::imageListFrom(blocks, TestImage::identity(start % 2 ? 3 : 0, start % 3 == 0));
}

QVariantList factory() { return TestImage::factoryImage(); }

// The factory image with bits no field writes flipped in the records of the first
// two channels (VOX, reference frequency, unnamed bits), first contact and zone.
QVariantList undescribedBits()
{
    QVariantList image = factory(); // element 1 + b holds block b
    for (auto [block, at] :
        { std::pair(58, 1460), { 58, 1461 }, { 58, 1464 }, { 58, 1483 }, { 58, 1493 }, { 58, 1497 },
            { 58, 1510 }, { 7, 175 }, { 7, 177 }, { 7, 180 }, { 74, 684 }, { 74, 690 } }) {
        QByteArray b = image.value(1 + block).toByteArray();
        b[at] = char(b.at(at) ^ 0x3C);
        refreshAnswerChecksum(b);
        image[1 + block] = b;
    }
    return image;
}
} // namespace

class TestInterchange : public QObject {
    Q_OBJECT
private slots:
    // The decoders' log about garbage counts is expected here.
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); }
    void roundTrip_data();
    void roundTrip();
    void errors_data();
    void errors();
    void csvImport();
    void diffOfKnownEdits();
};

void TestInterchange::roundTrip_data()
{
    QTest::addColumn<QVariantList>("image");
    QTest::addColumn<QVariantList>("base"); // empty: the image itself
    QTest::newRow("factory 400-470") << factory() << QVariantList();
    QTest::newRow("factory KR4700 136-174")
        << TestImage::factoryImage(QStringLiteral("default4700_136-174.dcc")) << QVariantList();
    QTest::newRow("random, 231 channels") << hostile(7, 231) << QVariantList();
    QTest::newRow("blank 0xFF") << TestImage::imageListFrom(TestImage::blankBlocks(0xFF),
        TestImage::identity()) << QVariantList();
    QTest::newRow("undescribed bits onto another image") << undescribedBits() << factory();
}

void TestInterchange::roundTrip()
{
    QFETCH(QVariantList, image);
    QFETCH(QVariantList, base);
    QVERIFY(image.size() == 178);
    if (base.isEmpty())
        base = image;
    const QByteArray yaml = exportYaml(image);
    const ImportResult r = importYaml(yaml, base, true);
    QVERIFY2(r.ok, qPrintable(issues(r.errors)));
    QVERIFY2(r.image == image,
        qPrintable(TestImage::differences(decode(r.image).blocks, decode(image).blocks).join(' ')));
    // A comment sends the document through the general YAML reader: the same.
    QVERIFY(importYaml("# general reader\n" + yaml, base, true).image == image);
    QCOMPARE(exportYaml(r.image), yaml);
    QCOMPARE(diff(image, r.image), QStringList());
}

void TestInterchange::errors_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("words");
    const auto row = [](const char *path, int line, const char *words, const QByteArray &doc) {
        QTest::newRow(*path ? path : "not YAML") << doc << path << line << words;
    };
    const QByteArray analogue = "channels:\n  - kind: analogue\n",
                     digital = "channels:\n  - kind: digital\n";
    row("channels[0].colour", 3, "unknown key", "channels:\n  - name: \"A\"\n    colour: 3\n");
    row("settings.squelch_normal_level", 2, "not a whole number",
        "settings:\n  squelch_normal_level: high\n");
    row("buttons.long_press_duration", 2, "outside 0 to 255",
        "buttons:\n  long_press_duration: 256\n");
    row("channels[0].rx_tone", 3, "not a tone", analogue + "    rx_tone: \"CTCSS x\"\n");
    row("zones[0].channels[0]", 3, "no channel named \"Nope\"",
        "zones:\n  - name: \"Z\"\n    channels: [\"Nope\"]\n");
    row("channels[0].contact", 3, "no contact number 99", digital + "    contact: 99\n");
    row("zones[1].name", 3, "names must be unique", "zones:\n  - name: \"A\"\n  - name: \"A\"\n");
    QByteArray keys("keys:\n");
    for (int i = 0; i < 41; ++i)
        keys += "  - {name: \"k" + QByteArray::number(i) + "\", value: \"1\"}\n";
    row("keys", 2, "at most 40", keys);
    row("zones[0].channels", 3, "at most 16",
        "zones:\n  - name: \"Z\"\n    channels: [" + QByteArray("1, ").repeated(16) + "1]\n");
    row("channels[0].bandwidth", 3, "only analogue", digital + "    bandwidth: 25\n");
    row("channels[40]", 42, "needs rx_frequency",
        "channels:\n"
            + QByteArray("  - {kind: analogue, rx_frequency: 446.1, tx_frequency: 446.1}\n")
                  .repeated(40)
            + "  - kind: analogue\n");
    row("channels[0].raw", 3, "hexadecimal digits", analogue + "    raw: \"00zz\"\n");
    row("", 2, "", "channels: [\n");
}

void TestInterchange::errors()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, path);
    QFETCH(int, line);
    QFETCH(QString, words);
    const ImportResult r = importYaml(document, factory());
    QVERIFY(!r.ok);
    QVERIFY(r.image.isEmpty());
    const auto found = std::find_if(r.errors.cbegin(), r.errors.cend(), [&](const Issue &i) {
        return i.path == path && i.line == line && i.message.contains(words);
    });
    QVERIFY2(found != r.errors.cend(), qPrintable(issues(r.errors)));
}

void TestInterchange::csvImport()
{
    // As the ecosystem writes it: a byte-order mark, CRLF, quoted fields,
    // empty trailing columns, unknown columns.
    const QByteArray csv
        = "\xEF\xBB\xBF"
          "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
          "Mode,TStep,Skip,Power,Comment,URCALL,ColorCode,RxGroup,Contact\r\n"
          "0,\"Rep, "
          "\"\"North\"\"\",439.100000,-,7.600000,Tone,88.5,88.5,023,NN,FM,12.50,,5.0W,,,,,\r\n"
          "1,Simplex,446.006250,,0.000000,TSQL,88.5,123.0,023,NN,NFM,6.25,S,1.0W,,\r\n"
          "2,Dcs,433.500000,split,434.000000,DTCS,88.5,88.5,754,RN,FM,12.50,,4W,,\r\n"
          "3,Dmr,438.250000,,0.000000,,88.5,88.5,023,NN,DMR,12.50,,5.0W,,,7,,\r\n";
    const QVariantList base = factory();
    const auto channels = [](const QVariantList &image) {
        return decode(image).map.value(DecodedKey::FreqList).toList();
    };
    const ImportResult r = ChannelCsv::importCsv(csv, base, false);
    QVERIFY2(r.ok, qPrintable(issues(r.errors)));
    const QVariantList ch = channels(r.image);
    QCOMPARE(ch.size(), 4);
    // name rx tx rx-tone-type rx-tone tx-tone-type tx-tone band power digital
    // colour ('*': not looked at)
    const QStringList expected { "Rep, \"North\"|439100000|431500000|0|*|1|2181|0|true|*|*",
        "Simplex|446006250|446006250|*|4656|*|4656|1|false|*|*",
        // R: inverted transmit; 4 W: nearer the high level.
        "Dcs|433500000|434000000|2|34644|*|51028|*|true|*|*",
        "Dmr|438250000|*|*|*|*|*|*|*|true|7" };
    const char *keys[] = { "name", "recvFreq", "sendFreq", "QtDqtTypeRcv", "recvQtDqt",
        "QtDqtTypeTrasm", "sendQtDqt", "chanelBand", "powerCH", "typeChannel", "colorCod" };
    for (int i = 0; i < 4; ++i) {
        QStringList f = expected.at(i).split('|');
        for (int k = 0; k < f.size(); ++k)
            f[k] = f[k] == "*" ? f[k] : ch.at(i).toMap().value(keys[k]).toString();
        QCOMPARE(f.join('|'), expected.at(i));
    }

    // Rows that cannot be represented: refused with their line numbers.
    const ImportResult bad = ChannelCsv::importCsv(
        "Name,Frequency,Mode\r\nA,446.1,AM\r\nB,512.5,FM\r\nC,446.1,FM\r\n", base, true);
    QVERIFY(!bad.ok);
    QCOMPARE(bad.errors.size(), 2);
    QCOMPARE(
        QVector<int>({ bad.errors.at(0).line, bad.errors.at(1).line }), QVector<int>({ 2, 3 }));

    // --append keeps the image's channels and adds after them.
    const QVariantList before = channels(base);
    const QVariantList all
        = channels(ChannelCsv::importCsv("Name,Frequency\nX,446.1\n", base, true).image);
    QCOMPARE(all.mid(0, all.size() - 1), before);
    QCOMPARE(all.last().toMap().value("name").toString(), QStringLiteral("X"));
}

void TestInterchange::diffOfKnownEdits()
{
    const QVariantList base = factory();
    const QVariantMap ch0 = decode(base).map.value(DecodedKey::FreqList).toList().first().toMap();
    const QString first = ch0.value("name").toString();
    const QByteArray freq = mhz(ch0.value("recvFreq").toUInt()).toLatin1();
    QByteArray yaml = exportYaml(base);
    yaml.replace("rx_frequency: " + freq, "rx_frequency: 446.01875");
    const ImportResult r = importYaml(yaml, base);
    QVERIFY2(r.ok, qPrintable(issues(r.errors)));
    QVariantList edited = r.image;
    QByteArray identity = edited.at(0).toByteArray();
    identity[200] = char(identity.at(200) ^ 0x5A);
    edited[0] = identity;

    const QStringList lines = diff(base, edited);
    QVERIFY2(lines.contains(QStringLiteral("channels:")), qPrintable(lines.join('\n')));
    QVERIFY2(lines.contains(QStringLiteral("  channel 1 \"%1\": rx_frequency %2 → 446.01875 MHz")
                                .arg(first, QString(freq))),
        qPrintable(lines.join('\n')));
    QVERIFY(lines.contains(QStringLiteral("bytes no field describes:")));
    QCOMPARE(lines.filter(QStringLiteral("identity offset 200:")).size(), 1);
    QCOMPARE(lines.size(), 4);
}

QTEST_GUILESS_MAIN(TestInterchange)
#include "tst_interchange.moc"
