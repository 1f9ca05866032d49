#pragma once

#include <QMap>
#include <QObject>
#include <QVariant>

#include "codeplug/blockmap.h"
#include "codeplug/layout.h"

// Codec of the contact list and the receive groups.
class Contacts : public QObject {
    Q_OBJECT
public:
    explicit Contacts(QObject *parent = nullptr);

    // Records that fit the content bytes of their blocks.
    static constexpr int MaxContacts = 43;
    static constexpr int MaxGroups = 6;
    static constexpr int MaxGroupMembers = 32;

    void setLayout(const Layout &layout);

    QVariant decodeContacts(const BlockMap &blocks);
    void encodeContacts(const QVariant &contacts, BlockMap *blocks);

    QVariant decodeRxGroups(const BlockMap &blocks);
    QVariant rxGroupNames();
    void encodeRxGroups(const QVariant &groups, BlockMap *blocks);

private:
    Layout layout {};
    QMap<quint16, QByteArray> groupNameCache;
};
