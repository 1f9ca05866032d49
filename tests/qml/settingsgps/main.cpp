// Qt Quick Test entry point for the settings, buttons and GPS tabs. A small
// stand-in for Manager is published as "Manager": it records the serial port
// calls, answers openSerialPort with a chosen result, and lets the tests emit
// the signals the tabs listen to.
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
    Q_PROPERTY(int openResult MEMBER openResult)
    Q_PROPERTY(int openCalls MEMBER openCalls)
    Q_PROPERTY(int closeCalls MEMBER closeCalls)
    Q_PROPERTY(int portsCalls MEMBER portsCalls)
    Q_PROPERTY(QString lastPort MEMBER lastPort)
    Q_PROPERTY(QVariantList ports MEMBER ports)
    Q_PROPERTY(int lastBaud MEMBER lastBaud)
    Q_PROPERTY(QString lastExport MEMBER lastExport)
    Q_PROPERTY(QVariantList exported MEMBER exported)
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
    Q_INVOKABLE int openSerialPortAt(QString name, int baud)
    {
        lastBaud = baud;
        return openSerialPort(name);
    }
    Q_INVOKABLE void closeSerialPort() { ++closeCalls; }
    Q_INVOKABLE QVariantMap mapSettings() const
    {
        return { { "userAgent", "Orvane test" }, { "tileServer", "http://127.0.0.1:9/" },
            { "cacheFolder", "/tmp/orvane-test-tiles" },
            { "attribution", "© OpenStreetMap contributors" } };
    }
    Q_INVOKABLE bool exportGpx(QString file, QVariant points)
    {
        lastExport = file;
        exported = points.userType() == qMetaTypeId<QJSValue>()
            ? points.value<QJSValue>().toVariant().toList()
            : points.toList();
        return true;
    }
    Q_INVOKABLE bool exportLiveGpx(QString file)
    {
        lastExport = file;
        return false;
    }

    // Test controls.
    Q_INVOKABLE void sendSerialData(const QVariant &data) { emit signalSerialData(data); }
    Q_INVOKABLE void sendPorts(const QVariantList &list) { emit signalSerialPortsList(list); }
    Q_INVOKABLE void sendState(const QVariant &s) { emit signalReceiverState(s); }
    Q_INVOKABLE void sendLost(const QString &m) { emit signalSerialPortLost(m); }
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
    void signalReceiverState(QVariant state);
    void signalSerialPortLost(QString message);

private:
    int openResult = 0;
    int openCalls = 0;
    int closeCalls = 0;
    int portsCalls = 0;
    QString lastPort;
    int lastBaud = 0;
    QString lastExport;
    QVariantList exported;
    QVariantList ports { QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0") };
    QTranslator translator;
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
        engine->rootContext()->setContextProperty(QStringLiteral("Manager"), &manager);
        engine->rootContext()->setContextProperty(QStringLiteral("Frame"), &frame);
    }

private:
    StubManager manager;
    Frame frame;
};

QUICK_TEST_MAIN_WITH_SETUP(settingsgps, Setup)
#include "main.moc"
