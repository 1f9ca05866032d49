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
bool saveList(const QString &path, const QVariantList &list)
{
    qDebug().noquote() << QStringLiteral("Filename: ") + path;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qDebug() << "Cant open file for write!";
        qDebug().noquote() << file.errorString();
        return false;
    }
    QDataStream out(&file);
    out << list;
    if (out.status() != QDataStream::Ok || !file.commit()) {
        qDebug() << "Cant write file!";
        qDebug().noquote() << file.errorString();
        return false;
    }
    return true;
}

} // namespace

QString Manager::dataFilePath(const QString &name) const
{
    const QString inWorkingDir = QDir::currentPath() + QLatin1Char('/') + name;
    const QStringList folders
        = { QCoreApplication::applicationDirPath(), QStringLiteral(ORVANE_DATA_DIR) };
    if (QFileInfo::exists(inWorkingDir) || QFileInfo::exists(inWorkingDir + QStringLiteral(".qm")))
        return inWorkingDir;
    for (const QString &folder : folders) {
        const QString candidate = folder + QLatin1Char('/') + name;
        if (QFileInfo::exists(candidate) || QFileInfo::exists(candidate + QStringLiteral(".qm")))
            return candidate;
    }
    return inWorkingDir;
}

bool Manager::writeDataToFile(QString filename) { return saveList(localPath(filename), imageList); }

bool Manager::writeEditedDataToFile(QString filename, QVariant data, QVariant zones,
    QVariant rxGroups, QVariant contacts, QVariant settings, QVariant encrypt)
{
    if (imageList.isEmpty() || blockMap.isEmpty()) {
        qDebug() << "Manager: no image to save";
        return false;
    }
    encodeCollections(data, zones, rxGroups, contacts, settings, encrypt);
    QVariantList edited;
    edited.reserve(blockMap.size() + 1);
    edited.append(imageList.first());
    for (auto it = blockMap.cbegin(); it != blockMap.cend(); ++it)
        edited.append(it.value());
    return saveList(localPath(filename), edited);
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
    imageList = list;
    decodeImage();
    imageLoaded = 1;
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
    imageList = list;
    decodeImage();
    return 0;
}

bool Manager::writeGPSDataToFile(QString filename)
{
    const QVariantList points = gps.pointList;
    if (points.isEmpty()) {
        qDebug() << "gpsList empty";
        return false;
    }
    return saveList(localPath(filename), points);
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
