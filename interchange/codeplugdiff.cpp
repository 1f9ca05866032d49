// Differences between two codeplugs: field by field in the document's terms,
// then the bytes no field describes.
#include "interchange/codeplugtext.h"

#include <algorithm>

namespace CodeplugText {

namespace {

QString shown(const Field &f)
{
    if (f.isList) {
        QStringList items;
        for (int i = 0; i < f.items.size(); ++i)
            items << (f.itemQuoted.value(i) ? QLatin1Char('"') + f.items.at(i) + QLatin1Char('"')
                                            : f.items.at(i));
        return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    const QString unit = f.key.endsWith(QLatin1String("_frequency")) ? QStringLiteral(" MHz")
        : f.key == QLatin1String("bandwidth")                        ? QStringLiteral(" kHz")
                                                                     : QString();
    return (f.quoted ? QLatin1Char('"') + f.text + QLatin1Char('"') : f.text) + unit;
}

QString itemText(const Field &f, int i)
{
    return f.itemQuoted.value(i) ? QLatin1Char('"') + f.items.at(i) + QLatin1Char('"')
                                 : f.items.at(i);
}

// The fields of b that differ from a's, as "key old → new" (list members as
// "+ item" / "- item").
QStringList fieldChanges(const Record &a, const Record &b)
{
    QStringList out;
    for (const Field &fb : b.fields) {
        // Stored records are compared byte by byte with the bytes no field
        // describes.
        if (fb.key == QLatin1String("raw"))
            continue;
        const auto fa = std::find_if(
            a.fields.cbegin(), a.fields.cend(), [&fb](const Field &f) { return f.key == fb.key; });
        if (fa == a.fields.cend()) {
            out << QStringLiteral("%1 %2").arg(fb.key, shown(fb));
            continue;
        }
        if (fb.isList && fa->isList) {
            if (fa->items == fb.items && fa->itemQuoted == fb.itemQuoted)
                continue;
            QStringList parts;
            for (int i = 0; i < fb.items.size(); ++i) {
                if (!fa->items.contains(fb.items.at(i)))
                    parts << QStringLiteral("+ ") + itemText(fb, i);
            }
            for (int i = 0; i < fa->items.size(); ++i) {
                if (!fb.items.contains(fa->items.at(i)))
                    parts << QStringLiteral("- ") + itemText(*fa, i);
            }
            out << (parts.isEmpty()
                    ? QStringLiteral("%1 %2 → %3").arg(fb.key, shown(*fa), shown(fb))
                    : parts.join(QStringLiteral(", ")));
        } else if (fa->text != fb.text || fa->quoted != fb.quoted) {
            QString before = shown(*fa), after = shown(fb);
            // "446.00625 → 446.01875 MHz": the unit once.
            if (before.endsWith(QLatin1String(" MHz")) && after.endsWith(QLatin1String(" MHz")))
                before.chop(4);
            out << QStringLiteral("%1 %2 → %3").arg(fb.key, before, after);
        }
    }
    return out;
}

} // namespace

QStringList diffDocuments(const Document &a, const Document &b)
{
    QStringList lines;
    for (const Section &sb : b) {
        const auto sa = std::find_if(
            a.cbegin(), a.cend(), [&sb](const Section &s) { return s.name == sb.name; });
        if (sa == a.cend())
            continue;
        QStringList section;
        if (!sb.isList) {
            for (const QString &c : fieldChanges(sa->records.value(0), sb.records.value(0)))
                section << QStringLiteral("  ") + c;
        } else {
            const int n = std::max(sa->records.size(), sb.records.size());
            for (int i = 0; i < n; ++i) {
                if (i >= sa->records.size()) {
                    QStringList fields;
                    for (const Field &f : sb.records.at(i).fields)
                        fields << QStringLiteral("%1 %2").arg(f.key, shown(f));
                    section << QStringLiteral("  + %1: %2")
                                   .arg(sb.records.at(i).label, fields.join(QStringLiteral(", ")));
                } else if (i >= sb.records.size()) {
                    section << QStringLiteral("  - %1").arg(sa->records.at(i).label);
                } else {
                    const QStringList changes = fieldChanges(sa->records.at(i), sb.records.at(i));
                    if (!changes.isEmpty())
                        section << QStringLiteral("  %1: %2")
                                       .arg(sa->records.at(i).label,
                                           changes.join(QStringLiteral("; ")));
                }
            }
        }
        if (!section.isEmpty())
            lines << sb.name + QLatin1Char(':') << section;
    }
    return lines;
}

QStringList diff(const QVariantList &a, const QVariantList &b)
{
    const Decoded da = decode(a), db = decode(b);
    QStringList lines = diffDocuments(document(da), document(db));
    // b's fields written onto a: what still differs is in bytes no field
    // describes.
    const QVariantList carried = applyCollections(a, da, db.map, db.keys);
    QStringList raw;
    int more = 0;
    const int elements = std::max(carried.size(), b.size());
    for (int e = 0; e < elements; ++e) {
        const QByteArray x = carried.value(e).toByteArray(), y = b.value(e).toByteArray();
        if (x == y)
            continue;
        const QString where = e == 0
            ? QStringLiteral("identity")
            : QStringLiteral("block %1")
                  .arg(y.size() > Block::NumberOffset ? quint8(y.at(Block::NumberOffset)) : e - 1);
        if (x.size() != y.size())
            raw << QStringLiteral("  %1: %2 → %3 bytes").arg(where).arg(x.size()).arg(y.size());
        const int common = std::min(x.size(), y.size());
        for (int i = 0; i < common; ++i) {
            if (x.at(i) == y.at(i))
                continue;
            int j = i;
            while (j < common && x.at(j) != y.at(j) && j - i < 16)
                ++j;
            if (raw.size() < 200)
                raw << QStringLiteral("  %1 offset %2: %3 → %4")
                           .arg(where)
                           .arg(i)
                           .arg(QString::fromLatin1(x.mid(i, j - i).toHex(' ')),
                               QString::fromLatin1(y.mid(i, j - i).toHex(' ')));
            else
                ++more;
            i = j - 1;
        }
    }
    if (more)
        raw << QStringLiteral("  … and %1 more runs").arg(more);
    if (!raw.isEmpty())
        lines << QStringLiteral("bytes no field describes:") << raw;
    return lines;
}

} // namespace CodeplugText
