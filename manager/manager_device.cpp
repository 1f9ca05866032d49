// Manager: the radio workflows (read, write, GPS log) and the image decode.
#include "manager/manager.h"

#include <QCoreApplication>
#include <QDebug>

#include "manager/decodedkeys.h"
#include "manager/imagedecode.h"

void Manager::readDataFromDevice()
{
    DeviceOperation operation(*this);
    if (!operation.isGranted()) {
        emit dataReadyReadFromDevice(false, QVariant());
        return;
    }

    for (int attempts = 10; attempts > 0 && !cancelRequested; --attempts) {
        if (usb.init() == 0) {
            pause(1000);
            bool complete = false;
            const QVariantList image = usb.readImage(&complete).toList();
            finishProgress();
            usb.deInit();
            if (!complete) {
                // A broken or cancelled read is never decoded or kept.
                qDebug() << "Manager: read from the radio incomplete, image discarded";
                emit dataReadyReadFromDevice(false, QVariant());
                return;
            }
            keepBackup(image);
            setImage(image, true);
            return;
        }
        qDebug() << "Manager: war reset usb init";
        emit signalRetryConnect(attempts);
        QCoreApplication::processEvents();
        pause(3000);
    }
    qDebug() << "Manager: err usb init";
    emit dataReadyReadFromDevice(false, QVariant());
}

void Manager::setImage(const QVariantList &image, bool loaded)
{
    imageList = image;
    if (loaded)
        imageLoaded = 1;
    // The screens set a new baseline once they show the new image.
    editBaseline.clear();
    savedCollections.clear();
    importUnsaved = false;
    decodeImage();
    emit imageChanged();
}

void Manager::decodeImage()
{
    blockMap = ImageDecode::blocksOf(imageList);
    const int radioType = ImageDecode::radioTypeOf(imageList);
    channel.setRadioType(radioType);
    emit signalTypeRadio(radioType);
    emit dataReadyReadFromDevice(true, ImageDecode::decodedMap(channel, blockMap));
}

QString Manager::incompleteImageReason(const BlockMap &blocks)
{
    QStringList missing, wrongSize;
    for (int n = 0; n < Block::Count; ++n) {
        const auto it = blocks.constFind(quint16(n));
        if (it == blocks.cend())
            missing << QString::number(n);
        else if (it.value().size() != Block::Size)
            wrongSize << QString::number(n);
    }
    QStringList reasons;
    if (!missing.isEmpty())
        reasons << QStringLiteral("blocks missing: %1").arg(missing.join(QLatin1Char(' ')));
    if (!wrongSize.isEmpty())
        reasons << QStringLiteral("blocks not %1 bytes long: %2")
                       .arg(Block::Size)
                       .arg(wrongSize.join(QLatin1Char(' ')));
    return reasons.join(QStringLiteral("; "));
}

void Manager::cancelDeviceOperation()
{
    if (!deviceBusy)
        return;
    cancelRequested = true;
    usb.requestCancel();
}

void Manager::writeDataToDevice(QVariant data, QVariant zones, QVariant rxGroups, QVariant contacts,
    QVariant settings, QVariant encrypt)
{
    if (imageLoaded == 0) {
        emit dataWroteToDevice(false);
        return;
    }
    if (deviceBusy) {
        qDebug() << "Manager: device busy, operation refused";
        emit dataWroteToDevice(false);
        return;
    }
    const QVariantList collections
        = { plainVariant(data), plainVariant(zones), plainVariant(rxGroups), plainVariant(contacts),
              plainVariant(settings), plainVariant(encrypt) };
    writeBlocks(editedBlocks(collections), collections);
}

void Manager::writeImageToDevice() { writeBlocks(blockMap, QVariantList()); }

// Before anything is sent the radio's memory is read: its identity must match
// the image's model and band, and the image is kept as a backup. After the
// write the blocks are read back and compared (unless switched off).
void Manager::writeBlocks(const BlockMap &blocks, const QVariantList &collections)
{
    DeviceOperation operation(*this);
    if (!operation.isGranted() || imageLoaded == 0) {
        emit dataWroteToDevice(false);
        return;
    }
    const QString incomplete = incompleteImageReason(blocks);
    if (!incomplete.isEmpty()) {
        qDebug().noquote() << QStringLiteral("Manager: image not written, ") + incomplete;
        emit writeProblem(IncompleteImage, incomplete);
        emit dataWroteToDevice(false);
        return;
    }
    if (usb.init() != 0) {
        qDebug() << "Manager: err usb init";
        emit dataWroteToDevice(false);
        return;
    }
    pause(1000);
    struct PhaseEnd {
        WritePhase &phase;
        ~PhaseEnd() { phase = WritePhase(); }
    } phaseEnd { writePhase };
    writePhase = { 0, verifyWrites() ? 3 : 2 };
    bool complete = false;
    const QVariantList before = usb.readImage(&complete).toList();
    finishProgress();
    if (!complete) {
        usb.deInit();
        qDebug() << "Manager: the radio's image could not be read before writing";
        emit dataWroteToDevice(false);
        return;
    }
    const QByteArray radioId = before.value(0).toByteArray().mid(94, 2);
    const QByteArray imageId = imageList.value(0).toByteArray().mid(94, 2);
    if (radioId != imageId && !mismatchAllowed) {
        usb.deInit();
        const auto describe = [](const QByteArray &id) {
            return id.size() < 2
                ? QStringLiteral("unknown")
                : QStringLiteral("model %1, band %2")
                      .arg(quint8(id.at(1)) ? QStringLiteral("KR4700") : QStringLiteral("KR4500"))
                      .arg(quint8(id.at(0)) == 3 ? QStringLiteral("136-174 MHz")
                              : quint8(id.at(0)) == 0
                              ? QStringLiteral("400-470 MHz")
                              : QStringLiteral("code %1").arg(quint8(id.at(0))));
        };
        const QString detail
            = QStringLiteral("radio: %1; image: %2").arg(describe(radioId), describe(imageId));
        qDebug().noquote() << QStringLiteral("Manager: image not written, ") + detail;
        emit writeProblem(OtherModelOrBand, detail);
        emit dataWroteToDevice(false);
        return;
    }
    mismatchAllowed = false;
    keepBackup(before);

    writePhase.index = 1;
    const int result = usb.writeImage(blocks);
    finishProgress();
    qDebug().noquote() << QStringLiteral("usb.WritingData %1").arg(result);
    bool ok = result == 0;
    if (cancelRequested) {
        emit writeProblem(Cancelled, QString());
        ok = false;
    } else if (ok && verifyWrites()) {
        writePhase.index = 2;
        ok = verifyWritten(blocks);
    }
    slotSendWriteProgress(100);
    usb.deInit();
    if (ok && !collections.isEmpty()) {
        savedCollections = collections;
        importUnsaved = false;
    }
    emit dataWroteToDevice(ok);
}

bool Manager::verifyWritten(const BlockMap &blocks)
{
    bool complete = false;
    const QVariantList after = usb.readImage(&complete).toList();
    finishProgress();
    QStringList differing;
    for (int n = 0; n < Block::Count; ++n) {
        const QByteArray sent = blocks.value(quint16(n));
        const QByteArray back = after.value(n + 1).toByteArray();
        if (back.mid(Block::ContentBegin, Block::ContentSize)
            != sent.mid(Block::ContentBegin, Block::ContentSize))
            differing << QString::number(n);
    }
    if (cancelRequested) {
        emit writeProblem(Cancelled, QString());
        return false;
    }
    if (differing.isEmpty() && complete)
        return true;
    const QString detail = complete ? differing.join(QLatin1Char(' '))
                                    : QStringLiteral("the radio could not be read back");
    qDebug().noquote() << QStringLiteral("Manager: verify failed: ") + detail;
    emit writeProblem(VerifyFailed, detail);
    return false;
}

void Manager::readGPSData()
{
    DeviceOperation operation(*this);
    if (!operation.isGranted()) {
        emit signalGPSReadFailed();
        return;
    }
    if (usb.init() != 0) {
        qDebug() << "Manager: err usb init";
        emit signalGPSReadFailed();
        return;
    }
    emit signalGPSRead();
    pause(1000);
    bool complete = false;
    const QVariantList log = usb.readGpsLog(&complete).toList();
    finishProgress();
    if (!complete) {
        // No points from a broken read: the last decoded log stays.
        usb.deInit();
        qDebug() << "Manager: GPS log read incomplete, discarded";
        emit signalGPSReadFailed();
        return;
    }
    gpsLogList = gps.decodeGpsLog(log).toList();
    if (gpsLogList.isEmpty()) {
        emit signalGPSEmpty();
    } else {
        emit signalGPSReadyRead(QVariant(gpsLogList));
        pause(2000);
    }
    usb.deInit();
}
