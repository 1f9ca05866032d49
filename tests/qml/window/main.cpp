// Qt Quick Test entry point for the whole window: the real Manager is
// published as "Manager" before any test document is loaded.
#include <QQmlContext>
#include <QQmlEngine>
#include <QStandardPaths>
#include <QtQuickTest>
#include <memory>

#include "manager/manager.h"

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void applicationAvailable()
    {
        QStandardPaths::setTestModeEnabled(true);
        manager = std::make_unique<Manager>();
    }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("Manager"), manager.get());
    }

private:
    std::unique_ptr<Manager> manager; // made once the application object exists
};

QUICK_TEST_MAIN_WITH_SETUP(window, Setup)
#include "main.moc"
