// The radio workflows against the emulated radio: faults reported as failures with what is held
// untouched; what the user did not touch goes back byte for byte; unfit writes are refused.
#include <QtTest>

#include <algorithm>
#include <utility>

#include "codeplug/editmerge.h"
#include "support/collections.h"
#include "support/radiorig.h"
#include "support/testimage.h"

namespace {
struct Range {
    int element; // in the image list: 0 identity, n + 1 block n
    int from, to; // byte offsets, to exclusive
};

using Collections::Edit;
using Collections::setIn;

enum Operation { Read, Write, Gps };
struct DefaultRow {
    int band, secondBand; // identity byte 94, and byte 94 of the 0x03 answer
    bool kr4700;
    const char *file; // empty: refused
};
struct Fault {
    const char *name;
    // -1: unplugged after `after` transfers, -2: an unused answer short, -3: cancelled
    int fault, count, after;
};
} // namespace
Q_DECLARE_METATYPE(Range)
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(DefaultRow)

class TestManagerDevice : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(TestImage::factoryImage().size() == 178,
            "the build generates default400-470.dcc beside the tests");
    }

    void connectAttempts_data()
    {
        QTest::addColumn<int>("plugAt"); // the pause during which the radio appears; 0: never
        QTest::addColumn<bool>("denied"); // present, but opening it is not permitted
        // The real pause keeps the event loop running: a Cancel during it ends the attempts.
        QTest::newRow("cancelled during the first pause") << -1 << false;
        QTest::newRow("absent") << 0 << false;
        QTest::newRow("access denied") << 0 << true;
        QTest::newRow("plugged in during the second pause") << 2 << false;
    }
    void connectAttempts()
    {
        QFETCH(int, plugAt);
        QFETCH(bool, denied);
        RadioRig f(TestImage::factoryImage());
        f.radio.setOpenDenied(denied);
        if (!denied)
            f.radio.unplug();
        f.manager.setPause([&](int ms) {
            f.pauses << ms;
            if (f.pauses.size() == plugAt)
                f.radio.plug();
            if (plugAt < 0)
                f.manager.waitEventful(ms);
        });
        if (plugAt < 0)
            QTimer::singleShot(200, &f.manager, &Manager::cancelDeviceOperation);
        QSignalSpy accessDenied(&f.manager, &Manager::usbAccessDenied);
        QSignalSpy retries(&f.manager, &Manager::signalRetryConnect);
        QSignalSpy done(&f.manager, &Manager::dataReadyReadFromDevice);
        f.manager.readDataFromDevice();

        const int attempts = plugAt > 0 ? plugAt : plugAt < 0 ? 1 : 10;
        QList<int> countdown, pauses = QVector<int>(attempts, 3000).toList();
        for (int i = 0; i < attempts; ++i)
            countdown << 10 - i;
        QCOMPARE(values(retries), countdown);
        QCOMPARE(accessDenied.count(), denied ? 10 : 0);
        if (plugAt > 0)
            pauses << 1000;
        QCOMPARE(f.pauses, pauses);
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toBool(), plugAt > 0);
        QCOMPARE(f.manager.hasImage(), plugAt > 0);
        if (plugAt > 0)
            return;
        QVERIFY(!done.at(0).at(1).isValid());
        QVERIFY(f.manager.image().isEmpty());
        QVERIFY(!f.manager.hasUnsavedChanges({}, {}, {}, {}, {}, {})); // nothing to lose
        // Without an image a write is refused before the radio is touched.
        f.radio.setJournalEnabled(true);
        f.radio.plug();
        QVERIFY(!f.write(QVector<QVariant>(6).toList()));
        QVERIFY(f.radio.journal().isEmpty());
        QCOMPARE(f.radio.contextUses(), 0);
    }

    // A read relays the link's 177 progress values paced, then the radio's
    // type, then the image; a write (read before, write, read back) one rising
    // progress to 100. Another operation started from a progress handler (a
    // click handled by the event-loop pass inside the transfer) is refused.
    void readAndWriteWithProgress()
    {
        RadioRig f(TestImage::factoryImage());
        f.radio.setLatencyMicroseconds(300); // a read of about 0.4 s: several relays
        QElapsedTimer clock;
        clock.start();
        QList<QPair<int, double>> readProgress; // value, ms since the start
        QList<QByteArray> events;
        connect(&f.manager, &Manager::readProgressChanged, this, [&](int p) {
            readProgress << qMakePair(p, clock.nsecsElapsed() / 1e6);
            if (readProgress.size() > 1)
                return;
            f.manager.readDataFromDevice();
            f.manager.readGPSData();
            f.manager.writeImageToDevice();
            events << (f.manager.slotDefaultSettings() == -1 ? "default refused" : "default ran");
        });
        int passes = 0; // event-loop passes during the read
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&passes] { ++passes; });
        tick.start(0);
        connect(&f.manager, &Manager::signalTypeRadio, this, [&events] { events << "type"; });
        connect(&f.manager, &Manager::dataReadyReadFromDevice, this,
            [&events](bool ok) { events << (ok ? "read ok" : "read refused"); });
        connect(&f.manager, &Manager::signalGPSReadFailed, this,
            [&events] { events << "gps refused"; });
        connect(&f.manager, &Manager::dataWroteToDevice, this,
            [&events](bool ok) { events << (ok ? "write ok" : "write refused"); });
        const QVariantMap before = f.read();
        QCOMPARE(events,
            (QList<QByteArray> { "read refused", "gps refused", "write refused", "default refused",
                "type", "read ok" }));
        QCOMPARE(f.manager.image(), f.radio.image());
        // Paced: the first, the last, between them one per interval at most,
        // each with an event-loop pass.
        QVERIFY(readProgress.size() >= 3);
        QCOMPARE(qMakePair(readProgress.first().first, readProgress.last().first), qMakePair(0, 99));
        for (int i = 1; i + 1 < readProgress.size(); ++i)
            QVERIFY(readProgress[i].second - readProgress[i - 1].second
                > Manager::ProgressIntervalMs - 1);
        QCOMPARE(passes, readProgress.size());
        QVERIFY(!f.radio.isOpen()); // released after the read

        QSignalSpy progress(&f.manager, &Manager::writeProgressChanged);
        const QVariantList c = Collections::fromDecoded(before);
        connect(&f.manager, &Manager::writeProgressChanged, this, [&] {
            if (progress.count() == 1)
                f.write(c);
        });
        events.clear();
        f.write(c);
        QCOMPARE(events, (QList<QByteArray> { "write refused", "write ok" }));
        const QList<int> written = values(progress);
        QVERIFY(written.first() == 0 && std::is_sorted(written.begin(), written.end()));
        QCOMPARE(written.last(), 100);
        QVERIFY(f.radio.protocolErrors().isEmpty());
    }

    // After a good read of the image and of the GPS log, a broken or
    // cancelled transfer is a failure; what the screens hold (image, GPS
    // points, unsaved edits) stays as it was; a cancelled write says so, as
    // the radio may hold a partial image. No failures: a short answer whose
    // bytes are not used (the open-read answer, fetch 1 of a read; after a
    // write's read of the radio the identity, 179, and the open-write answer,
    // 180); an erased GPS log (no points, no pause after).
    void faultInTransfer_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<Fault>("fault");
        const Fault rows[] = {
            { "status 1 with sense data", RadioEmulator::Status1, 1, 40 },
            { "status stalls 10 times", RadioEmulator::StallStatus, 10, 80 },
            { "unplugged mid transfer", -1, 0, 300 },
            { "short answer", RadioEmulator::ShortAnswer, 1, 10 },
            { "cancelled half-way", -3, 0, 0 },
        };
        const char *names[] = { "read", "write", "gps" };
        for (int op : { Read, Write, Gps })
            for (const Fault &r : rows)
                QTest::addRow("%s: %s", names[op], r.name) << op << r;
        for (int fetch : { 1, 179, 180 })
            QTest::addRow("unused answer %d short", fetch)
                << int(fetch == 1 ? Read : Write) << Fault { "", -2, 1, fetch };
        QTest::newRow("gps: erased log") << int(Gps) << Fault { "", -2, 0, 0 };
    }
    void faultInTransfer()
    {
        QFETCH(int, operation);
        QFETCH(Fault, fault);
        RadioRig f(TestImage::factoryImage());
        const QVariantMap decoded = f.read();
        if (fault.fault == -2) {
            f.radio.injectFault(RadioEmulator::ShortAnswer, fault.count, fault.after);
            QSignalSpy done(&f.manager, &Manager::dataWroteToDevice);
            QSignalSpy empty(&f.manager, &Manager::signalGPSEmpty);
            f.pauses.clear();
            if (operation == Read)
                QVERIFY(!f.read().isEmpty());
            else if (operation == Write)
                f.manager.writeImageToDevice();
            else {
                QVERIFY(f.radio.setGpsLog(QVariantList()));
                f.manager.readGPSData();
            }
            QCOMPARE(done.count() == 1 && done.at(0).at(0).toBool(), operation == Write);
            QCOMPARE(empty.count(), operation == Gps ? 1 : 0);
            QCOMPARE(f.pauses, QList<int> { 1000 }); // the radio settles after it is opened
            return;
        }
        const QVariantList image = f.manager.image(), shown = Collections::fromDecoded(decoded);
        const BlockMap blocks = f.manager.blocks();
        f.baseline(shown);
        QSignalSpy started(&f.manager, &Manager::signalGPSRead);
        QSignalSpy kept(&f.manager, &Manager::signalGPSReadyRead);
        QSignalSpy progress(&f.manager, &Manager::readProgressChanged);
        f.pauses.clear();
        f.manager.readGPSData();
        f.manager.SlotGPSReadyRead(); // the points are kept for a later request
        const QVariant points = kept.at(0).at(0);
        QVERIFY(started.count() == 1 && points.toList().size() > 100);
        QCOMPARE(kept.count(), 2);
        QCOMPARE(kept.at(1).at(0), points);
        QCOMPARE(f.pauses, (QList<int> { 1000, 2000 }));
        const QList<int> relayed = values(progress);
        QVERIFY(relayed.size() >= 2 && relayed.size() < 248); // paced, not one per block
        QVERIFY(relayed.first() == 0 && relayed.last() == 100);

        // Change the radio so that a broken read cannot pass for the old one.
        QVariantList changed = image;
        QByteArray block = changed[10].toByteArray();
        block[100] = char(block[100] ^ 0x5A);
        changed[10] = block;
        QVERIFY(f.radio.setImage(changed));
        if (fault.fault >= 0)
            f.radio.injectFault(RadioEmulator::Fault(fault.fault), fault.count, fault.after);
        else if (fault.fault == -1)
            f.radio.unplugAfterTransfers(fault.after);
        if (fault.fault == -3) {
            f.radio.setLatencyMicroseconds(300); // slow enough for progress to arrive part-way
            for (auto progress : { &Manager::readProgressChanged, &Manager::writeProgressChanged })
                connect(&f.manager, progress, this, [&f](int p) {
                    if (p >= 50)
                        f.manager.cancelDeviceOperation();
                });
        }

        QSignalSpy type(&f.manager, &Manager::signalTypeRadio);
        QSignalSpy gpsFailed(&f.manager, &Manager::signalGPSReadFailed);
        QSignalSpy gpsEmpty(&f.manager, &Manager::signalGPSEmpty);
        QSignalSpy gpsReady(&f.manager, &Manager::signalGPSReadyRead);
        QSignalSpy problems(&f.manager, &Manager::writeProblem);
        if (operation == Read)
            QVERIFY(f.read().isEmpty());
        else if (operation == Write)
            QVERIFY(!f.write(shown));
        else
            f.manager.readGPSData();
        QCOMPARE(type.count(), 0);
        const bool cancelledWrite = operation == Write && fault.fault == -3;
        QCOMPARE(
            values(problems), cancelledWrite ? QList<int> { Manager::Cancelled } : QList<int>());
        QVERIFY(!f.manager.hasUnsavedChanges(
            shown[0], shown[1], shown[2], shown[3], shown[4], shown[5]));
        QCOMPARE(gpsFailed.count(), operation == Gps ? 1 : 0);
        QCOMPARE(gpsEmpty.count() + gpsReady.count(), 0);
        QCOMPARE(f.manager.image(), image);
        QCOMPARE(f.manager.blocks(), blocks);
        f.manager.SlotGPSReadyRead();
        QCOMPARE(gpsReady.at(0).at(0), points);
    }

    // The factory default image for the radio's band and model, read from
    // its identity; an unknown band is refused.
    void defaultImageByBandAndModel_data()
    {
        QTest::addColumn<DefaultRow>("r");
        const DefaultRow rows[] = { { 0, 0, false, "default400-470.dcc" },
            { 3, 0, false, "default136-174.dcc" }, { 0, 0, true, "default4700_400-470.dcc" },
            { 3, 0, true, "default4700_136-174.dcc" }, { 1, 0, false, "" }, { 2, 0, true, "" },
            { 0xFF, 3, false, "default136-174.dcc" } };
        for (const DefaultRow &r : rows)
            QTest::addRow("band %d/%d%s", r.band, r.secondBand, r.kr4700 ? " KR4700" : "") << r;
    }
    void defaultImageByBandAndModel()
    {
        QFETCH(DefaultRow, r);
        const QString file = r.file;
        RadioRig f(TestImage::factoryImage());
        f.radio.setBandCode(quint8(r.band));
        f.radio.setSecondBandCode(quint8(r.secondBand));
        f.radio.setKr4700(r.kr4700);
        QSignalSpy decoded(&f.manager, &Manager::dataReadyReadFromDevice);
        QSignalSpy type(&f.manager, &Manager::signalTypeRadio);
        QCOMPARE(f.manager.slotDefaultSettings(), file.isEmpty() ? -1 : 0);
        QVERIFY(f.pauses.isEmpty()); // the identity is read at once
        QVERIFY(!f.radio.isOpen());
        QCOMPARE(decoded.count(), file.isEmpty() ? 0 : 1);
        QCOMPARE(
            f.manager.image(), file.isEmpty() ? QVariantList() : TestImage::factoryImage(file));
        if (file.isEmpty())
            return;
        QCOMPARE(type.at(0).at(0).toInt(), r.kr4700 ? 1 : 0);
        // A default image alone does not permit a write.
        QVERIFY(!f.manager.hasImage());
        QVERIFY(!f.write(Collections::fromDecoded(decoded.at(0).at(1).toMap())));
    }

    void untouchedGoesBackByteForByte_data()
    {
        QTest::addColumn<QVariantList>("image");
        QTest::addColumn<QString>("path");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QList<Range>>("changes");
        const QVariantList factory = TestImage::factoryImage();
        const QVariantList hostile = TestImage::hostileImage();
        QVERIFY(factory.size() == 178 && hostile.size() == 178);
        const Edit none = [](QVariantList &) {};
        for (const QString path : { "open-save", "read-save", "read-write-read" })
            for (const QVariantList &image : { factory, hostile })
                QTest::addRow("%s, %s", image == factory ? "factory" : "hostile", qPrintable(path))
                    << image << path << none << QList<Range>();
        const auto sum = [](int block) { return Range { block + 1, 2060, 2062 }; };
        const Edit freq = setIn(EditMerge::Channels, 0, "recv_freq", 401125000);
        const struct {
            const char *name, *path;
            Edit edit;
            QList<Range> changes;
        } rows[] = {
            { "channel frequency, write", "read-write-read", freq, { { 59, 1456, 1460 } } },
            { "channel frequency", "open-save", freq, { { 59, 1456, 1460 }, sum(58) } },
            { "zone title", "open-save", setIn(EditMerge::Zones, 1, "title", QStringLiteral("Ed")),
                { { 75, 732, 764 }, sum(74) } },
            { "contact number", "open-save", setIn(EditMerge::Contacts, 0, "number", 4242),
                { { 8, 172, 175 }, sum(7) } },
            { "key value", "open-save", setIn(EditMerge::Keys, 0, "number", "a1b2"),
                { { 5, 1100, 1102 }, sum(4) } },
            { "microphone gain", "open-save", setIn(EditMerge::Settings, -1, "mic_gain_level", 3),
                { { 5, 656, 657 }, sum(4) } },
        };
        for (const auto &r : rows)
            QTest::newRow(r.name) << hostile << QString(r.path) << r.edit << r.changes;
    }
    // The screens hand back what they show: settings clamped by spin boxes,
    // so the same clamped collections are the baseline and, with one edit,
    // what is saved or written.
    void untouchedGoesBackByteForByte()
    {
        QFETCH(QVariantList, image);
        QFETCH(QString, path);
        QFETCH(Edit, edit);
        QFETCH(QList<Range>, changes);
        RadioRig f(image);
        const QString in = f.path("in.ovc"), out = f.path("out.ovc");
        QVERIFY(f.radio.saveFile(in));
        const QVariantMap decoded = path == "open-save" ? f.open(in) : f.read();
        QVERIFY(!decoded.isEmpty());
        QVariantList shown = Collections::clamped(decoded);
        f.baseline(shown);
        edit(shown);
        const bool viaRadio = path == "read-write-read";
        if (viaRadio)
            QVERIFY(f.write(shown) && !f.read().isEmpty());
        else
            QVERIFY(f.manager.writeEditedDataToFile(
                out, shown[0], shown[1], shown[2], shown[3], shown[4], shown[5]));
        const QVariantList result = viaRadio ? f.manager.image() : loadList(out);
        QCOMPARE(result.size(), image.size());
        int changed = 0;
        for (int e = 0; e < image.size(); ++e) {
            const QByteArray a = image[e].toByteArray(), b = result[e].toByteArray();
            QCOMPARE(b.size(), a.size());
            for (int i = 0; i < a.size(); ++i) {
                // The radio answers with its own checksum bytes; its content is ours.
                if (a[i] == b[i] || (viaRadio && i >= 2060))
                    continue;
                const bool allowed = std::any_of(changes.begin(), changes.end(),
                    [&](const Range &r) { return r.element == e && i >= r.from && i < r.to; });
                QVERIFY2(allowed, qPrintable(QString("element %1 byte %2 changed").arg(e).arg(i)));
                ++changed;
            }
        }
        QCOMPARE(changed > 0, !changes.isEmpty());
    }

    void refusedAndFailedWrites_data()
    {
        QTest::addColumn<QVariantList>("file");
        QTest::addColumn<int>("radioBand"); // identity byte 94 of the radio
        QTest::addColumn<bool>("kr4700");
        QTest::addColumn<bool>("ignoreWrites");
        QTest::addColumn<int>("problem"); // 0: the write succeeds
        const QVariantList factory = TestImage::factoryImage();
        QVariantList shortBlock = factory;
        shortBlock[5] = shortBlock[5].toByteArray().left(100);
        const int incomplete = Manager::IncompleteImage, other = Manager::OtherModelOrBand;
        QTest::newRow("incomplete file") << factory.mid(0, 2) << 0 << false << false << incomplete;
        QTest::newRow("short block") << shortBlock << 0 << false << false << incomplete;
        QTest::newRow("other band") << factory << 3 << false << false << other;
        QTest::newRow("other model") << factory << 0 << true << false << other;
        QTest::newRow("writes ignored")
            << factory << 0 << false << true << int(Manager::VerifyFailed);
        QTest::newRow("whole and matching") << factory << 0 << false << false << 0;
    }
    // The command-line path: an image file written as it stands.
    void refusedAndFailedWrites()
    {
        QFETCH(QVariantList, file);
        QFETCH(int, radioBand);
        QFETCH(bool, kr4700);
        QFETCH(bool, ignoreWrites);
        QFETCH(int, problem);
        RadioRig f(TestImage::hostileImage());
        f.radio.setBandCode(quint8(radioBand));
        f.radio.setKr4700(kr4700);
        const QVariantList onRadio = f.radio.image();
        if (ignoreWrites)
            f.radio.injectFault(RadioEmulator::IgnoreWrite, 1000);
        QVERIFY(saveList(f.path("file.ovc"), file));
        QVERIFY(!f.open(f.path("file.ovc")).isEmpty());
        QSignalSpy problems(&f.manager, &Manager::writeProblem);
        QSignalSpy done(&f.manager, &Manager::dataWroteToDevice);
        QSignalSpy progress(&f.manager, &Manager::writeProgressChanged);
        f.manager.writeImageToDevice();
        QCOMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toBool(), problem == 0);
        QCOMPARE(values(problems), problem ? QList<int> { problem } : QList<int>());
        const QString detail = problems.value(0).value(1).toString();
        QVERIFY(problem == 0 || !detail.isEmpty());
        QVERIFY(problem != Manager::VerifyFailed || detail.split(' ').contains("58"));
        if (problem == Manager::IncompleteImage || problem == Manager::OtherModelOrBand)
            QCOMPARE(f.radio.image(), onRadio);
        if (problem == Manager::OtherModelOrBand) {
            // The screens saw the read of the radio end (a third of the write).
            QCOMPARE(progress.last().at(0).toInt(), 33);
            // Confirmed by the user (or --force), the same write goes through.
            f.manager.allowModelMismatchOnce();
            f.manager.writeImageToDevice();
            QCOMPARE(done.count(), 2);
            QVERIFY(done.at(1).at(0).toBool());
            QCOMPARE(f.radio.blockContent(58), file[59].toByteArray().mid(12, 2048));
        }
        if (problem == 0 || problem == Manager::VerifyFailed) {
            // The radio's image as it was before the write is kept.
            const QVariantList backups = f.manager.backupList();
            QCOMPARE(backups.size(), 1);
            QCOMPARE(loadList(backups[0].toMap()["path"].toString()), onRadio);
        }
    }

    void backupsRotateAndNeverBlock()
    {
        RadioRig f(TestImage::factoryImage());
        for (int i = 0; i < Manager::BackupsKept + 2; ++i)
            QVERIFY(!f.read().isEmpty());
        const QVariantList kept = f.manager.backupList();
        QCOMPARE(kept.size(), Manager::BackupsKept);
        const QVariantMap newest = kept.first().toMap();
        QCOMPARE(newest["model"].toString(), QStringLiteral("KR4500"));
        const QDateTime taken = QDateTime::fromString(newest["time"].toString(), Qt::ISODate);
        QVERIFY(taken.isValid() && qAbs(taken.secsTo(QDateTime::currentDateTime())) < 600);
        QVERIFY(newest["path"].toString() > kept.last().toMap()["path"].toString());
        QCOMPARE(loadList(newest["path"].toString()), f.radio.image());

        // A folder that cannot be made: a warning, and the read still succeeds.
        QFile blocker(f.path("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        f.manager.setBackupFolder(f.path("blocker/backups"));
        QSignalSpy failed(&f.manager, &Manager::backupFailed);
        QVERIFY(!f.read().isEmpty());
        QCOMPARE(failed.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestManagerDevice)
#include "tst_manager_device.moc"
