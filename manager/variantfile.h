#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantList>

// Reads the program's file container (a Qt data stream holding one list of
// variants) by the shape each kind of file must have, byte by byte, instead of
// letting QDataStream build whatever variant types a file names. Each
// element's type is checked before its payload is read, every length against
// the bytes that remain, the element count against what the kind can hold;
// nothing recurses on file content. The written format is QDataStream's own
// (`out << list`); files written that way read back equal.
namespace VariantFile {

enum class Kind {
    Image, // configuration file or factory default image: identity, then blocks
    GpsLog, // the emulated radio's raw GPS log answers: byte arrays
    Points, // GPS point file: point maps of plain values
};

// At most this many bytes are read from a file of each kind; a longer file is
// refused without being read further.
qint64 maxFileSize(Kind kind);

// The list in `bytes`, or false with one line saying why in *error (when
// given); *list is only written on success.
bool parse(const QByteArray &bytes, Kind kind, QVariantList *list, QString *error = nullptr);

// Opens `path` read-only (and nothing else) and parses it.
bool read(const QString &path, Kind kind, QVariantList *list, QString *error = nullptr);

} // namespace VariantFile
