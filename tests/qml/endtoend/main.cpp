// Qt Quick Test entry point for the whole window against the real Manager
// and an emulated radio holding the factory default image. The fixed pauses
// of the workflows are taken out; the tests control the radio through the
// "Radio" context property.
#include <QQmlContext>
#include <QQmlEngine>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtQuickTest>
#include <memory>

#include "emulator/radioemulator.h"
#include "manager/imagedecode.h"
#include "manager/manager.h"
#include "support/radiorig.h"
#include "support/testimage.h"

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
    // Back to the factory default image, plugged in, no faults.
    Q_INVOKABLE bool reset()
    {
        radio->clearFaults();
        radio->setBandCode(0);
        radio->plug();
        radio->setGpsLog(RadioEmulator::generatedGpsLog());
        return radio->setImage(factory);
    }
    Q_INVOKABLE int blocksWritten() const { return radio->blocksWritten(); }
    // The radio answers with another band code; its next `count` block writes
    // are acknowledged but not stored.
    Q_INVOKABLE void setBandCode(int code) { radio->setBandCode(quint8(code)); }
    Q_INVOKABLE void ignoreWrites(int count)
    {
        radio->injectFault(RadioEmulator::IgnoreWrite, count);
    }
    // A configuration file holding the identity answer and block 0 only.
    Q_INVOKABLE QString incompleteFile(const QString &name) const
    {
        const QString path = folder.filePath(name);
        return saveList(path, factory.mid(0, 2)) ? QUrl::fromLocalFile(path).toString() : QString();
    }
    Q_INVOKABLE int gpsPoints() const { return generatedPoints; }
    Q_INVOKABLE QStringList protocolErrors() const { return radio->protocolErrors(); }
    // A file URL in a folder that lives as long as the test program.
    Q_INVOKABLE QString fileUrl(const QString &name) const
    {
        return QUrl::fromLocalFile(folder.filePath(name)).toString();
    }

    // The radio holds the factory image with values no screen offers and
    // bits no field describes (TestImage::hostileImage).
    Q_INVOKABLE bool loadHostileImage() { return radio->setImage(TestImage::hostileImage()); }

    // Where two configuration files differ, as "block:offset" texts
    // ("identity" or "elements" when those differ); empty for the same bytes.
    // contentOnly: only the 2048 content bytes of each block count, not the
    // head or the answer checksum.
    Q_INVOKABLE QStringList fileDifferences(
        const QString &urlA, const QString &urlB, bool contentOnly = false) const
    {
        const QVariantList a = loadList(QUrl(urlA).toLocalFile()),
                           b = loadList(QUrl(urlB).toLocalFile());
        if (a.isEmpty() || b.isEmpty() || a.size() != b.size())
            return { QStringLiteral("elements") };
        QStringList out;
        if (a.first() != b.first() && !contentOnly)
            out << QStringLiteral("identity");
        for (const QString &at :
            TestImage::differences(ImageDecode::blocksOf(a), ImageDecode::blocksOf(b), 400)) {
            const int offset = at.section(QLatin1Char(':'), 1).toInt();
            if (!contentOnly || (offset >= 12 && offset < 2060))
                out << at;
        }
        return out;
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
        // Settings (the language chosen) in a folder of this run's own, so
        // that no earlier run, crashed half-way, decides how this one starts.
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
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
    QTemporaryDir settings;
    std::unique_ptr<RadioEmulator> radio;
    std::unique_ptr<RadioControl> control;
    std::unique_ptr<Manager> manager;
};

QUICK_TEST_MAIN_WITH_SETUP(endtoend, Setup)
#include "main.moc"
