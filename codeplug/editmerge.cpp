#include "codeplug/editmerge.h"

#include <QHash>

#include "codeplug/channel.h"
#include "codeplug/fieldcodecs.h"

namespace EditMerge {

namespace {

const QString originKey = QStringLiteral("origin");

QVariantMap changedKeys(const QVariantMap &current, const QVariantMap &baseline)
{
    QVariantMap out;
    for (auto it = current.cbegin(); it != current.cend(); ++it) {
        const auto base = baseline.constFind(it.key());
        if (base == baseline.cend()) {
            out.insert(it.key(), it.value());
        } else if (it.value().userType() == QMetaType::QVariantMap
            && base.value().userType() == QMetaType::QVariantMap) {
            out.insert(it.key(), changedKeys(it.value().toMap(), base.value().toMap()));
        } else if (it.value() != base.value()) {
            out.insert(it.key(), it.value());
        }
    }
    return out;
}

int originOf(const QVariant &record)
{
    const QVariantMap m = record.toMap();
    bool ok = false;
    const int origin = m.value(originKey).toInt(&ok);
    return ok ? origin : -1;
}

QVariantList changedRecords(const QVariantList &current, const QVariantList &baseline)
{
    bool withOrigins = false;
    QHash<int, QVariantMap> baseByOrigin;
    for (const QVariant &record : baseline) {
        const int origin = originOf(record);
        if (origin >= 0) {
            withOrigins = true;
            baseByOrigin.insert(origin, record.toMap());
        }
    }
    QVariantList out;
    out.reserve(current.size());
    for (int i = 0; i < current.size(); ++i) {
        QVariantMap record = current.at(i).toMap();
        const int origin = originOf(record);
        if (withOrigins && origin >= 0 && baseByOrigin.contains(origin)) {
            QVariantMap changed = changedKeys(record, baseByOrigin.value(origin));
            changed.insert(originKey, origin);
            out.append(changed);
        } else {
            record.remove(originKey);
            out.append(record);
        }
    }
    return out;
}

} // namespace

BlockMap apply(Channel &codec, const BlockMap &image, const QVariantList &collections,
    const QVariantList &baseline)
{
    BlockMap blocks = image;
    const bool haveBaseline = baseline.size() == collections.size();
    const auto changed = [&](int i) {
        return haveBaseline ? changes(collections.at(i), baseline.at(i)) : collections.at(i);
    };
    const auto untouched
        = [&](int i) { return haveBaseline && collections.at(i) == baseline.at(i); };
    // A changed channel table renumbers the index entries that zone members
    // refer to, so the zones are written with it.
    const bool channels = !untouched(Channels);
    if (channels)
        codec.WriteChanells(changed(Channels), &blocks);
    if (channels || !untouched(Zones))
        codec.WriteZones(changed(Zones), &blocks);
    if (!untouched(RxGroups))
        codec.encodeRxGroups(changed(RxGroups), &blocks);
    if (!untouched(Contacts))
        codec.encodeContacts(changed(Contacts), &blocks);
    if (!untouched(Keys))
        codec.WriteEncrypts(changed(Keys), &blocks);
    if (!untouched(Settings))
        codec.encodeSettings(changed(Settings), &blocks);
    for (auto it = blocks.begin(); it != blocks.end(); ++it) {
        if (it.value() != image.value(it.key()))
            refreshAnswerChecksum(it.value());
    }
    return blocks;
}

QVariant changes(const QVariant &current, const QVariant &baseline)
{
    if (current.userType() == QMetaType::QVariantMap
        && baseline.userType() == QMetaType::QVariantMap)
        return changedKeys(current.toMap(), baseline.toMap());
    if (current.userType() == QMetaType::QVariantList
        && baseline.userType() == QMetaType::QVariantList)
        return changedRecords(current.toList(), baseline.toList());
    return current;
}

} // namespace EditMerge
