#include "serial/serialp.h"

#include <QDebug>
#include <QSerialPortInfo>

SerialP::SerialP(QObject *parent) : QObject(parent) { }

SerialP::~SerialP() { qDebug("By in Thread!"); }

QVariantList SerialP::PortList()
{
    QVariantList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names.append(info.portName());
    return names;
}

void SerialP::DisconnectPort()
{
    if (!port.isOpen())
        return;
    port.close();
    emit error_(port.portName() + QString::fromUtf8(" >> Закрыт!\r"));
}

int SerialP::ConnectPort()
{
    port.setPortName(portName);
    if (port.open(QIODevice::ReadWrite) && port.setBaudRate(baudRate, QSerialPort::AllDirections)
        && port.setDataBits(static_cast<QSerialPort::DataBits>(dataBits))
        && port.setParity(static_cast<QSerialPort::Parity>(parity))
        && port.setStopBits(static_cast<QSerialPort::StopBits>(stopBits))
        && port.setFlowControl(static_cast<QSerialPort::FlowControl>(flowControl)))
        return port.isOpen() ? 0 : -1;
    port.close();
    return -1;
}

void SerialP::Write_Settings_Port(
    QString name, int baudrate, int DataBits, int Parity, int StopBits, int FlowControl)
{
    portName = name;
    baudRate = baudrate;
    dataBits = DataBits;
    parity = Parity;
    stopBits = StopBits;
    flowControl = FlowControl;
}

void SerialP::process_Port()
{
    qDebug("Hello World in Thread!");
    connect(&port, &QSerialPort::errorOccurred, this, &SerialP::handleError);
    connect(&port, &QSerialPort::readyRead, this, &SerialP::ReadInPort);
}

void SerialP::WriteToPort(QByteArray data)
{
    if (port.isOpen())
        port.write(data);
}

void SerialP::ReadInPort() { emit ReadyData(port.isOpen() ? port.readAll() : QByteArray()); }

void SerialP::handleError(QSerialPort::SerialPortError error)
{
    // The device is gone. A read error means the same: Qt reports it when the
    // port signalled data and the read then failed or found the end of the
    // line (a hung-up terminal, an unplugged receiver on Linux); left open, the
    // port would report it again at once, for ever, at full processor load.
    const bool gone = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (gone && port.isOpen()) {
        emit error_(port.errorString());
        DisconnectPort();
    }
}
