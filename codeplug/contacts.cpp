#include "codeplug/contacts.h"

#include <QDebug>

#include "codeplug/fieldcodecs.h"

#include <algorithm>
#include <vector>

namespace {

void log(const QString &line) { qDebug().noquote() << line; }

} // namespace

Contacts::Contacts(QObject *parent) : QObject(parent), layout(layoutFor(0)) { }

void Contacts::setLayout(const Layout &l) { layout = l; }

QVariant Contacts::decodeContacts(const BlockMap &blocks)
{
    const Layout &L = layout;
    const QByteArray directory = blocks.value(L[Entry::ContactCountBlock]);
    const QByteArray records = blocks.value(L[Entry::ContactBlock]);
    const int n = u8(directory, L[Entry::ContactCount]);
    const int count = std::min(n, int(MaxContacts));
    if (count != n)
        log(QStringLiteral("decodeContacts: quantity=%1 read=%2").arg(n).arg(count));
    const int stride = L[Entry::ContactStride];
    QVariantList list;
    for (int k = 0; k < count; ++k) {
        const int base = stride * k;
        if (!hasBytes(records, L[Entry::ContactName] + base, stride))
            break; // a short or missing block ends the list
        QVariantMap m;
        m.insert(QStringLiteral("name"),
            decodeTextField(records, L[Entry::ContactName] + base, L[Entry::ContactNameLength]));
        m.insert(QStringLiteral("pos"), k);
        m.insert(QStringLiteral("origin"), k);
        m.insert(QStringLiteral("type"), int(s8(records, L[Entry::ContactType] + base)));
        m.insert(QStringLiteral("number"),
            uint(u32le(records, L[Entry::ContactNumber] + base) & 0xFFFFFF));
        m.insert(QStringLiteral("tone"), int(u8(records, L[Entry::ContactTone] + base) & 1));
        list.append(m);
    }
    return list;
}

// A contact with an "origin" (its index in the stored list) keeps its stored
// record, moved to its new place, except for the keys it carries; one without
// is new and written whole.
void Contacts::encodeContacts(const QVariant &contacts, BlockMap *blocks)
{
    const Layout &L = layout;
    const QVariantList list = contacts.toList();
    int n = list.size();
    if (n == 0)
        return;
    if (n > MaxContacts) {
        log(QStringLiteral("encodeContacts: quantity=%1 written=%2").arg(n).arg(MaxContacts));
        n = MaxContacts;
    }
    const QByteArray stored = blocks->value(L[Entry::ContactBlock]);
    const int storedCount
        = std::min(int(u8(blocks->value(L[Entry::ContactCountBlock]), L[Entry::ContactCount])),
            int(MaxContacts));
    BlockEdit records(blocks, L[Entry::ContactBlock]);
    const int stride = L[Entry::ContactStride];
    const int nameLen = L[Entry::ContactNameLength];
    QByteArray index;
    for (int k = 0; k < n; ++k) {
        const QVariantMap m = list.at(k).toMap();
        const int base = stride * k;
        index.append(char(k + 1));
        index.append('\0');
        const int origin = m.value(QStringLiteral("origin"), -1).toInt();
        const QByteArray record = origin >= 0 && origin < storedCount
            ? rawField(stored, L[Entry::ContactName] + stride * origin, stride)
            : QByteArray();
        const bool kept = record.size() == stride;
        const auto wanted
            = [&](const char *key) { return !kept || m.contains(QLatin1String(key)); };
        if (kept)
            records.setBytes(L[Entry::ContactName] + base, record);
        if (wanted("name"))
            records.setBytes(L[Entry::ContactName] + base,
                encodeTextField(m.value(QStringLiteral("name")).toString(), nameLen));
        if (wanted("number")) {
            // The top byte is not part of the number.
            const int at = L[Entry::ContactNumber] + base;
            const quint32 top = kept ? quint32(records.get(at + 3)) << 24 : 0;
            records.set32le(
                at, top | (quint32(m.value(QStringLiteral("number")).toInt()) & 0xFFFFFF));
        }
        // Only bit 0 of the tone byte is ours.
        if (wanted("tone"))
            records.insert(
                L[Entry::ContactTone] + base, 0x01, m.value(QStringLiteral("tone")).toInt());
        if (wanted("type"))
            records.set8(L[Entry::ContactType] + base, m.value(QStringLiteral("type")).toInt());
    }
    BlockEdit directory(blocks, L[Entry::ContactCountBlock]);
    const int countAt = L[Entry::ContactCount];
    directory.set8(countAt, n);
    directory.set8(countAt + 1, 0);
    directory.setBytes(countAt + 2, index);
}

QVariant Contacts::decodeRxGroups(const BlockMap &blocks)
{
    const Layout &L = layout;
    const QByteArray directory = blocks.value(L[Entry::GroupDirBlock]);
    const QByteArray records = blocks.value(L[Entry::GroupBlock]);
    const int q = u16le(directory, L[Entry::GroupCount]);
    int count = std::min(q, int(MaxGroups));
    if (count != q)
        log(QStringLiteral("decodeRxGroups: quantity=%1 read=%2").arg(q).arg(count));
    const int stride = L[Entry::GroupStride];
    const int titleLen = L[Entry::GroupTitleLength];
    const int slotsAt = L[Entry::GroupSlots];
    int badSlots = 0;
    int overfull = 0;
    QVariantList list;
    for (int i = 0; i < count; ++i) {
        if (!hasBytes(directory, slotsAt + i, 1))
            break;
        const int b = u8(directory, slotsAt + i);
        const int s = b == 0 ? 1 : b;
        const int r = L[Entry::GroupMemberCount] + stride * (s - 1);
        if (s > MaxGroups || !hasBytes(records, r, stride)) {
            ++badSlots; // a record outside the block, or not stored
            continue;
        }
        QVariantMap g;
        const int titleAt = L[Entry::GroupTitle] + stride * (s - 1);
        g.insert(QStringLiteral("title"), decodeTextField(records, titleAt, titleLen));
        g.insert(QStringLiteral("groups"), s);
        groupNameCache.insert(quint16(s), rawField(records, titleAt, titleLen));
        int m = u8(records, r);
        if (m > MaxGroupMembers) {
            ++overfull;
            m = MaxGroupMembers;
        }
        QVariantList members;
        const int membersAt = L[Entry::GroupMembers] + stride * (s - 1);
        for (int j = 0; j < m; ++j)
            members.append(int(u16le(records, membersAt + 2 * j)));
        g.insert(QStringLiteral("selectedContacts"), members);
        g.insert(QStringLiteral("origin"), list.size());
        list.append(g);
    }
    if (badSlots)
        log(QStringLiteral("decodeRxGroups: %1 slots outside the records skipped").arg(badSlots));
    if (overfull)
        log(QStringLiteral("decodeRxGroups: %1 member counts above %2, read %2")
                .arg(overfull)
                .arg(MaxGroupMembers));
    return list;
}

QVariant Contacts::rxGroupNames()
{
    QVariantMap map;
    for (auto it = groupNameCache.cbegin(); it != groupNameCache.cend(); ++it)
        map.insert(QString::number(it.key()), it.value());
    return map;
}

// A group with an "origin" (its index in the decoded list) keeps its stored
// record, moved to its new slot, except for the keys it carries; one without
// is new and written whole.
void Contacts::encodeRxGroups(const QVariant &groups, BlockMap *blocks)
{
    const Layout &L = layout;
    const QVariantList list = groups.toList();
    int n = list.size();
    if (n == 0)
        return;
    if (n > MaxGroups) {
        log(QStringLiteral("encodeRxGroups: quantity=%1 written=%2").arg(n).arg(MaxGroups));
        n = MaxGroups;
    }
    const int stride = L[Entry::GroupStride];
    const int titleLen = L[Entry::GroupTitleLength];
    const int recordAt
        = std::min({ L[Entry::GroupTitle], L[Entry::GroupMemberCount], L[Entry::GroupMembers] });
    // The stored record of each decoded group, in decoded order.
    std::vector<QByteArray> storedRecords;
    {
        const QByteArray directory = blocks->value(L[Entry::GroupDirBlock]);
        const QByteArray records = blocks->value(L[Entry::GroupBlock]);
        const int q = std::min(int(u16le(directory, L[Entry::GroupCount])), int(MaxGroups));
        for (int i = 0; i < q && hasBytes(directory, L[Entry::GroupSlots] + i, 1); ++i) {
            const int b = u8(directory, L[Entry::GroupSlots] + i);
            const int slot = b == 0 ? 1 : b;
            const QByteArray rec = slot <= MaxGroups
                ? rawField(records, recordAt + stride * (slot - 1), stride)
                : QByteArray();
            if (hasBytes(records, L[Entry::GroupMemberCount] + stride * (slot - 1), stride))
                storedRecords.push_back(rec);
        }
    }
    BlockEdit records(blocks, L[Entry::GroupBlock]);
    QByteArray slotList;
    int overfull = 0;
    for (int k = 0; k < n; ++k) {
        const QVariantMap g = list.at(k).toMap();
        const int origin = g.value(QStringLiteral("origin"), -1).toInt();
        const bool kept = origin >= 0 && origin < int(storedRecords.size())
            && storedRecords[size_t(origin)].size() == stride;
        const int r = L[Entry::GroupMemberCount] + stride * k;
        slotList.append(char(k + 1));
        if (kept)
            records.setBytes(recordAt + stride * k, storedRecords[size_t(origin)]);
        if (!kept || g.contains(QStringLiteral("title")))
            records.setBytes(L[Entry::GroupTitle] + stride * k,
                encodeTextField(g.value(QStringLiteral("title")).toString(), titleLen));
        if (kept && !g.contains(QStringLiteral("selectedContacts")))
            continue;
        const QVariantList members = g.value(QStringLiteral("selectedContacts")).toList();
        int m = members.size() & 0xFF;
        if (members.size() > MaxGroupMembers) {
            ++overfull;
            m = MaxGroupMembers;
        }
        records.set8(r, m);
        const int membersAt = L[Entry::GroupMembers] + stride * k;
        records.fill(membersAt, 32, '\0');
        for (int i = 0; i < m; ++i)
            records.set16le(membersAt + 2 * i, members.at(i).toInt());
    }
    if (overfull)
        log(QStringLiteral("encodeRxGroups: %1 member lists above %2, written %2")
                .arg(overfull)
                .arg(MaxGroupMembers));
    // Clear what follows the last group; the edit stops at the content end.
    records.fill(L[Entry::GroupTitle] + stride * n, stride, '\0');

    // The count is read as 16 bits: both bytes are written.
    BlockEdit directory(blocks, L[Entry::GroupDirBlock]);
    directory.set16le(L[Entry::GroupCount], n);
    directory.setBytes(L[Entry::GroupSlots], slotList);
}
