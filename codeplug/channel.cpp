#include "codeplug/channel.h"

// Placeholder bodies, filled in with the image codecs.

Channel::Channel(QObject *parent) : QObject(parent) {}

void Channel::setRadioType(int radioType)
{
    layout = layoutFor(radioType);
    typeRadio = radioType;
    contacts.setLayout(layout);
}

QVariantList Channel::ParsingChanels(const BlockMap &) { return {}; }
void Channel::WriteChanells(const QVariant &, BlockMap *) {}
int Channel::WriteNewName(const QByteArray &, quint16, BlockMap *) { return -1; }
QVariant Channel::ParsingZones(const BlockMap &) { return QVariantList(); }
void Channel::WriteZones(const QVariant &, BlockMap *) {}
QVariant Channel::decodeBasicSettings(const BlockMap &) { return QVariantMap(); }
QVariant Channel::decodeButtons(const BlockMap &) { return QVariantMap(); }
void Channel::encodeSettings(const QVariant &, BlockMap *) {}
void Channel::encodeButtons(const QVariantMap &, BlockMap *) {}
void Channel::encodeBasicSettings(const QVariantMap &, BlockMap *) {}
QVariant Channel::decodeEncryption(const BlockMap &) { return QVariantMap(); }
void Channel::WriteEncrypts(const QVariant &, BlockMap *) {}
QVariantMap Channel::decodeAll(const BlockMap &) { return {}; }
void Channel::encodeRxGroups(const QVariant &groups, BlockMap *blocks)
{
    contacts.encodeRxGroups(groups, blocks);
}
void Channel::encodeContacts(const QVariant &list, BlockMap *blocks)
{
    contacts.encodeContacts(list, blocks);
}
