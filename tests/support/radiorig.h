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
// The helpers return what the screens would get: a decoded map (empty on
// failure) or the success flag. `c` holds the six collections in the order
// of EditMerge::Collection.
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
    bool save(const QVariantList &c, const QString &file)
    {
        return manager.writeEditedDataToFile(file, c[0], c[1], c[2], c[3], c[4], c[5]);
    }
    void baseline(const QVariantList &c)
    {
        manager.setEditBaseline(c[0], c[1], c[2], c[3], c[4], c[5]);
    }

private:
    QVariantMap decodedBy(const std::function<void()> &start)
    {
        QVariantMap decoded;
        auto c = QObject::connect(&manager, &Manager::dataReadyReadFromDevice,
            [&](bool ok, const QVariant &data) { decoded = ok ? data.toMap() : QVariantMap(); });
        start();
        QObject::disconnect(c);
        return decoded;
    }
};

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
