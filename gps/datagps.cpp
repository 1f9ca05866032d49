#include "gps/datagps.h"

// Placeholder bodies, filled in with the GPS codecs.

dataGps::dataGps(QObject *parent) : QObject(parent) {}

QVariant dataGps::decodeGpsSettings(const BlockMap &) { return QVariantMap(); }

QVariant dataGps::decodeGpsLog(const QVariantList &)
{
    pointList.clear();
    return pointList;
}

void dataGps::slotReadDataFromSerial(QByteArray) {}
