#pragma once

#include <QString>

// Top-level keys of the decoded map that reaches the screens.
namespace DecodedKey {
inline const QString FreqList = QStringLiteral("freqList");
inline const QString ZoneList = QStringLiteral("zoneList");
inline const QString BasicSettings = QStringLiteral("basicSettings");
inline const QString ButtonsSettings = QStringLiteral("buttonsSettings");
inline const QString ContactList = QStringLiteral("contactList");
inline const QString EncryptList = QStringLiteral("encryptList");
inline const QString RxGroupsList = QStringLiteral("RxGroupsList");
inline const QString RxGroupNames = QStringLiteral("rxGroupNames");
inline const QString GPSSetup = QStringLiteral("GPSSetup");
inline const QString SerialNumber = QStringLiteral("serialNumber");
inline const QString NameModel = QStringLiteral("nameModel");
inline const QString HwVersion = QStringLiteral("hwVersion");
} // namespace DecodedKey
