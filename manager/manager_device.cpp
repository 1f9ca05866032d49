// Manager: the radio workflows (read, write, GPS log).
#include "manager/manager.h"

// Placeholder bodies, filled in with the workflows.

void Manager::readDataFromDevice() { emit dataReadyReadFromDevice(false, QVariant()); }

void Manager::writeDataToDevice(QVariant, QVariant, QVariant, QVariant, QVariant, QVariant)
{
    emit dataWroteToDevice(false);
}

void Manager::readGPSData() { emit signalGPSReadFailed(); }

void Manager::decodeImage() {}
