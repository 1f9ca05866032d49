#pragma once

#include <QHash>
#include <QMap>
#include <QObject>
#include <QVariant>
#include <vector>

#include "codeplug/blockmap.h"
#include "codeplug/contacts.h"
#include "codeplug/layout.h"

// Codec of the memory image: channels, zones, basic settings, buttons and
// encryption keys, and the assembly of the whole decoded map. Contacts and
// receive groups are handled by its Contacts member.
class Channel : public QObject {
    Q_OBJECT
public:
    explicit Channel(QObject *parent = nullptr);

    // Capacities of the tables (records that fit their areas).
    static constexpr int MaxChannels = 999;
    static constexpr int MaxZoneMembers = 16;
    // Zones a user can have (the encoder also writes stored ones past these).
    static constexpr int MaxZonesWritten = 20;
    static constexpr int MaxKeys = 40;

    void setRadioType(int radioType);
    int radioType() const { return typeRadio; }

    QVariantList ParsingChanels(const BlockMap &blocks);
    void WriteChanells(const QVariant &data, BlockMap *blocks);
    int WriteNewName(const QByteArray &name, quint16 slot, BlockMap *blocks);

    QVariant ParsingZones(const BlockMap &blocks);
    void WriteZones(const QVariant &zones, BlockMap *blocks);

    QVariant decodeBasicSettings(const BlockMap &blocks);
    QVariant decodeButtons(const BlockMap &blocks);
    void encodeSettings(const QVariant &settings, BlockMap *blocks);
    void encodeButtons(const QVariantMap &buttons, BlockMap *blocks);
    void encodeBasicSettings(const QVariantMap &settings, BlockMap *blocks);

    QVariant decodeEncryption(const BlockMap &blocks);
    void WriteEncrypts(const QVariant &keys, BlockMap *blocks);

    QVariantMap decodeAll(const BlockMap &blocks);

    void encodeRxGroups(const QVariant &groups, BlockMap *blocks);
    void encodeContacts(const QVariant &contacts, BlockMap *blocks);

    struct Place {
        int block;
        int offset;
    };
    // Where the records of the first `count` channels lie.
    std::vector<Place> recordPlaces(int count) const;
    // Bytes 8 to 31 of a new record of the kind, before its fields are written.
    static QByteArray recordTemplate(bool digital);

private:
    Place indexEntryPlace(int position) const;
    Place namePlace(int position) const;
    Place nameFieldOf(int position, quint16 code) const;

    Contacts contacts;
    Layout layout {};
    int typeRadio = 0;
    QMap<quint16, QByteArray> nameByCode;
    QMap<quint16, QByteArray> nameByPosition;
    QHash<quint16, int> positionByCode;
};
