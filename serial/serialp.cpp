#include "serial/serialp.h"

#include <QSerialPortInfo>

// Placeholder bodies, filled in with the serial port worker.

SerialP::SerialP(QObject *parent) : QObject(parent) {}

SerialP::~SerialP() = default;

QVariantList SerialP::PortList()
{
    QVariantList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names.append(info.portName());
    return names;
}

void SerialP::DisconnectPort() {}

int SerialP::ConnectPort() { return -1; }

void SerialP::Write_Settings_Port(QString name, int baudrate, int DataBits, int Parity,
                                  int StopBits, int FlowControl)
{
    portName = name;
    baudRate = baudrate;
    dataBits = DataBits;
    parity = Parity;
    stopBits = StopBits;
    flowControl = FlowControl;
}

void SerialP::process_Port() {}

void SerialP::WriteToPort(QByteArray) {}

void SerialP::ReadInPort() { emit ReadyData(QByteArray()); }

void SerialP::handleError(QSerialPort::SerialPortError) {}
