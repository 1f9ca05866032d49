#pragma once

#include <QDataStream>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVariantList>

#include "emulator/radioemulator.h"
#include "manager/manager.h"

// An emulated radio holding `image` and a Manager talking to it with no
// pauses (their lengths are recorded) and backups in a folder of its own.
// The helpers return what the screens get: a decoded map (empty on failure)
// or the success flag; `c` holds the six collections (EditMerge::Collection).
struct RadioRig {
    RadioEmulator radio;
    Manager manager;
    QTemporaryDir dir;
    QList<int> pauses;

    explicit RadioRig(const QVariantList &image)
    {
        radio.setImage(image);
        manager.setUsbApi(radio.libusbApi(), true);
        manager.setPause([this](int ms) { pauses << ms; });
        manager.setBackupFolder(dir.filePath("backups"));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QVariantMap read()
    {
        return decodedBy([this] { manager.readDataFromDevice(); });
    }
    QVariantMap open(const QString &file)
    {
        return decodedBy([&] { manager.readDataFromFile(file); });
    }
    bool write(const QVariantList &c)
    {
        QSignalSpy done(&manager, &Manager::dataWroteToDevice);
        manager.writeDataToDevice(c[0], c[1], c[2], c[3], c[4], c[5]);
        return done.count() == 1 && done.at(0).at(0).toBool();
    }
    void baseline(const QVariantList &c)
    {
        manager.setEditBaseline(c[0], c[1], c[2], c[3], c[4], c[5]);
    }

private:
    QVariantMap decodedBy(const std::function<void()> &start)
    {
        QSignalSpy done(&manager, &Manager::dataReadyReadFromDevice);
        start();
        const bool ok = !done.isEmpty() && done.last().at(0).toBool();
        return ok ? done.last().at(1).toMap() : QVariantMap();
    }
};

// The first argument of every emission a spy recorded, as numbers.
inline QList<int> values(const QSignalSpy &spy)
{
    QList<int> out;
    for (const QList<QVariant> &args : spy)
        out << args.at(0).toInt();
    return out;
}

// The list a configuration file holds (empty when it cannot be read).
inline QVariantList loadList(const QString &path)
{
    QFile f(path);
    QDataStream in(&f);
    QVariantList list;
    if (f.open(QIODevice::ReadOnly))
        in >> list;
    return list;
}

inline bool saveList(const QString &path, const QVariantList &list)
{
    QFile f(path);
    QDataStream out(&f);
    return f.open(QIODevice::WriteOnly) && (out << list).status() == QDataStream::Ok;
}
