#pragma once

#include <QByteArray>
#include <QObject>
#include <QVariant>

#include "codeplug/blockmap.h"

// GPS: the settings fields of the image, the radio's GPS log, and the
// position stream arriving on a serial port.
class dataGps : public QObject
{
    Q_OBJECT
public:
    explicit dataGps(QObject *parent = nullptr);

    QVariant decodeGpsSettings(const BlockMap &blocks);
    QVariant decodeGpsLog(const QVariantList &log);

    // The points of the last GPS log decode, in decode order.
    QVariantList pointList;

signals:
    void signalSerialData(QVariant data);

public slots:
    void slotReadDataFromSerial(QByteArray data);
};
