#pragma once

#include <QElapsedTimer>
#include <QFile>
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
    Q_PROPERTY(bool hasImage READ hasAnyImage NOTIFY imageChanged)
    Q_PROPERTY(bool verifyWrites READ verifyWrites WRITE setVerifyWrites NOTIFY verifyWritesChanged)
    // Why the last file save or load failed, in one line ("" after a success).
    Q_PROPERTY(QString lastFileError READ lastFileError)
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
    // receiver, as openSerialPortAt does; 0 when open, -1 otherwise.
    // closeSerialPort closes it, completes the last fix and the capture.
    Q_INVOKABLE int openSerialPort(QString name);
    Q_INVOKABLE void closeSerialPort();

    // The six collections as the screens gave them right after they were
    // filled from an image. Save and Write then encode onto that image only
    // what differs from them; everything else keeps its stored bytes.
    Q_INVOKABLE void setEditBaseline(QVariant data, QVariant zones, QVariant rxGroups,
        QVariant contacts, QVariant settings, QVariant encrypt);
    // True when the collections differ from what was last loaded, saved or
    // written.
    Q_INVOKABLE bool hasUnsavedChanges(QVariant data, QVariant zones, QVariant rxGroups,
        QVariant contacts, QVariant settings, QVariant encrypt) const;
    // Ends the running read, write or connection countdown at the next block.
    Q_INVOKABLE void cancelDeviceOperation();
    // Progress values reach the screens at most every ProgressIntervalMs, and
    // further apart when passing one on (with what a render thread spent
    // meanwhile) costs more than 1/ProgressCostShare of the interval, though
    // never more than ProgressIntervalMaxMs apart (see relayProgress).
    static constexpr int ProgressIntervalMs = 40;
    static constexpr int ProgressIntervalMaxMs = 500;
    static constexpr int ProgressCostShare = 64;
    // The next write may go to a radio of another model or band than the image.
    Q_INVOKABLE void allowModelMismatchOnce() { mismatchAllowed = true; }
    // Kept radio images, newest first: maps of "url", "path", "time", "model",
    // "radioId".
    Q_INVOKABLE QVariantList backupList() const;

    // --- the codeplug as text ---
    // Writes the image in memory as a YAML document, or its channels as CSV
    // when the file name ends in ".csv". False when there is no image or the
    // file cannot be written.
    Q_INVOKABLE bool exportDocument(QString url);
    // Applies a YAML/JSON document (or a channel CSV, ".csv") onto the image
    // in memory (without one: onto the factory default image of the
    // document's model and band). {"ok", "errors", "warnings"}, the last two
    // lists of texts. On success the result becomes the image in memory (the
    // screens refill) and counts as unsaved; on error nothing changes.
    Q_INVOKABLE QVariantMap importDocument(QString url);
    // The differences between the image in memory and an image or document
    // file, one per line ("" when equal; a line starting "!" on error).
    Q_INVOKABLE QString diffWithFile(QString url);

    // --- GPS receiver, captures and GPX ---
    // Opens the named port at baudRate (one of serialBaudRates), 8N1, no flow
    // control, for a GPS receiver, and records every byte it receives in a new
    // capture file (see captureFolder); 0 when open, -1 otherwise (also for a
    // rate not offered). openSerialPort(name) opens it at 9600.
    Q_INVOKABLE int openSerialPortAt(QString name, int baudRate);
    Q_INVOKABLE QVariantList serialBaudRates() const;
    // Where captures are kept (the application data folder's "tracks"), and
    // the capture being written ("" when none).
    Q_INVOKABLE QString captureFolder() const;
    Q_INVOKABLE QString captureFile() const;
    // Replays a capture into the live track (one signalSerialData with all its
    // fixes); false when it cannot be read or holds no fix.
    Q_INVOKABLE bool openCapture(QString file);
    // GPX of the given points (as the screens hold them), a segment per pause,
    // and of the live track; false, with nothing written, on failure.
    Q_INVOKABLE bool exportGpx(QString file, QVariant points);
    Q_INVOKABLE bool exportLiveGpx(QString file);

    // --- map tiles ---
    // What the map plugin is given: "userAgent" (program and version),
    // "tileServer" (base URL of the tile server: tiles are BASE/z/x/y.png; a
    // URL ending in "{z}/{x}/{y}.png" names the same), "cacheFolder" (tiles
    // kept on disk), "attribution" (the map data's copyright notice).
    Q_INVOKABLE QVariantMap mapSettings() const;
    // Keeps the tile server URL in the settings (empty: back to the default).
    void setTileServer(const QString &url);
    static QString defaultTileServer();

    // --- set-up by the front ends and tests ---
    // Every fixed pause of the workflows goes through this function.
    void setPause(std::function<void(int ms)> pause);
    void pause(int ms);
    // The default pause: the event loop runs, a cancel ends it.
    void waitEventful(int ms);
    // Talk to the radio through another libusb (the emulator's).
    void setUsbApi(const LibusbApi *api, bool emulated);
    bool isEmulated() const { return emulatedRadio; }

    // Read access for the command-line front end and tests.
    const QVariantList &image() const { return imageList; }
    const BlockMap &blocks() const { return blockMap; }
    bool hasImage() const { return imageLoaded != 0; }
    bool hasAnyImage() const { return !imageList.isEmpty(); }
    QString lastFileError() const { return fileError; }

    // Reading the blocks back after a write and comparing them (on unless
    // switched off; the setting is kept). overrideVerifyWrites changes it for
    // this process only.
    bool verifyWrites() const;
    void setVerifyWrites(bool on);
    void overrideVerifyWrites(bool on) { verifyOverride = on ? 1 : 0; }
    // Where radio images are kept before they are overwritten and after they
    // are read (default: backups/ in the application data folder).
    QString backupFolder() const;
    void setBackupFolder(const QString &folder) { backupDir = folder; }
    static constexpr int BackupsKept = 50;
    // The persistent settings' organisation and application names.
    static const QString SettingsOrganisation;
    static const QString SettingsApplication;

    // Why an image cannot go to a radio as a whole ("" when it can): every
    // block 0 to 176 present with 2063 bytes.
    static QString incompleteImageReason(const BlockMap &blocks);

    // Writes the block map to the radio as it stands, without encoding the
    // screens' collections first (the command-line "write").
    void writeImageToDevice();

    // Where a data file (factory default image, translation) is found: the
    // working folder, then the program's folder, then the data folder of the
    // tree the program is installed in (../share/orvane), then the installed
    // data folder of the build.
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
    void imageChanged();
    void verifyWritesChanged();
    // Why a write failed, just before dataWroteToDevice(false): see WriteProblem.
    void writeProblem(int kind, QString detail);
    // A radio image could not be kept; the operation went on.
    void backupFailed(QString path);
    // The radio is plugged in but this user may not open it: the udev rule
    // giving access is missing. Sent at each attempt that failed so.
    void usbAccessDenied();
    // The GPS receiver's state: "state" ("nodata", "nofix", "fix"),
    // "satellites", "lastFix" (local time text).
    void signalReceiverState(QVariant state);
    // The open serial port went away (receiver unplugged); what it sent is
    // kept in the live track and the capture file.
    void signalSerialPortLost(QString message);

public:
    enum WriteProblem {
        IncompleteImage = 1, // not overridable
        OtherModelOrBand = 2, // allowModelMismatchOnce, then write again
        VerifyFailed = 3, // detail: the blocks that differ
        Cancelled = 4, // the radio may hold a partial image
    };

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
    // The link reports progress after every block; the screens get a value at
    // most every ProgressIntervalMs (or longer, see there), each followed by
    // one pass of the event loop (the window repaints, a Cancel gets through).
    // The first value of a transfer sequence goes out at once; finishProgress
    // sends the value held back when a sequence ends.
    enum ProgressKind { ReadProgress, WriteProgress };
    void relayProgress(ProgressKind kind, int value);
    void finishProgress();
    void sendProgress(ProgressKind kind, int value);
    // The image in memory with the screens' changes encoded into a copy of it.
    BlockMap editedBlocks(const QVariantList &collections);
    void writeBlocks(const BlockMap &blocks, const QVariantList &collections);
    bool verifyWritten(const BlockMap &blocks);
    void keepBackup(const QVariantList &image);
    void setImage(const QVariantList &image, bool loaded);
    void wireGps();
    void endSerialSession();

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
    QFile capture; // the raw bytes of the open serial port
    QString serialError; // the last error the port reported
    bool closingSerial = false;
    bool serialSession = false; // a receiver's port is open
    bool deviceBusy = false; // one device operation at a time
    bool cancelRequested = false;
    bool mismatchAllowed = false;
    int verifyOverride = -1; // -1: the kept setting
    QString backupDir;
    struct WritePhase {
        int index = 0;
        int parts = 0; // 0: not writing
        int progress(int p) const { return (100 * index + p) / parts; }
    } writePhase;
    struct ProgressPace {
        QElapsedTimer sinceRelay; // invalid until the sequence's first value
        qint64 intervalNs = 0; // from the last value relayed to the next
        qint64 othersNs = -1; // the other threads' processor time then
        ProgressKind kind = ReadProgress; // of the last value relayed
        bool held = false; // a later value is waiting for its turn
        ProgressKind heldKind = ReadProgress;
        int heldValue = 0;
    } progressPace;
    QVariantList editBaseline; // the six collections as first shown
    QVariantList savedCollections; // ... as last loaded, saved or written
    bool importUnsaved = false; // an imported document not yet saved or written
};
