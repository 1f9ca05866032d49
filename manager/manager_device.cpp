// Manager: the radio workflows (read, write, GPS log) and the image decode.
#include "manager/manager.h"

#include <QCoreApplication>
#include <QDebug>

#include "manager/decodedkeys.h"

namespace {
// Text up to the first zero byte (all bytes when there is none), as UTF-8.
QString identityText(const QByteArray &block, int offset, int size)
{
    QByteArray field = block.mid(offset, size);
    const int zero = field.indexOf('\0');
    if (zero >= 0)
        field.truncate(zero);
    return QString::fromUtf8(field);
}
} // namespace

void Manager::readDataFromDevice()
{
    DeviceOperation operation(*this);
    if (!operation.isGranted()) {
        emit dataReadyReadFromDevice(false, QVariant());
        return;
    }

    for (int attempts = 10; attempts > 0; --attempts) {
        if (usb.init() == 0) {
            pause(1000);
            bool complete = false;
            const QVariantList image = usb.readImage(&complete).toList();
            usb.deInit();
            if (!complete) {
                // A broken read is never decoded or kept.
                qDebug() << "Manager: read from the radio incomplete, image discarded";
                emit dataReadyReadFromDevice(false, QVariant());
                return;
            }
            imageList = image;
            imageLoaded = 1;
            decodeImage();
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

void Manager::decodeImage()
{
    blockMap.clear();
    for (int i = 1; i < imageList.size(); ++i) {
        const QByteArray block = imageList.at(i).toByteArray();
        blockMap.insert(static_cast<quint8>(block.at(Block::NumberOffset)), block);
    }
    const int radioType = imageList.value(1).toByteArray().contains("KR4700") ? 1 : 0;
    channel.setRadioType(radioType);
    emit signalTypeRadio(radioType);

    QVariantMap decoded = channel.decodeAll(blockMap);
    decoded.insert(DecodedKey::GPSSetup, gps.decodeGpsSettings(blockMap));
    const QByteArray settings = blockMap.value(4);
    decoded.insert(DecodedKey::SerialNumber, identityText(settings, 60, 16));
    decoded.insert(DecodedKey::NameModel, identityText(settings, 12, 16));
    decoded.insert(DecodedKey::HwVersion, identityText(settings, 76, 8));
    emit dataReadyReadFromDevice(true, decoded);
}

void Manager::encodeCollections(const QVariant &data, const QVariant &zones,
    const QVariant &rxGroups, const QVariant &contacts, const QVariant &settings,
    const QVariant &encrypt)
{
    channel.WriteChanells(plainVariant(data), &blockMap);
    channel.WriteZones(plainVariant(zones), &blockMap);
    channel.encodeRxGroups(plainVariant(rxGroups), &blockMap);
    channel.encodeContacts(plainVariant(contacts), &blockMap);
    channel.WriteEncrypts(plainVariant(encrypt), &blockMap);
    channel.encodeSettings(plainVariant(settings), &blockMap);
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
    encodeCollections(data, zones, rxGroups, contacts, settings, encrypt);
    writeImageToDevice();
}

void Manager::writeImageToDevice()
{
    DeviceOperation operation(*this);
    if (!operation.isGranted() || imageLoaded == 0) {
        emit dataWroteToDevice(false);
        return;
    }
    if (usb.init() != 0) {
        qDebug() << "Manager: err usb init";
        emit dataWroteToDevice(false);
        return;
    }
    pause(1000);
    // The transfer works on a copy: the event loop passes it makes must not
    // change the blocks being sent.
    const BlockMap blocks = blockMap;
    const int result = usb.writeImage(blocks);
    qDebug().noquote() << QStringLiteral("usb.WritingData %1").arg(result);
    emit dataWroteToDevice(result == 0);
    usb.deInit();
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
