// Qt Quick Test entry point for the whole window against the real Manager
// and an emulated radio holding the factory default image. The fixed pauses
// of the workflows are taken out; the tests control the radio through the
// "Radio" context property.
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QQmlContext>
#include <QQmlEngine>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtQuickTest>
#include <memory>

#include "emulator/radioemulator.h"
#include "support/testimage.h"
#include "manager/manager.h"

// What a test may do to the radio on the other end of the cable.
class RadioControl : public QObject {
    Q_OBJECT
public:
    explicit RadioControl(RadioEmulator *radio, QVariantList factory)
        : radio(radio), factory(std::move(factory))
    {
    }

    Q_INVOKABLE void plug() { radio->plug(); }
    Q_INVOKABLE void unplug() { radio->unplug(); }
    Q_INVOKABLE bool isPresent() const { return radio->isPresent(); }
    // Back to the factory default image, plugged in, no faults.
    Q_INVOKABLE bool reset()
    {
        radio->clearFaults();
        radio->plug();
        radio->setGpsLog(RadioEmulator::generatedGpsLog());
        return radio->setImage(factory);
    }
    Q_INVOKABLE int blocksWritten() const { return radio->blocksWritten(); }
    Q_INVOKABLE int gpsPoints() const { return generatedPoints; }
    Q_INVOKABLE QStringList protocolErrors() const { return radio->protocolErrors(); }
    // A file URL in a folder that lives as long as the test program.
    Q_INVOKABLE QString fileUrl(const QString &name) const
    {
        return QUrl::fromLocalFile(folder.filePath(name)).toString();
    }
    Q_INVOKABLE bool exists(const QString &url) const
    {
        return QFile::exists(QUrl(url).toLocalFile());
    }

    static constexpr int generatedPoints = 300;

private:
    RadioEmulator *radio;
    QVariantList factory;
    QTemporaryDir folder;
};

class Setup : public QObject {
    Q_OBJECT
public slots:
    void applicationAvailable()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QVariantList image = TestImage::factoryImage();
        radio = std::make_unique<RadioEmulator>();
        control = std::make_unique<RadioControl>(radio.get(), image);
        control->reset();
        manager = std::make_unique<Manager>();
        manager->setUsbApi(radio->libusbApi(), true);
        manager->setPause([](int) {});
    }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("Manager"), manager.get());
        engine->rootContext()->setContextProperty(QStringLiteral("Radio"), control.get());
    }

private:
    std::unique_ptr<RadioEmulator> radio;
    std::unique_ptr<RadioControl> control;
    std::unique_ptr<Manager> manager;
};

QUICK_TEST_MAIN_WITH_SETUP(endtoend, Setup)
#include "main.moc"
