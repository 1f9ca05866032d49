// Qt Quick Test entry point for the window and its tabs against a stand-in
// for Manager: it has the same signals and invokables as the real one, records
// every call with its arguments (calls()), answers with the values the tests
// set, and lets the tests emit its signals directly.
#include <QCoreApplication>
#include <QEventLoop>
#include <QJSValue>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QTimer>
#include <QTranslator>
#include <QtQuickTest>

class StubManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool emulated MEMBER emulated NOTIFY emulatedChanged)
    Q_PROPERTY(bool hasImage MEMBER hasImage NOTIFY imageChanged)
    Q_PROPERTY(bool verifyWrites MEMBER verifyWrites NOTIFY verifyWritesChanged)
    // Answers of the next calls: file saves, factory settings, the stored
    // language, hasUnsavedChanges, backupList, opening a serial port.
    Q_PROPERTY(bool fileResult MEMBER fileResult)
    Q_PROPERTY(int defaultResult MEMBER defaultResult)
    Q_PROPERTY(int languageIndex MEMBER languageIndex)
    Q_PROPERTY(bool unsaved MEMBER unsaved)
    Q_PROPERTY(QVariantList backups MEMBER backups)
    Q_PROPERTY(int openResult MEMBER openResult)
    Q_PROPERTY(QVariantList ports MEMBER ports)
public:
    // Each call as {"name": ..., "args": [...]}, JS values converted.
    Q_INVOKABLE QVariantList calls() const { return log; }
    Q_INVOKABLE void clearCalls() { log.clear(); }
    // Installs the English translation (built next to the test) or, for any
    // other name, goes back to the Russian source texts.
    Q_INVOKABLE bool setLanguage(const QString &name)
    {
        QCoreApplication::removeTranslator(&translator);
        const bool en = name == QLatin1String("en");
        const bool ok = !en
            || translator.load(
                QStringLiteral("QmlLanguage_en"), QCoreApplication::applicationDirPath());
        if (en && ok)
            QCoreApplication::installTranslator(&translator);
        emit languageChanged();
        return ok;
    }

    Q_INVOKABLE void readDataFromDevice() { record("readDataFromDevice"); }
    Q_INVOKABLE void readDataFromFile(QString file) { record("readDataFromFile", { file }); }
    Q_INVOKABLE bool writeDataToFile(QString file) { return record("writeDataToFile", { file }); }
    Q_INVOKABLE void readGPSData() { record("readGPSData"); }
    Q_INVOKABLE void setTranslation(QString translation, int check)
    {
        record("setTranslation", { translation, check });
        setLanguage(translation);
    }
    Q_INVOKABLE void getSettings()
    {
        record("getSettings");
        emit signalLanguageSettings(languageIndex);
    }
    Q_INVOKABLE void getPortsList()
    {
        record("getPortsList");
        emit signalSerialPortsList(ports);
    }
    Q_INVOKABLE bool writeEditedDataToFile(QString file, QVariant data, QVariant zones,
        QVariant rxGroups, QVariant contacts, QVariant settings, QVariant encrypt)
    {
        return record(
            "writeEditedDataToFile", { file, data, zones, rxGroups, contacts, settings, encrypt });
    }
    Q_INVOKABLE void setEditBaseline(QVariant data, QVariant zones, QVariant rxGroups,
        QVariant contacts, QVariant settings, QVariant encrypt)
    {
        record("setEditBaseline", { data, zones, rxGroups, contacts, settings, encrypt });
    }
    Q_INVOKABLE bool hasUnsavedChanges(QVariant, QVariant, QVariant, QVariant, QVariant, QVariant)
    {
        record("hasUnsavedChanges");
        return unsaved;
    }
    Q_INVOKABLE void cancelDeviceOperation() { record("cancelDeviceOperation"); }
    Q_INVOKABLE void allowModelMismatchOnce() { record("allowModelMismatchOnce"); }
    Q_INVOKABLE QVariantList backupList()
    {
        record("backupList");
        return backups;
    }
    Q_INVOKABLE int openSerialPortAt(QString name, int baud)
    {
        record("openSerialPortAt", { name, baud });
        return openResult;
    }
    Q_INVOKABLE void closeSerialPort() { record("closeSerialPort"); }
    Q_INVOKABLE QVariantMap mapSettings() const
    {
        return { { "userAgent", "Orvane test" }, { "tileServer", "http://127.0.0.1:9/" },
            { "cacheFolder", "/tmp/orvane-test-tiles" },
            { "attribution", "© OpenStreetMap contributors" } };
    }
    Q_INVOKABLE bool exportGpx(QString file, QVariant points)
    {
        return record("exportGpx", { file, points });
    }
    Q_INVOKABLE bool exportLiveGpx(QString file)
    {
        record("exportLiveGpx", { file });
        return false;
    }

public slots:
    void writeDataToDevice(QVariant data, QVariant zones, QVariant rxGroups, QVariant contacts,
        QVariant settings, QVariant encrypt)
    {
        record("writeDataToDevice", { data, zones, rxGroups, contacts, settings, encrypt });
    }
    int slotDefaultSettings()
    {
        record("slotDefaultSettings");
        return defaultResult;
    }
    bool writeGPSDataToFile(QString file) { return record("writeGPSDataToFile", { file }); }
    void readGPSDataFromFile(QString file) { record("readGPSDataFromFile", { file }); }

signals:
    void emulatedChanged();
    void imageChanged();
    void verifyWritesChanged();
    void dataReadyReadFromDevice(bool success, QVariant data);
    void dataReadyReadFromFile(bool success, QVariant data);
    void dataWroteToDevice(bool success);
    void readProgressChanged(int progress);
    void writeProgressChanged(int progress);
    void signalGPSRead();
    void signalGPSEmpty();
    void signalGPSReadFailed();
    void signalGPSReadyRead(QVariant data);
    void signalTypeRadio(int typeRadio);
    void languageChanged();
    void signalRetryConnect(int progress);
    void signalLanguageSettings(int check);
    void signalSerialPortsList(QVariantList data);
    void signalSerialData(QVariant data);
    void signalReceiverState(QVariant state);
    void signalSerialPortLost(QString message);
    void writeProblem(int kind, QString detail);
    void backupFailed(QString path);
    void usbAccessDenied();

private:
    // Records the call; returns fileResult, the answer of the calls that
    // report success.
    bool record(const QString &name, const QVariantList &args = {})
    {
        QVariantList plain;
        for (const QVariant &a : args)
            plain.append(
                a.userType() == qMetaTypeId<QJSValue>() ? a.value<QJSValue>().toVariant() : a);
        log.append(
            QVariantMap { { QStringLiteral("name"), name }, { QStringLiteral("args"), plain } });
        return fileResult;
    }

    QVariantList log;
    QTranslator translator;
    bool emulated = false;
    bool hasImage = true;
    bool verifyWrites = true;
    bool fileResult = true;
    int defaultResult = 0;
    int languageIndex = 0;
    bool unsaved = false;
    QVariantList backups;
    int openResult = 0;
    QVariantList ports { QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0") };
};

// The colours an item is drawn with at the given points, grabbed through the
// scene graph (the offscreen platform keeps no window frame to grab).
class Frame : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE QVariantList colours(QQuickItem *item, const QVariantList &points)
    {
        const QSharedPointer<QQuickItemGrabResult> grab = item ? item->grabToImage() : nullptr;
        if (!grab)
            return {};
        QEventLoop loop;
        connect(grab.data(), &QQuickItemGrabResult::ready, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        QVariantList out;
        for (const QVariant &p : points) {
            const QPoint at = p.toPointF().toPoint();
            out.append(grab->image().valid(at) ? grab->image().pixelColor(at) : QColor());
        }
        return out;
    }
};

class Setup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // As the back end does in every program.
        QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
        engine->rootContext()->setContextProperty(QStringLiteral("Manager"), &manager);
        engine->rootContext()->setContextProperty(QStringLiteral("Frame"), &frame);
    }

private:
    StubManager manager;
    Frame frame;
};

QUICK_TEST_MAIN_WITH_SETUP(screens, Setup)
#include "main.moc"
