// Manager: language, persistent settings and the serial-port glue.
#include "manager/manager.h"

#include <QCoreApplication>
#include <QDir>
#include <QSerialPort>
#include <QSettings>

namespace {
const char *const SettingsOrganisation = "Варлин";
const char *const SettingsApplication = "Orvane 2.5";
const char *const TranslationKey = "settings/translation";
} // namespace

void Manager::setTranslation(QString translation, int check)
{
    translator.load(dataFilePath(QStringLiteral("QmlLanguage_") + translation));
    QSettings settings(
        QString::fromUtf8(SettingsOrganisation), QString::fromUtf8(SettingsApplication));
    settings.setValue(QLatin1String(TranslationKey), check);
    settings.sync();
    QCoreApplication::installTranslator(&translator);
    emit languageChanged();
}

void Manager::getSettings()
{
    QSettings settings(
        QString::fromUtf8(SettingsOrganisation), QString::fromUtf8(SettingsApplication));
    emit signalLanguageSettings(settings.value(QLatin1String(TranslationKey), 0).toInt());
}

void Manager::getPortsList() { emit signalSerialPortsList(serialPort.PortList()); }

void Manager::portOpen() { serialPort.ReadInPort(); }

void Manager::SlotGPSReadyRead() { emit signalGPSReadyRead(QVariantList(gps.pointList)); }

int Manager::openSerialPort(QString name) { return openSerialPortAt(name, QSerialPort::Baud9600); }
