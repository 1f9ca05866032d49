#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "codeplug/blockmap.h"

// The codeplug as a human document (YAML, JSON accepted) and back. An image
// list is what a configuration file holds: element 0 the identity answer,
// then the memory blocks.
namespace CodeplugText {

// One problem found in a document: where it is and what is wrong.
struct Issue {
    int line = 0; // 1-based; 0 when not tied to a place in the text
    int column = 0;
    QString path; // "channels[12].rx_frequency"
    QString message;
    QString text() const;
};

// The decoded image with everything the document shows, in stored order.
struct Decoded {
    int radioType = 0; // 1: KR4700
    int bandCode = 0; // identity byte 94
    QVariantMap map; // the decoded map the screens get
    QVariantList keys; // {"name", "number" (hex text), "origin"} in stored order
    // The stored records of the channels, contacts and keys, in list order.
    QVector<QByteArray> channelRecords, zoneRecords, contactRecords, keyRecords;
    BlockMap blocks;
};

Decoded decode(const QVariantList &image);

// One line of the human form: a field and its value as the document writes
// it. A list value (zone members) is held in `items`.
struct Field {
    QString key;
    QString text;
    bool quoted = false; // a text value (written in quotes)
    bool utf16 = false; // a text only its UTF-16 units express: "!utf16 HEX"
    bool isList = false;
    QStringList items;
    QVector<bool> itemQuoted;
};
struct Record {
    QString label; // channel 12 "Repeater 2"
    QVector<Field> fields;
};
struct Section {
    QString name; // "radio", "channels", ...
    bool isList = false;
    QVector<Record> records; // one record for a map section
};
using Document = QVector<Section>;

// The human form of a decoded image.
Document document(const Decoded &image);
QByteArray toYaml(const Document &doc);
QByteArray exportYaml(const QVariantList &image);

// The model and band a document names ("KR4500", "400-470"): the file name
// of the matching factory default image, or "" with an issue.
QString defaultImageName(const QByteArray &text, Issue *issue);

struct ImportResult {
    bool ok = false;
    QVector<Issue> errors;
    QVector<Issue> warnings;
    QVariantList image; // the base with the document applied (when ok)
};

// Applies a document onto a base image through the write encoders: every
// byte the document does not change keeps its value. With `strict`,
// warnings refuse the document too.
ImportResult importYaml(const QByteArray &text, const QVariantList &base, bool strict = false);

// A stored record of a list: where it lies, the bits the document's fields
// write, and its bytes. The other bits are carried by the record's "raw".
struct RawRecord {
    int block = 0;
    int offset = 0;
    QByteArray fieldBits;
    QByteArray bytes;
};
// The bits of a channel record the fields write for a channel of the kind
// (frequencies, kind, power and the fields of the kind); of a contact record
// (name, number, call type, tone); of a key record (name, value).
QByteArray channelFieldBits(int radioType, bool digital);
QByteArray contactFieldBits(int radioType);
QByteArray zoneFieldBits(int radioType);
QByteArray keyFieldBits(int radioType);
// Where zone, contact and key record k lie (fieldBits and bytes empty; a
// record that does not fit before a block's end goes on in the next block).
RawRecord zonePlace(int radioType, int k);
RawRecord contactPlace(int radioType, int k);
RawRecord keyPlace(int radioType, int k);
// The image with the bits no field writes taken from each record's bytes
// (answer checksums refreshed).
QVariantList withRawRecords(const QVariantList &image, const QVector<RawRecord> &records);

// The six write collections (EditMerge order) of a decoded map.
QVariantList collections(const QVariantMap &map, const QVariantList &keys);

// The base with the collections encoded onto it, only what differs from the
// base's own collections; blocks and identity as in the base otherwise.
QVariantList applyCollections(
    const QVariantList &base, const QVariantMap &map, const QVariantList &keys);
// The same with the base already decoded (b = decode(base)).
QVariantList applyCollections(
    const QVariantList &base, const Decoded &b, const QVariantMap &map, const QVariantList &keys);

// Differences between two images in human terms, grouped by section, then
// the bytes no field describes ("block 4 offset 700: 08 -> 09").
QStringList diff(const QVariantList &a, const QVariantList &b);
QStringList diffDocuments(const Document &a, const Document &b);

// Image files: one Qt data stream holding a list of variants.
QVariantList loadImageFile(const QString &path, QString *error);
bool saveImageFile(const QString &path, const QVariantList &image, QString *error);

// True when YAML carries the text exactly (no unpaired surrogates, no
// control or non-characters); others are written as "!utf16 HEX".
bool plainText(const QString &text);
QString utf16Hex(const QString &text);
bool fromUtf16Hex(const QString &hex, QString *text);

// Frequencies in Hz as MHz text with the stored precision ("446.00625"), and
// back (false for text that is not a frequency; `rounded` when finer than 1 Hz).
QString mhz(quint32 hz);
bool parseMhz(const QString &text, quint32 *hz, bool *rounded);

// Tones as the document writes them: "none", "CTCSS 88.5", "DCS 023N",
// "DCS 023I"; a stored pair no word describes is "raw TYPE 0xWORD".
QString toneText(int type, int word);
bool parseTone(const QString &text, int *type, int *word);

} // namespace CodeplugText
