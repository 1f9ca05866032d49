#pragma once

#include <QTemporaryDir>
#include <QVariantList>

#include "emulator/radioemulator.h"
#include "manager/manager.h"

// An emulated radio holding `image` and a Manager talking to it with no
// pauses (their lengths are recorded) and backups in a folder of its own.
// The helpers return what the screens would get: a decoded map (empty on
// failure) or the success flag.
struct RadioRig {
    RadioEmulator radio;
    Manager manager;
    QTemporaryDir dir;
    QList<int> pauses;

    explicit RadioRig(const QVariantList &image);
    QString path(const QString &name) const { return dir.filePath(name); }
    QVariantMap read();
    QVariantMap open(const QString &file);
    // The six collections in the order of EditMerge::Collection.
    bool write(const QVariantList &c);
    bool save(const QVariantList &c, const QString &file);
    void baseline(const QVariantList &c);
};

// The list a configuration file holds (empty when it cannot be read).
QVariantList loadList(const QString &path);
bool saveList(const QString &path, const QVariantList &list);
