#pragma once

#include <QByteArray>
#include <QStringList>
#include <QVariantList>

#include "interchange/codeplugtext.h"

// Channel lists as the CSV files of the common multi-radio programming tools:
// Location, Name, Frequency, Duplex, Offset, Tone, rToneFreq, cToneFreq,
// DtcsCode, DtcsPolarity, RxDtcsCode, CrossMode, Mode, TStep, Skip, Power,
// Comment, plus ColorCode, RxGroup, Contact and Encryption for DMR channels.
namespace ChannelCsv {

QStringList columns();

// The image's channels, one row each (CRLF line ends, fields quoted when needed).
QByteArray exportCsv(const QVariantList &image);

// The rows of a CSV file (a byte-order mark, CRLF or LF, quoted fields with
// doubled quotes inside, short rows): each row with the line it starts on.
struct Row {
    int line = 0;
    QStringList fields;
};
QVector<Row> parse(const QByteArray &text);

// The channels of the file onto the base image: they replace the image's
// channels (matched by position, so the bytes no column describes stay), or
// with `append` follow them. A row that cannot be represented is an error
// naming its line; nothing is applied then.
CodeplugText::ImportResult importCsv(const QByteArray &text, const QVariantList &base, bool append);

} // namespace ChannelCsv
