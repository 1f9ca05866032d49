// Manager: the screens' edits. Save and Write encode onto a copy of the image
// in memory only what the screens changed since they were filled from it.
#include "manager/manager.h"

#include <QDebug>
#include <QSettings>

#include "manager/editmerge.h"

namespace {
QVariantList plainCollections(std::initializer_list<QVariant> collections)
{
    QVariantList out;
    for (const QVariant &c : collections)
        out.append(Manager::plainVariant(c));
    return out;
}

// Recomputes the answer checksum of a stored block: the sum of bytes 5 to 2059.
void refreshChecksum(QByteArray &block)
{
    if (block.size() != Block::Size)
        return;
    quint16 sum = 0;
    const uchar *d = reinterpret_cast<const uchar *>(block.constData());
    for (int i = 5; i < Block::ContentEnd; ++i)
        sum = quint16(sum + d[i]);
    block[Block::ContentEnd] = char(sum >> 8);
    block[Block::ContentEnd + 1] = char(sum);
}
} // namespace

void Manager::setEditBaseline(QVariant data, QVariant zones, QVariant rxGroups, QVariant contacts,
    QVariant settings, QVariant encrypt)
{
    editBaseline = plainCollections({ data, zones, rxGroups, contacts, settings, encrypt });
    savedCollections = editBaseline;
}

bool Manager::hasUnsavedChanges(QVariant data, QVariant zones, QVariant rxGroups,
    QVariant contacts, QVariant settings, QVariant encrypt) const
{
    if (savedCollections.isEmpty())
        return false;
    return plainCollections({ data, zones, rxGroups, contacts, settings, encrypt })
        != savedCollections;
}

BlockMap Manager::editedBlocks(const QVariantList &collections)
{
    BlockMap blocks = blockMap;
    enum { Channels, Zones, RxGroups, Contacts, Settings, Keys };
    const bool haveBaseline = editBaseline.size() == collections.size();
    const auto changed = [&](int i) {
        return haveBaseline ? EditMerge::changes(collections.at(i), editBaseline.at(i))
                            : collections.at(i);
    };
    const auto untouched
        = [&](int i) { return haveBaseline && collections.at(i) == editBaseline.at(i); };
    // A changed channel table renumbers the index entries that zone members
    // refer to, so the zones are written with it.
    const bool channels = !untouched(Channels);
    if (channels)
        channel.WriteChanells(changed(Channels), &blocks);
    if (channels || !untouched(Zones))
        channel.WriteZones(changed(Zones), &blocks);
    if (!untouched(RxGroups))
        channel.encodeRxGroups(changed(RxGroups), &blocks);
    if (!untouched(Contacts))
        channel.encodeContacts(changed(Contacts), &blocks);
    if (!untouched(Keys))
        channel.WriteEncrypts(changed(Keys), &blocks);
    if (!untouched(Settings))
        channel.encodeSettings(changed(Settings), &blocks);
    for (auto it = blocks.begin(); it != blocks.end(); ++it) {
        if (it.value() != blockMap.value(it.key()))
            refreshChecksum(it.value());
    }
    return blocks;
}

bool Manager::verifyWrites() const
{
    if (verifyOverride >= 0)
        return verifyOverride == 1;
    return QSettings(SettingsOrganisation, SettingsApplication)
        .value(QStringLiteral("settings/verifyWrites"), true)
        .toBool();
}

void Manager::setVerifyWrites(bool on)
{
    if (on == verifyWrites())
        return;
    QSettings(SettingsOrganisation, SettingsApplication)
        .setValue(QStringLiteral("settings/verifyWrites"), on);
    verifyOverride = -1;
    emit verifyWritesChanged();
}
