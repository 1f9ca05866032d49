// Manager: the screens' edits. Save and Write encode onto a copy of the image
// in memory only what the screens changed since they were filled from it.
#include "manager/manager.h"

#include <QDebug>
#include <QSettings>

#include "codeplug/editmerge.h"

namespace {
QVariantList plainCollections(std::initializer_list<QVariant> collections)
{
    QVariantList out;
    for (const QVariant &c : collections)
        out.append(Manager::plainVariant(c));
    return out;
}

} // namespace

void Manager::setEditBaseline(QVariant data, QVariant zones, QVariant rxGroups, QVariant contacts,
    QVariant settings, QVariant encrypt)
{
    editBaseline = plainCollections({ data, zones, rxGroups, contacts, settings, encrypt });
    savedCollections = editBaseline;
}

bool Manager::hasUnsavedChanges(QVariant data, QVariant zones, QVariant rxGroups, QVariant contacts,
    QVariant settings, QVariant encrypt) const
{
    if (importUnsaved)
        return true;
    if (savedCollections.isEmpty())
        return false;
    return plainCollections({ data, zones, rxGroups, contacts, settings, encrypt })
        != savedCollections;
}

BlockMap Manager::editedBlocks(const QVariantList &collections)
{
    return EditMerge::apply(channel, blockMap, collections, editBaseline);
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
