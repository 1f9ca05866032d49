#include "codeplug/contacts.h"

// Placeholder bodies, filled in with the contact and receive-group codecs.

Contacts::Contacts(QObject *parent) : QObject(parent) {}

void Contacts::setLayout(const Layout &l) { layout = l; }

QVariant Contacts::decodeContacts(const BlockMap &) { return QVariantList(); }

void Contacts::encodeContacts(const QVariant &, BlockMap *) {}

QVariant Contacts::decodeRxGroups(const BlockMap &) { return QVariantList(); }

QVariant Contacts::rxGroupNames() { return QVariantMap(); }

void Contacts::encodeRxGroups(const QVariant &, BlockMap *) {}
