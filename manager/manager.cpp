#include "manager/manager.h"

#include <QCoreApplication>
#include <QThread>

Manager::Manager()
    : QObject(nullptr), pauseFunction([](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); })
{
    connect(&usb, &CUsb::readProgressChanged, this, &Manager::slotSendReadProgress);
    connect(&usb, &CUsb::writeProgressChanged, this, &Manager::slotSendWriteProgress);
    connect(&serialPort, &SerialP::ReadyData, &gps, &dataGps::slotReadDataFromSerial);
    connect(&gps, &dataGps::signalSerialData, this, &Manager::signalSerialData);
}

Manager::~Manager()
{
    serialPort.DisconnectPort();
}

Manager *Manager::instance()
{
    static Manager manager;
    return &manager;
}

void Manager::setPause(std::function<void(int)> pause) { pauseFunction = std::move(pause); }

void Manager::pause(int ms)
{
    if (pauseFunction)
        pauseFunction(ms);
}

void Manager::setUsbApi(const LibusbApi *api, bool emulated)
{
    usb.setApi(api);
    emulatedRadio = emulated;
}

void Manager::slotSendReadProgress(int progress)
{
    emit readProgressChanged(progress);
    QCoreApplication::processEvents();
}

void Manager::slotSendWriteProgress(int progress)
{
    emit writeProgressChanged(progress);
    QCoreApplication::processEvents();
}
