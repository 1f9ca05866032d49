// Manager: the codeplug as text for the window (export, import, compare).
#include "manager/manager.h"

#include <QDebug>
#include <QFile>
#include <QSaveFile>
#include <QUrl>

#include "interchange/channelcsv.h"
#include "interchange/codeplugtext.h"

namespace {
QString pathOf(const QString &url)
{
    const QUrl u(url);
    return u.isLocalFile() ? u.toLocalFile() : url;
}

bool isCsv(const QString &path)
{
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

QVariantList texts(const QVector<CodeplugText::Issue> &issues)
{
    QVariantList out;
    for (const CodeplugText::Issue &i : issues)
        out << i.text();
    return out;
}
} // namespace

bool Manager::exportDocument(QString url)
{
    if (imageList.isEmpty())
        return false;
    const QString path = pathOf(url);
    const QByteArray text
        = isCsv(path) ? ChannelCsv::exportCsv(imageList) : CodeplugText::exportYaml(imageList);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        qDebug().noquote() << QStringLiteral("Manager: could not save ") + path;
        return false;
    }
    return true;
}

QVariantMap Manager::importDocument(QString url)
{
    const QString path = pathOf(url);
    QVariantMap outcome { { QStringLiteral("ok"), false },
        { QStringLiteral("errors"), QVariantList() },
        { QStringLiteral("warnings"), QVariantList() } };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024 * 1024) {
        outcome.insert(
            QStringLiteral("errors"), QVariantList { QStringLiteral("cannot read %1").arg(path) });
        return outcome;
    }
    const QByteArray text = file.readAll();
    QVariantList base = imageList;
    QString error;
    if (base.isEmpty() && !isCsv(path)) {
        CodeplugText::Issue issue;
        const QString name = CodeplugText::defaultImageName(text, &issue);
        base = name.isEmpty() ? QVariantList()
                              : CodeplugText::loadImageFile(dataFilePath(name), &error);
        if (name.isEmpty())
            error = issue.text();
    }
    if (base.isEmpty()) {
        outcome.insert(QStringLiteral("errors"),
            QVariantList {
                error.isEmpty() ? QStringLiteral("no image to apply the file onto") : error });
        return outcome;
    }
    const CodeplugText::ImportResult result = isCsv(path) ? ChannelCsv::importCsv(text, base, false)
                                                          : CodeplugText::importYaml(text, base);
    outcome.insert(QStringLiteral("errors"), texts(result.errors));
    outcome.insert(QStringLiteral("warnings"), texts(result.warnings));
    if (!result.ok)
        return outcome;
    setImage(result.image, true);
    importUnsaved = true;
    outcome.insert(QStringLiteral("ok"), true);
    return outcome;
}

QString Manager::diffWithFile(QString url)
{
    if (imageList.isEmpty())
        return QStringLiteral("! no image in memory");
    const QString path = pathOf(url);
    QString error;
    QVariantList other = CodeplugText::loadImageFile(path, &error);
    if (other.isEmpty()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("! cannot read ") + path;
        const CodeplugText::ImportResult result
            = CodeplugText::importYaml(file.read(64 * 1024 * 1024), imageList);
        if (!result.ok) {
            QStringList lines;
            for (const CodeplugText::Issue &i : result.errors)
                lines << QStringLiteral("! ") + i.text();
            return lines.join(QLatin1Char('\n'));
        }
        other = result.image;
    }
    return CodeplugText::diff(imageList, other).join(QLatin1Char('\n'));
}
