// Qt Quick Test entry point: the real Manager talking to an emulated radio
// that holds the factory default image, with the fixed pauses taken out.
#include <QDataStream>
#include <QFile>
#include <QQmlContext>
#include <QQmlEngine>
#include <QStandardPaths>
#include <QtQuickTest>
#include <memory>

#include "emulator/radioemulator.h"
#include "support/testimage.h"
#include "manager/manager.h"

class Setup : public QObject
{
    Q_OBJECT
public slots:
    void applicationAvailable()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QVariantList image = TestImage::factoryImage();
        radio = std::make_unique<RadioEmulator>();
        radio->setImage(image);
        manager = std::make_unique<Manager>();
        manager->setUsbApi(radio->libusbApi(), true);
        manager->setPause([](int) {});
    }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("Manager"), manager.get());
    }

private:
    std::unique_ptr<RadioEmulator> radio;
    std::unique_ptr<Manager> manager;
};

QUICK_TEST_MAIN_WITH_SETUP(manager, Setup)
#include "main.moc"
