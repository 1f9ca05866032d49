#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QVariantList>

// One serial port of the computer: lists the ports, opens one with given line
// settings, hands on every chunk that arrives and closes it again.
class SerialP : public QObject {
    Q_OBJECT
public:
    explicit SerialP(QObject *parent = nullptr);
    ~SerialP() override;

    QVariantList PortList();
    bool isOpen() const { return port.isOpen(); }

signals:
    void error_(QString err);
    void ReadyData(QByteArray data);

public slots:
    void DisconnectPort();
    int ConnectPort();
    void Write_Settings_Port(
        QString name, int baudrate, int DataBits, int Parity, int StopBits, int FlowControl);
    void process_Port();
    void WriteToPort(QByteArray data);
    void ReadInPort();

private slots:
    void handleError(QSerialPort::SerialPortError error);

private:
    QSerialPort port;
    QString portName;
    int baudRate = 0;
    int dataBits = 0;
    int parity = 0;
    int stopBits = 0;
    int flowControl = 0;
};
