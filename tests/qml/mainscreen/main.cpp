// Qt Quick Test entry point for the main screen: a stub Manager with the same
// signals and invokables as the real one records every call, so that the
// tests can check which methods the screen calls, with what, in what order.
#include <QCoreApplication>
#include <QDir>
#include <QJSValue>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTranslator>
#include <QtQuickTest>

class StubManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool emulated READ isEmulated WRITE setEmulated NOTIFY emulatedChanged)
    // Results of the next calls that return one.
    Q_PROPERTY(bool fileResult MEMBER fileResult)
    Q_PROPERTY(int defaultResult MEMBER defaultResult)
    Q_PROPERTY(int languageIndex MEMBER languageIndex)
    Q_PROPERTY(bool hasImage MEMBER hasImage NOTIFY imageChanged)
    Q_PROPERTY(bool verifyWrites MEMBER verifyWrites NOTIFY verifyWritesChanged)
    // What hasUnsavedChanges and backupList answer.
    Q_PROPERTY(bool unsaved MEMBER unsaved)
    Q_PROPERTY(QVariantList backups MEMBER backups)
public:
    bool isEmulated() const { return emulated; }
    void setEmulated(bool e)
    {
        emulated = e;
        emit emulatedChanged();
    }

    // Each call as {"name": ..., "args": [...]}, JS values converted.
    Q_INVOKABLE QVariantList calls() const { return log; }
    Q_INVOKABLE void clearCalls() { log.clear(); }

    Q_INVOKABLE void readDataFromDevice() { record("readDataFromDevice", {}); }
    Q_INVOKABLE void readDataFromFile(QString file) { record("readDataFromFile", { file }); }
    Q_INVOKABLE bool writeDataToFile(QString filename)
    {
        record("writeDataToFile", { filename });
        return fileResult;
    }
    Q_INVOKABLE void readGPSData() { record("readGPSData", {}); }
    Q_INVOKABLE void setTranslation(QString translation, int check)
    {
        record("setTranslation", { translation, check });
        QCoreApplication::removeTranslator(&translator);
        if (translator.load(QDir::currentPath() + QStringLiteral("/QmlLanguage_") + translation))
            QCoreApplication::installTranslator(&translator);
        emit languageChanged();
    }
    Q_INVOKABLE void getSettings()
    {
        record("getSettings", {});
        emit signalLanguageSettings(languageIndex);
    }
    Q_INVOKABLE void getPortsList() { record("getPortsList", {}); }
    Q_INVOKABLE void portOpen() { record("portOpen", {}); }
    Q_INVOKABLE bool writeEditedDataToFile(QString filename, QVariant data, QVariant zones,
        QVariant rxGroups, QVariant contacts, QVariant settings, QVariant encrypt)
    {
        record("writeEditedDataToFile",
            { filename, data, zones, rxGroups, contacts, settings, encrypt });
        return fileResult;
    }
    Q_INVOKABLE void setEditBaseline(QVariant data, QVariant zones, QVariant rxGroups,
        QVariant contacts, QVariant settings, QVariant encrypt)
    {
        record("setEditBaseline", { data, zones, rxGroups, contacts, settings, encrypt });
    }
    Q_INVOKABLE bool hasUnsavedChanges(QVariant data, QVariant zones, QVariant rxGroups,
        QVariant contacts, QVariant settings, QVariant encrypt)
    {
        record("hasUnsavedChanges", { data, zones, rxGroups, contacts, settings, encrypt });
        return unsaved;
    }
    Q_INVOKABLE void cancelDeviceOperation() { record("cancelDeviceOperation", {}); }
    Q_INVOKABLE void allowModelMismatchOnce() { record("allowModelMismatchOnce", {}); }
    Q_INVOKABLE QVariantList backupList()
    {
        record("backupList", {});
        return backups;
    }
    Q_INVOKABLE int openSerialPort(QString name)
    {
        record("openSerialPort", { name });
        return -1;
    }
    Q_INVOKABLE void closeSerialPort() { record("closeSerialPort", {}); }

public slots:
    void writeDataToDevice(QVariant data, QVariant zones, QVariant rxGroups, QVariant contacts,
        QVariant settings, QVariant encrypt)
    {
        record("writeDataToDevice", { data, zones, rxGroups, contacts, settings, encrypt });
    }
    int slotDefaultSettings()
    {
        record("slotDefaultSettings", {});
        return defaultResult;
    }
    bool writeGPSDataToFile(QString filename)
    {
        record("writeGPSDataToFile", { filename });
        return fileResult;
    }
    void readGPSDataFromFile(QString file) { record("readGPSDataFromFile", { file }); }
    void SlotGPSReadyRead() { record("SlotGPSReadyRead", {}); }

signals:
    void emulatedChanged();
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
    void signalGPSReadFailed();
    void imageChanged();
    void verifyWritesChanged();
    void writeProblem(int kind, QString detail);
    void backupFailed(QString path);
    void usbAccessDenied();

private:
    static QVariant plain(const QVariant &v)
    {
        if (v.userType() == qMetaTypeId<QJSValue>())
            return v.value<QJSValue>().toVariant();
        return v;
    }
    void record(const QString &name, const QVariantList &args)
    {
        QVariantList plainArgs;
        for (const QVariant &a : args)
            plainArgs.append(plain(a));
        log.append(QVariantMap {
            { QStringLiteral("name"), name }, { QStringLiteral("args"), plainArgs } });
    }

    QVariantList log;
    QTranslator translator;
    bool emulated = false;
    bool fileResult = true;
    int defaultResult = 0;
    int languageIndex = 0;
    bool hasImage = true;
    bool verifyWrites = true;
    bool unsaved = false;
    QVariantList backups;
};

class Setup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // As the back end does in every program.
        QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
        engine->rootContext()->setContextProperty(QStringLiteral("Manager"), &manager);
    }

private:
    StubManager manager;
};

QUICK_TEST_MAIN_WITH_SETUP(mainscreen, Setup)
#include "main.moc"
