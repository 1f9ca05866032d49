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

    // The fixes of the live receiver (or of the capture opened last), in order.
    QVariantList liveTrack;
    // A new live session: the reader starts afresh, the live track empties.
    void startStream();
    // The end of a live session (port closed or gone): the epoch in progress
    // is completed and emitted like any other fix.
    void finishStream();
    // Replaces the live track with the fixes of a recorded capture, emitted
    // at once; false when it holds none.
    bool replayCapture(const QByteArray &capture);
    // "state": "nodata", "nofix" or "fix"; "satellites" (-1 unknown);
    // "lastFix": the local time of the last fix ("" before one).
    QVariantMap receiverState() const;

signals:
    // The fixes of one serial chunk, as GPS points with "num_id" 1.
    void signalSerialData(QVariant data);
    // The receiver's state after a chunk (see receiverState).
    void signalReceiverState(QVariant state);

public slots:
    // Reads NMEA position sentences; emits signalSerialData when the chunk
    // completed at least one fix.
    void slotReadDataFromSerial(QByteArray data);

private:
    void deliver(const QVariantList &points);

    NmeaReader nmea;
};
