// Manager: configuration files, factory default images and GPS point files.
#include "manager/manager.h"

// Placeholder bodies, filled in with the file workflows.

bool Manager::writeDataToFile(QString) { return false; }

bool Manager::writeEditedDataToFile(QString, QVariant, QVariant, QVariant, QVariant, QVariant,
                                    QVariant)
{
    return false;
}

void Manager::readDataFromFile(QString) { emit dataReadyReadFromFile(false, QVariant()); }

int Manager::slotDefaultSettings() { return -1; }

bool Manager::writeGPSDataToFile(QString) { return false; }

void Manager::readGPSDataFromFile(QString) { emit signalGPSReadyRead(QVariantList()); }
