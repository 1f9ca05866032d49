// Qt Quick Test entry point for the zones and DMR tabs. A small stand-in for
// Manager carries the one signal the tabs listen to, and can switch the
// translation the way the real one does.
#include <QCoreApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTranslator>
#include <QtQuickTest>

class StubManager : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // "en" loads QmlLanguage_en.qm from the working folder; anything else
    // returns to the Russian source texts. Returns false when the file is
    // missing.
    Q_INVOKABLE bool switchLanguage(const QString &language)
    {
        QCoreApplication::removeTranslator(&translator);
        bool ok = true;
        if (language == QLatin1String("en")) {
            ok = translator.load(
                QStringLiteral("QmlLanguage_en"), QCoreApplication::applicationDirPath());
            if (ok)
                QCoreApplication::installTranslator(&translator);
        }
        emit languageChanged();
        return ok;
    }

signals:
    void languageChanged();

private:
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

QUICK_TEST_MAIN_WITH_SETUP(listtabs, Setup)
#include "main.moc"
