// Manager: radio images kept before they are overwritten and after they are
// read, newest BackupsKept of them, in the application data folder.
#include "manager/manager.h"

#include <QDataStream>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace {
// Text up to the first zero byte of an identity field of block 4, kept to
// characters that are safe in a file name.
QString nameField(const QVariantList &image, int offset, int size)
{
    for (int i = 1; i < image.size(); ++i) {
        const QByteArray block = image.at(i).toByteArray();
        if (block.size() <= Block::NumberOffset || block.at(Block::NumberOffset) != 4)
            continue;
        QString text = QString::fromLatin1(block.mid(offset, size));
        const int zero = text.indexOf(QChar(0));
        if (zero >= 0)
            text.truncate(zero);
        QString safe;
        for (QChar c : text)
            safe += c.isLetterOrNumber() || c == QLatin1Char('-') ? c : QLatin1Char('_');
        return safe;
    }
    return QString();
}
} // namespace

QString Manager::backupFolder() const
{
    if (!backupDir.isEmpty())
        return backupDir;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        + QStringLiteral("/backups");
}

void Manager::keepBackup(const QVariantList &image)
{
    const QString folder = backupFolder();
    const QString model = nameField(image, 12, 16);
    const QString radioId = nameField(image, 60, 16);
    const QString path = folder + QLatin1Char('/')
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"))
        + QLatin1Char('_') + (model.isEmpty() ? QStringLiteral("radio") : model) + QLatin1Char('_')
        + (radioId.isEmpty() ? QStringLiteral("0") : radioId) + QStringLiteral(".ovc");
    QSaveFile file(path);
    bool ok = QDir().mkpath(folder) && file.open(QIODevice::WriteOnly);
    if (ok) {
        QDataStream out(&file);
        out << image;
        ok = out.status() == QDataStream::Ok && file.commit();
    }
    if (!ok) {
        qDebug().noquote() << QStringLiteral("Manager: backup not kept: ") + path;
        emit backupFailed(path);
        return;
    }
    // Names start with the time, so name order is age order.
    QDir dir(folder);
    const QStringList all
        = dir.entryList({ QStringLiteral("*.ovc") }, QDir::Files, QDir::Name | QDir::Reversed);
    for (int i = BackupsKept; i < all.size(); ++i)
        dir.remove(all.at(i));
}

QVariantList Manager::backupList() const
{
    QDir dir(backupFolder());
    QVariantList list;
    const QStringList all
        = dir.entryList({ QStringLiteral("*.ovc") }, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString &name : all) {
        const QStringList parts = name.chopped(4).split(QLatin1Char('_'));
        const QDateTime time
            = QDateTime::fromString(parts.value(0), QStringLiteral("yyyyMMdd-HHmmss-zzz"));
        QDateTime utc = time;
        utc.setTimeSpec(Qt::UTC);
        const QString path = dir.absoluteFilePath(name);
        list.append(QVariantMap {
            { QStringLiteral("url"), QUrl::fromLocalFile(path).toString() },
            { QStringLiteral("path"), path },
            { QStringLiteral("time"),
                time.isValid() ? utc.toLocalTime().toString(Qt::ISODate) : QString() },
            { QStringLiteral("model"), parts.value(1) },
            { QStringLiteral("radioId"), parts.value(2) },
        });
    }
    return list;
}
