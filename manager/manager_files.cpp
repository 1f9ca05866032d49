// Manager: configuration files, factory default images and GPS point files.
#include "manager/manager.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include "manager/variantfile.h"

namespace {
QString localPath(const QString &url)
{
    // Plain paths are accepted too (the command-line front end passes them).
    const QUrl u(url);
    return u.isLocalFile() ? u.toLocalFile() : url;
}

// Writes the list through a temporary file that replaces the target only once
// everything was written, so a failed save never destroys the previous file.
bool saveList(const QString &path, const QVariantList &list, QString *error)
{
    qDebug().noquote() << QStringLiteral("Filename: ") + path;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qDebug() << "Cant open file for write!";
        qDebug().noquote() << file.errorString();
        *error = file.errorString();
        return false;
    }
    QDataStream out(&file);
    out << list;
    if (out.status() != QDataStream::Ok || !file.commit()) {
        qDebug() << "Cant write file!";
        qDebug().noquote() << file.errorString();
        *error = file.errorString();
        return false;
    }
    error->clear();
    return true;
}

} // namespace

QString Manager::dataFilePath(const QString &name) const
{
    const QString inWorkingDir = QDir::currentPath() + QLatin1Char('/') + name;
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList folders
        = { programDir, programDir + QStringLiteral("/" ORVANE_DATA_DIR_FROM_BIN),
              QStringLiteral(ORVANE_DATA_DIR) };
    if (QFileInfo::exists(inWorkingDir) || QFileInfo::exists(inWorkingDir + QStringLiteral(".qm")))
        return inWorkingDir;
    for (const QString &folder : folders) {
        const QString candidate = folder + QLatin1Char('/') + name;
        if (QFileInfo::exists(candidate) || QFileInfo::exists(candidate + QStringLiteral(".qm")))
            return candidate;
    }
    return inWorkingDir;
}

bool Manager::writeDataToFile(QString filename)
{
    return saveList(localPath(filename), imageList, &fileError);
}

bool Manager::writeEditedDataToFile(QString filename, QVariant data, QVariant zones,
    QVariant rxGroups, QVariant contacts, QVariant settings, QVariant encrypt)
{
    if (imageList.isEmpty() || blockMap.isEmpty()) {
        qDebug() << "Manager: no image to save";
        return false;
    }
    const QVariantList collections
        = { plainVariant(data), plainVariant(zones), plainVariant(rxGroups), plainVariant(contacts),
              plainVariant(settings), plainVariant(encrypt) };
    const BlockMap blocks = editedBlocks(collections);
    // The image as it came, each block replaced by its edited form.
    QVariantList edited = imageList;
    for (int i = 1; i < edited.size(); ++i) {
        const QByteArray block = edited.at(i).toByteArray();
        const quint8 number = quint8(block.at(Block::NumberOffset));
        if (blocks.value(number) != blockMap.value(number))
            edited[i] = blocks.value(number);
    }
    if (!saveList(localPath(filename), edited, &fileError))
        return false;
    savedCollections = collections;
    importUnsaved = false;
    return true;
}

void Manager::readDataFromFile(QString file)
{
    QVariantList list;
    if (!VariantFile::read(localPath(file), VariantFile::Kind::Image, &list, &fileError)) {
        qDebug().noquote() << "Cant read data from file!" << fileError;
        emit dataReadyReadFromFile(false, QVariant());
        return;
    }
    fileError.clear();
    setImage(list, true);
}

int Manager::slotDefaultSettings()
{
    fileError.clear();
    DeviceOperation operation(*this);
    if (!operation.isGranted())
        return -1;
    if (usb.init() != 0) {
        qDebug() << "Manager: war reset usb init";
        return -1;
    }
    bool complete = false;
    const QByteArray identity = usb.readIdentity(&complete);
    usb.deInit();

    QString name;
    if (complete && identity.size() > 95) {
        const bool kr4700 = identity.at(95) != 0;
        switch (static_cast<quint8>(identity.at(94))) {
        case 0:
            name = kr4700 ? QStringLiteral("default4700_400-470.dcc")
                          : QStringLiteral("default400-470.dcc");
            break;
        case 3:
            name = kr4700 ? QStringLiteral("default4700_136-174.dcc")
                          : QStringLiteral("default136-174.dcc");
            break;
        default:
            break;
        }
    }
    QVariantList list;
    if (name.isEmpty()) {
        fileError = QStringLiteral(
            "no factory default image for this radio (identity not read or unknown band)");
        qDebug() << "Cant read data from file!";
        return -1;
    }
    if (!VariantFile::read(dataFilePath(name), VariantFile::Kind::Image, &list, &fileError)) {
        qDebug().noquote() << "Cant read data from file!" << fileError;
        return -1;
    }
    fileError.clear();
    setImage(list, false);
    return 0;
}

bool Manager::writeGPSDataToFile(QString filename)
{
    const QVariantList points = gps.pointList;
    if (points.isEmpty()) {
        qDebug() << "gpsList empty";
        return false;
    }
    return saveList(localPath(filename), points, &fileError);
}

void Manager::readGPSDataFromFile(QString file)
{
    QVariantList points;
    if (VariantFile::read(localPath(file), VariantFile::Kind::Points, &points, &fileError))
        fileError.clear();
    else
        qDebug().noquote() << "Cant read gpd data from file!" << fileError;
    emit signalGPSReadyRead(QVariant(points));
}
