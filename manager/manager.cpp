#include "manager/manager.h"

#include <QCoreApplication>
#include <QDebug>
#include <QJSValue>
#include <QThread>

Manager::Manager()
    : QObject(nullptr),
      pauseFunction([](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); })
{
    connect(&usb, &CUsb::readProgressChanged, this, &Manager::slotSendReadProgress);
    connect(&usb, &CUsb::writeProgressChanged, this, &Manager::slotSendWriteProgress);
    connect(&serialPort, &SerialP::ReadyData, &gps, &dataGps::slotReadDataFromSerial);
    connect(&gps, &dataGps::signalSerialData, this, &Manager::signalSerialData);
    wireGps();
}

Manager::~Manager() { serialPort.DisconnectPort(); }

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

QVariant Manager::plainVariant(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<QJSValue>())
        return value.value<QJSValue>().toVariant();
    if (value.userType() == QMetaType::QVariantList) {
        QVariantList list = value.toList();
        for (QVariant &element : list)
            element = plainVariant(element);
        return list;
    }
    if (value.userType() == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        for (QVariant &element : map)
            element = plainVariant(element);
        return map;
    }
    return value;
}

Manager::DeviceOperation::DeviceOperation(Manager &m) : manager(m), granted(!m.deviceBusy)
{
    if (granted)
        manager.deviceBusy = true;
    else
        qDebug() << "Manager: device busy, operation refused";
}

Manager::DeviceOperation::~DeviceOperation()
{
    if (granted)
        manager.deviceBusy = false;
}
