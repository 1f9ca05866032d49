#pragma once

#include <QMap>
#include <QObject>
#include <QTranslator>
#include <QVariant>
#include <functional>

#include "codeplug/blockmap.h"
#include "codeplug/channel.h"
#include "gps/datagps.h"
#include "serial/serialp.h"
#include "usb/cusb.h"

// The one back-end object the screens talk to. It owns the radio link, the
// image codecs, the GPS decoder, the serial port and the translator, and keeps
// the radio's image both as read (imageList) and by block number (blockMap).
class Manager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool emulated READ isEmulated CONSTANT)
public:
    Manager();
    ~Manager() override;

    static Manager *instance();

    // --- contract with the screens ---
    Q_INVOKABLE void readDataFromDevice();
    Q_INVOKABLE void readDataFromFile(QString file);
    Q_INVOKABLE bool writeDataToFile(QString filename);
    Q_INVOKABLE void readGPSData();
    Q_INVOKABLE void setTranslation(QString translation, int check);
    Q_INVOKABLE void getSettings();
    Q_INVOKABLE void getPortsList();
    Q_INVOKABLE void portOpen();

    // Saves what the screens show: the six collections are encoded into the
    // block map as a write would, then the identity answer and blocks 0 to 176
    // are saved. False, with nothing written, when no image is in memory.
    Q_INVOKABLE bool writeEditedDataToFile(QString filename, QVariant data, QVariant zones,
        QVariant rxGroups, QVariant contacts, QVariant settings, QVariant encrypt);
    // Opens the named serial port at 9600 baud, 8N1, no flow control, for a GPS
    // receiver; 0 when open, -1 otherwise. closeSerialPort closes it.
    Q_INVOKABLE int openSerialPort(QString name);
    Q_INVOKABLE void closeSerialPort();

    // --- set-up by the front ends and tests ---
    // Every fixed pause of the workflows goes through this function.
    void setPause(std::function<void(int ms)> pause);
    void pause(int ms);
    // Talk to the radio through another libusb (the emulator's).
    void setUsbApi(const LibusbApi *api, bool emulated);
    bool isEmulated() const { return emulatedRadio; }

    // Read access for the command-line front end and tests.
    const QVariantList &image() const { return imageList; }
    const BlockMap &blocks() const { return blockMap; }
    bool hasImage() const { return imageLoaded != 0; }
    // Why the last file load (configuration, default image or GPS points)
    // failed, in one line; empty after a load that succeeded.
    const QString &lastFileError() const { return fileError; }

    // Writes the block map to the radio as it stands, without encoding the
    // screens' collections first (the command-line "write").
    void writeImageToDevice();

    // Where a data file (factory default image, translation) is found: the
    // working folder, then the program's folder, then the installed data folder.
    QString dataFilePath(const QString &name) const;

    // A JS array or object handed over by QML arrives as a QJSValue inside the
    // QVariant; the codecs get plain QVariantList / QVariantMap values.
    static QVariant plainVariant(const QVariant &value);

public slots:
    void writeDataToDevice(QVariant data, QVariant zones, QVariant rxGroups, QVariant contacts,
        QVariant settings, QVariant encrypt);
    int slotDefaultSettings();
    bool writeGPSDataToFile(QString filename);
    void readGPSDataFromFile(QString file);
    void SlotGPSReadyRead();

private slots:
    void slotSendReadProgress(int progress);
    void slotSendWriteProgress(int progress);

signals:
    void dataReadyReadFromDevice(bool success, QVariant data);
    void dataReadyReadFromFile(bool success, QVariant data);
    void dataWroteToDevice(bool success);
    void readProgressChanged(int progress);
    void writeProgressChanged(int progress);
    void signalGPSRead();
    void signalGPSEmpty();
    void signalGPSReadyRead(QVariant data);
    void SignalSendToMassStorage(QByteArray data);
    void signalTypeRadio(int typeRadio);
    void languageChanged();
    void signalRetryConnect(int progress);
    void signalLanguageSettings(int check);
    void signalSerialPortsList(QVariantList data);
    void signalStatusPort(QVariant data);
    void signalSerialData(QVariant data);
    // A GPS log read that could not reach the radio or broke off.
    void signalGPSReadFailed();

private:
    // Marks a device operation as running for its whole extent, so that the
    // event-loop passes made during a transfer cannot start a second one.
    class DeviceOperation {
    public:
        explicit DeviceOperation(Manager &m);
        ~DeviceOperation();
        bool isGranted() const { return granted; }

    private:
        Manager &manager;
        bool granted;
    };
    friend class DeviceOperation;

    void decodeImage();
    void encodeCollections(const QVariant &data, const QVariant &zones, const QVariant &rxGroups,
        const QVariant &contacts, const QVariant &settings, const QVariant &encrypt);

    QVariantList imageList;
    QVariantList gpsLogList;
    QMap<quint16, QByteArray> blockMap;
    Channel channel;
    CUsb usb;
    dataGps gps;
    SerialP serialPort;
    QTranslator translator;
    int imageLoaded = 0;
    QString fileError;

    std::function<void(int)> pauseFunction;
    bool emulatedRadio = false;
    bool serialWired = false;
    bool deviceBusy = false; // one device operation at a time
};
