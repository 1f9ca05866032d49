// Manager: language, persistent settings and the serial-port glue.
#include "manager/manager.h"

#include <QCoreApplication>
#include <QDir>
#include <QSerialPort>
#include <QSettings>

namespace {
const char *const TranslationKey = "settings/translation";
} // namespace

const QString Manager::SettingsOrganisation = QStringLiteral("Варлин");
const QString Manager::SettingsApplication = QStringLiteral("Orvane 2.5");

void Manager::setTranslation(QString translation, int check)
{
    translator.load(dataFilePath(QStringLiteral("QmlLanguage_") + translation));
    // Stored only when it changes: the window applies the stored language at
    // every start, and rewriting the settings file (lock file, flush to disk)
    // then would only slow the start down.
    QSettings settings(SettingsOrganisation, SettingsApplication);
    const QVariant stored = settings.value(QLatin1String(TranslationKey));
    if (!stored.isValid() || stored.toInt() != check) {
        settings.setValue(QLatin1String(TranslationKey), check);
        settings.sync();
    }
    QCoreApplication::installTranslator(&translator);
    emit languageChanged();
}

void Manager::getSettings()
{
    QSettings settings(SettingsOrganisation, SettingsApplication);
    emit signalLanguageSettings(settings.value(QLatin1String(TranslationKey), 0).toInt());
}

void Manager::getPortsList() { emit signalSerialPortsList(serialPort.PortList()); }

void Manager::portOpen() { serialPort.ReadInPort(); }

void Manager::SlotGPSReadyRead() { emit signalGPSReadyRead(QVariantList(gps.pointList)); }

int Manager::openSerialPort(QString name) { return openSerialPortAt(name, QSerialPort::Baud9600); }
