// The strict file reader, each kind (chosen by the first byte). What it
// accepts must be exactly what QDataStream reads from the same bytes, and
// writing it back the program's way must read again to the same list; for
// byte-array files the written bytes are the input itself.
#include <QDataStream>

#include "fuzz/fuzzsupport.h"
#include "manager/variantfile.h"

using FuzzSupport::check;

namespace {
// Lists compared through their written bytes: bit for bit, NaN included.
QByteArray written(const QVariantList &list)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << list;
    return bytes;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Input in(data, size);
    const VariantFile::Kind kind = VariantFile::Kind(in.byte() % 3);
    const QByteArray bytes = in.rest();
    QVariantList list;
    QString why;
    if (!VariantFile::parse(bytes, kind, &list, &why)) {
        check(!why.isEmpty() && !why.contains(QLatin1Char('\n')), "one line saying why");
        return 0;
    }
    // Only plain types were accepted, so Qt's own reader is safe to compare with.
    QVariantList qt;
    QDataStream reference(bytes);
    reference >> qt;
    check(reference.status() == QDataStream::Ok && reference.atEnd(), "Qt reads it too");
    const QByteArray saved = written(list);
    check(written(qt) == saved, "the same list as Qt's reader");

    QVariantList again;
    check(VariantFile::parse(saved, kind, &again), "what the program writes reads again");
    check(written(again) == saved, "and reads as the same list");
    if (kind != VariantFile::Kind::Points)
        check(saved == bytes, "a byte-array file is written back byte for byte");
    return 0;
}
