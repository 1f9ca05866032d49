#include "manager/variantfile.h"

#include <QFile>
#include <QMetaType>
#include <QVariantMap>
#include <QtEndian>
#include <cstring>

namespace {

constexpr quint32 NullLength = 0xFFFFFFFFu;

// An image is the identity and 177 blocks; a few hundred leave room for
// larger memories without letting a count size anything.
constexpr quint32 MaxImageElements = 512;
// The radio's GPS log is 247 answers.
constexpr quint32 MaxLogElements = 247;
// The log holds at most 128 + 246 * 127 = 31 370 points.
constexpr quint32 MaxPoints = 50000;
constexpr quint32 MaxKeys = 32;
constexpr quint32 MaxKeyChars = 64;
constexpr quint32 MaxTextChars = 256;

QString kindName(VariantFile::Kind kind)
{
    switch (kind) {
    case VariantFile::Kind::Image:
        return QStringLiteral("not a configuration file");
    case VariantFile::Kind::GpsLog:
        return QStringLiteral("not a GPS log file");
    case VariantFile::Kind::Points:
        return QStringLiteral("not a GPS point file");
    }
    return QString();
}

// What a type id names, in words, for the one-line reason.
QString typeWords(quint32 id)
{
    switch (id) {
    case QMetaType::UnknownType:
        return QStringLiteral("an empty value");
    case QMetaType::Bool:
        return QStringLiteral("a truth value");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QStringLiteral("an integer");
    case QMetaType::Double:
    case QMetaType::Float:
        return QStringLiteral("a number");
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return QStringLiteral("a map");
    case QMetaType::QVariantList:
        return QStringLiteral("a list");
    case QMetaType::QString:
        return QStringLiteral("a text");
    case QMetaType::QStringList:
        return QStringLiteral("a list of texts");
    case QMetaType::QByteArray:
        return QStringLiteral("bytes");
    case QMetaType::QDate:
        return QStringLiteral("a date");
    case QMetaType::QTime:
        return QStringLiteral("a time");
    case QMetaType::QDateTime:
        return QStringLiteral("a date-time");
    case QMetaType::QImage:
    case QMetaType::QPixmap:
    case QMetaType::QBitmap:
        return QStringLiteral("an image");
    case QMetaType::QPolygon:
    case QMetaType::QPolygonF:
        return QStringLiteral("a polygon");
    default:
        break;
    }
    if (id >= QMetaType::User)
        return QStringLiteral("a value of a user type (id %1)").arg(id);
    const char *name = QMetaType::typeName(int(id));
    if (name)
        return QStringLiteral("a value of type %1").arg(QLatin1String(name));
    return QStringLiteral("a value of unknown type %1").arg(id);
}

// A key as it may appear in the one-line reason: at most 32 characters, and
// no line breaks or other control characters from the file.
QString shown(const QString &key)
{
    QString s = key.left(32);
    for (QChar &c : s) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    return s;
}

// The bytes of one file, consumed from the front; every read is checked
// against what remains.
class Cursor {
public:
    explicit Cursor(const QByteArray &bytes)
        : p(reinterpret_cast<const uchar *>(bytes.constData())), end(p + bytes.size())
    {
    }
    qint64 left() const { return end - p; }
    bool u8(quint8 *v)
    {
        if (left() < 1)
            return false;
        *v = *p++;
        return true;
    }
    bool u32(quint32 *v)
    {
        if (left() < 4)
            return false;
        *v = qFromBigEndian<quint32>(p);
        p += 4;
        return true;
    }
    bool u64(quint64 *v)
    {
        if (left() < 8)
            return false;
        *v = qFromBigEndian<quint64>(p);
        p += 8;
        return true;
    }
    const char *take(quint32 n)
    {
        if (quint64(left()) < n)
            return nullptr;
        const char *start = reinterpret_cast<const char *>(p);
        p += n;
        return start;
    }

private:
    const uchar *p;
    const uchar *end;
};

class Parser {
public:
    Parser(const QByteArray &bytes, VariantFile::Kind kind) : in(bytes), kind(kind) { }

    bool run(QVariantList *out)
    {
        quint32 count = 0;
        if (!in.u32(&count))
            return fail(QStringLiteral("the file is shorter than its element count"));
        const quint32 max = kind == VariantFile::Kind::Image ? MaxImageElements
            : kind == VariantFile::Kind::GpsLog              ? MaxLogElements
                                                             : MaxPoints;
        if (count > max)
            return fail(QStringLiteral("it claims %1 elements, at most %2 are possible")
                            .arg(count)
                            .arg(max));
        if (kind == VariantFile::Kind::Image && count < 2)
            return fail(QStringLiteral("it holds %1 element(s), expected the identity and at "
                                       "least one block")
                            .arg(count));
        QVariantList list;
        list.reserve(int(count));
        for (quint32 i = 0; i < count; ++i) {
            element = i;
            QVariant value;
            if (!(kind == VariantFile::Kind::Points ? pointMap(&value) : bytes(&value)))
                return false;
            list.append(value);
        }
        if (in.left() != 0)
            return fail(QStringLiteral("%1 bytes follow the last element").arg(in.left()));
        *out = list;
        return true;
    }

    QString error;

private:
    bool fail(const QString &why)
    {
        error = kindName(kind) + QStringLiteral(": ") + why;
        return false;
    }
    bool ended() { return fail(QStringLiteral("it ends inside element %1").arg(element)); }

    bool nullFlag()
    {
        return fail(QStringLiteral("element %1 is marked as a null value").arg(element));
    }

    // The type id and null flag every element starts with: the type must be
    // the one the kind holds, checked before anything of the payload is read.
    bool elementHead(quint32 expected, const char *what)
    {
        quint32 type = 0;
        if (!in.u32(&type))
            return ended();
        if (type != expected)
            return fail(QStringLiteral("element %1 is %2, expected %3")
                            .arg(element)
                            .arg(typeWords(type), QLatin1String(what)));
        quint8 null = 0;
        if (!in.u8(&null))
            return ended();
        if (null != 0)
            return nullFlag();
        return true;
    }

    bool bytes(QVariant *value)
    {
        if (!elementHead(QMetaType::QByteArray, "bytes"))
            return false;
        quint32 length = 0;
        if (!in.u32(&length))
            return ended();
        QByteArray data;
        if (length != NullLength) {
            if (quint64(in.left()) < length)
                return fail(QStringLiteral("element %1 says it holds %2 bytes, only %3 follow")
                                .arg(element)
                                .arg(length)
                                .arg(in.left()));
            data = QByteArray(in.take(length), int(length));
        }
        if (kind == VariantFile::Kind::Image && element > 0 && data.size() < 8)
            return fail(QStringLiteral("element %1 is %2 bytes long, a block has at least 8")
                            .arg(element)
                            .arg(data.size()));
        *value = data;
        return true;
    }

    // A QString: byte length (0xFFFFFFFF for a null string), UTF-16 big-endian.
    bool text(quint32 maxChars, const QString &what, QString *out)
    {
        quint32 length = 0;
        if (!in.u32(&length))
            return ended();
        if (length == NullLength) {
            *out = QString();
            return true;
        }
        if (length % 2 != 0 || length / 2 > maxChars)
            return fail(QStringLiteral("element %1 has %2 of %3 bytes, at most %4 characters")
                            .arg(element)
                            .arg(what)
                            .arg(length)
                            .arg(maxChars));
        const char *data = in.take(length);
        if (!data)
            return ended();
        QString s(int(length / 2), Qt::Uninitialized);
        for (int i = 0; i < s.size(); ++i)
            s[i] = QChar(qFromBigEndian<quint16>(data + 2 * i));
        *out = s;
        return true;
    }

    bool plainValue(const QString &key, QVariant *value)
    {
        quint32 type = 0;
        if (!in.u32(&type))
            return ended();
        switch (type) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::QString:
            break;
        default:
            return fail(QStringLiteral("element %1: \"%2\" is %3, expected a number, a truth "
                                       "value or a text")
                            .arg(element)
                            .arg(shown(key), typeWords(type)));
        }
        quint8 null = 0;
        if (!in.u8(&null))
            return ended();
        if (null != 0)
            return nullFlag();
        quint8 b = 0;
        quint32 v32 = 0;
        quint64 v64 = 0;
        bool ok = true;
        switch (type) {
        case QMetaType::Bool:
            ok = in.u8(&b);
            *value = b != 0;
            break;
        case QMetaType::Int:
            ok = in.u32(&v32);
            *value = qint32(v32);
            break;
        case QMetaType::UInt:
            ok = in.u32(&v32);
            *value = v32;
            break;
        case QMetaType::LongLong:
            ok = in.u64(&v64);
            *value = qint64(v64);
            break;
        case QMetaType::ULongLong:
            ok = in.u64(&v64);
            *value = v64;
            break;
        case QMetaType::Double:
        case QMetaType::Float: {
            // The stream's default precision writes a float as a double too.
            ok = in.u64(&v64);
            double d;
            std::memcpy(&d, &v64, sizeof d);
            *value = type == QMetaType::Float ? QVariant(float(d)) : QVariant(d);
            break;
        }
        default: {
            QString s;
            if (!text(MaxTextChars, QStringLiteral("a text"), &s))
                return false;
            *value = s;
            break;
        }
        }
        return ok || ended();
    }

    bool pointMap(QVariant *value)
    {
        if (!elementHead(QMetaType::QVariantMap, "a point map"))
            return false;
        quint32 keys = 0;
        if (!in.u32(&keys))
            return ended();
        if (keys > MaxKeys)
            return fail(QStringLiteral("element %1 has %2 keys, at most %3")
                            .arg(element)
                            .arg(keys)
                            .arg(MaxKeys));
        QVariantMap map;
        for (quint32 k = 0; k < keys; ++k) {
            QString key;
            QVariant v;
            if (!text(MaxKeyChars, QStringLiteral("a key"), &key) || !plainValue(key, &v))
                return false;
            if (map.contains(key))
                return fail(QStringLiteral("element %1 holds the key \"%2\" twice")
                                .arg(element)
                                .arg(shown(key)));
            map.insert(key, v);
        }
        *value = map;
        return true;
    }

    Cursor in;
    VariantFile::Kind kind;
    quint32 element = 0;
};

} // namespace

namespace VariantFile {

qint64 maxFileSize(Kind kind)
{
    switch (kind) {
    case Kind::Image:
        return 16 << 20;
    case Kind::GpsLog:
        return 4 << 20;
    case Kind::Points:
        break;
    }
    // A full log's points take about 7 MB.
    return 16 << 20;
}

bool parse(const QByteArray &bytes, Kind kind, QVariantList *list, QString *error)
{
    Parser parser(bytes, kind);
    QVariantList parsed;
    if (!parser.run(&parsed)) {
        if (error)
            *error = parser.error;
        return false;
    }
    *list = parsed;
    return true;
}

bool read(const QString &path, Kind kind, QVariantList *list, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    const qint64 max = maxFileSize(kind);
    const QByteArray bytes = file.read(max + 1);
    if (bytes.size() > max) {
        if (error)
            *error = kindName(kind) + QStringLiteral(": it is larger than %1 bytes").arg(max);
        return false;
    }
    return parse(bytes, kind, list, error);
}

} // namespace VariantFile
