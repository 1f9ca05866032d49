// Qt Quick Test entry point for the window and its tabs against a stand-in
// for Manager (StubManager.qml: records every call, answers with the values
// the tests set, lets the tests emit its signals).
#include <QCoreApplication>
#include <QEventLoop>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QTimer>
#include <QTranslator>
#include <QtQuickTest>
#include <memory>

// Installs the English translation (built next to the test) or, for any other
// name, goes back to the Russian source texts.
class Translation : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE bool load(const QString &name)
    {
        QCoreApplication::removeTranslator(&translator);
        if (name != QLatin1String("en"))
            return true;
        const bool ok = translator.load(
            QStringLiteral("QmlLanguage_en"), QCoreApplication::applicationDirPath());
        return ok && QCoreApplication::installTranslator(&translator);
    }

private:
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
        // As the back end does in every program.
        QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
        engine->rootContext()->setContextProperty(QStringLiteral("Translation"), &translation);
        engine->rootContext()->setContextProperty(QStringLiteral("Frame"), &frame);
        QQmlComponent stub(
            engine, QUrl::fromLocalFile(QStringLiteral(QUICK_TEST_SOURCE_DIR "/StubManager.qml")));
        manager.reset(stub.create());
        if (!manager)
            qFatal("%s", qPrintable(stub.errorString()));
        engine->rootContext()->setContextProperty(QStringLiteral("Manager"), manager.get());
    }

private:
    Translation translation;
    Frame frame;
    std::unique_ptr<QObject> manager;
};

QUICK_TEST_MAIN_WITH_SETUP(screens, Setup)
#include "main.moc"
