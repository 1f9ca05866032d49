// Qt Quick Test entry point for the settings, buttons and GPS tabs. A small
// stand-in for Manager is published as "Manager": it records the serial port
// calls, answers openSerialPort with a chosen result, and lets the tests emit
// the signals the tabs listen to.
#include <QCoreApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTranslator>
#include <QtQuickTest>

class StubManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(int openResult MEMBER openResult)
    Q_PROPERTY(int openCalls MEMBER openCalls)
    Q_PROPERTY(int closeCalls MEMBER closeCalls)
    Q_PROPERTY(int portsCalls MEMBER portsCalls)
    Q_PROPERTY(QString lastPort MEMBER lastPort)
    Q_PROPERTY(QVariantList ports MEMBER ports)
public:
    Q_INVOKABLE void getPortsList()
    {
        ++portsCalls;
        emit signalSerialPortsList(ports);
    }
    Q_INVOKABLE int openSerialPort(QString name)
    {
        ++openCalls;
        lastPort = name;
        return openResult;
    }
    Q_INVOKABLE void closeSerialPort() { ++closeCalls; }

    // Test controls.
    Q_INVOKABLE void sendSerialData(const QVariant &data) { emit signalSerialData(data); }
    Q_INVOKABLE void sendPorts(const QVariantList &list) { emit signalSerialPortsList(list); }
    // Installs the English translation (built next to the test) or removes it.
    Q_INVOKABLE bool setLanguage(const QString &name)
    {
        QCoreApplication::removeTranslator(&translator);
        bool ok = true;
        if (name != QLatin1String("ru")) {
            ok = translator.load(
                QStringLiteral("QmlLanguage_") + name, QCoreApplication::applicationDirPath());
            if (ok)
                QCoreApplication::installTranslator(&translator);
        }
        emit languageChanged();
        return ok;
    }

signals:
    void languageChanged();
    void signalSerialPortsList(QVariantList data);
    void signalSerialData(QVariant data);

private:
    int openResult = 0;
    int openCalls = 0;
    int closeCalls = 0;
    int portsCalls = 0;
    QString lastPort;
    QVariantList ports { QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0") };
    QTranslator translator;
};

class Setup : public QObject {
    Q_OBJECT
public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("Manager"), &manager);
    }

private:
    StubManager manager;
};

QUICK_TEST_MAIN_WITH_SETUP(settingsgps, Setup)
#include "main.moc"
