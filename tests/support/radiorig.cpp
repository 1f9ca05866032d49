#include "radiorig.h"

#include <QDataStream>
#include <QFile>
#include <QSignalSpy>

RadioRig::RadioRig(const QVariantList &image)
{
    radio.setImage(image);
    manager.setUsbApi(radio.libusbApi(), true);
    manager.setPause([this](int ms) { pauses << ms; });
    manager.setBackupFolder(dir.filePath("backups"));
}

namespace {
QVariantMap decodedBy(Manager &manager, const std::function<void()> &start)
{
    QVariantMap decoded;
    auto c = QObject::connect(&manager, &Manager::dataReadyReadFromDevice,
        [&](bool ok, const QVariant &data) { decoded = ok ? data.toMap() : QVariantMap(); });
    start();
    QObject::disconnect(c);
    return decoded;
}
} // namespace

QVariantMap RadioRig::read()
{
    return decodedBy(manager, [this] { manager.readDataFromDevice(); });
}

QVariantMap RadioRig::open(const QString &file)
{
    return decodedBy(manager, [&] { manager.readDataFromFile(file); });
}

bool RadioRig::write(const QVariantList &c)
{
    QSignalSpy done(&manager, &Manager::dataWroteToDevice);
    manager.writeDataToDevice(c[0], c[1], c[2], c[3], c[4], c[5]);
    return done.count() == 1 && done.at(0).at(0).toBool();
}

bool RadioRig::save(const QVariantList &c, const QString &file)
{
    return manager.writeEditedDataToFile(file, c[0], c[1], c[2], c[3], c[4], c[5]);
}

void RadioRig::baseline(const QVariantList &c)
{
    manager.setEditBaseline(c[0], c[1], c[2], c[3], c[4], c[5]);
}

QVariantList loadList(const QString &path)
{
    QFile f(path);
    QVariantList list;
    if (f.open(QIODevice::ReadOnly)) {
        QDataStream in(&f);
        in >> list;
    }
    return list;
}

bool saveList(const QString &path, const QVariantList &list)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&f);
    out << list;
    return out.status() == QDataStream::Ok;
}
