#pragma once

#include <QByteArray>
#include <QObject>
#include <QVariant>

#include "codeplug/blockmap.h"
#include "gps/nmeareader.h"

// GPS: the settings fields of the image, the radio's GPS log, and the
// position stream arriving on a serial port.
class dataGps : public QObject {
    Q_OBJECT
public:
    explicit dataGps(QObject *parent = nullptr);

    // The "GPSSetup" map: "activated", "indication", "save_interval", "workCh".
    QVariant decodeGpsSettings(const BlockMap &blocks);
    // The points of the radio's GPS log answers (247 blocks of 2063 bytes).
    QVariant decodeGpsLog(const QVariantList &log);

    // The points of the last GPS log decode, in decode order.
    QVariantList pointList;

signals:
    // The fixes of one serial chunk, as GPS points with "num_id" 1.
    void signalSerialData(QVariant data);

public slots:
    // Reads NMEA position sentences; emits signalSerialData when the chunk
    // completed at least one fix.
    void slotReadDataFromSerial(QByteArray data);

private:
    NmeaReader nmea;
};
