// The language choice is stored under "settings/translation" and restored;
// translations are looked up beside the program when the working folder has none.
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "manager/manager.h"

class TestManagerLanguage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void firstRunAndStoredChoice();
    void missingTranslationKeepsSourceTexts();
    void notANumberReadsAsZero();
    void portsListAnswered();

private:
    QTemporaryDir config;
    QSettings store() const
    {
        return QSettings(QStringLiteral("Варлин"), QStringLiteral("Orvane 2.5"));
    }
};

void TestManagerLanguage::initTestCase()
{
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
}

void TestManagerLanguage::firstRunAndStoredChoice()
{
    Manager manager;
    QSignalSpy stored(&manager, &Manager::signalLanguageSettings);
    QSignalSpy changed(&manager, &Manager::languageChanged);

    manager.getSettings();
    QCOMPARE(stored.count(), 1);
    QCOMPARE(stored.at(0).at(0).toInt(), 0);

    manager.setTranslation(QStringLiteral("en"), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(store().value(QStringLiteral("settings/translation")).toInt(), 1);

    // A new Manager (a new run) restores the choice.
    Manager next;
    QSignalSpy restored(&next, &Manager::signalLanguageSettings);
    next.getSettings();
    QCOMPARE(restored.at(0).at(0).toInt(), 1);

    manager.setTranslation(QStringLiteral("ru"), 0);
    QCOMPARE(store().value(QStringLiteral("settings/translation")).toInt(), 0);
}

void TestManagerLanguage::missingTranslationKeepsSourceTexts()
{
    QTemporaryDir empty;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(empty.path()));
    Manager manager;
    QSignalSpy changed(&manager, &Manager::languageChanged);
    manager.setTranslation(QStringLiteral("xx"), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(QCoreApplication::translate("MainScreen", "Считать"), QStringLiteral("Считать"));
    QCOMPARE(store().value(QStringLiteral("settings/translation")).toInt(), 1);
    QVERIFY(QDir::setCurrent(before));
}

void TestManagerLanguage::notANumberReadsAsZero()
{
    store().setValue(QStringLiteral("settings/translation"), QStringLiteral("english"));
    Manager manager;
    QSignalSpy stored(&manager, &Manager::signalLanguageSettings);
    manager.getSettings();
    QCOMPARE(stored.at(0).at(0).toInt(), 0);
}

void TestManagerLanguage::portsListAnswered()
{
    Manager manager;
    QSignalSpy ports(&manager, &Manager::signalSerialPortsList);
    manager.getPortsList();
    QCOMPARE(ports.count(), 1);
    // Whatever ports this machine has, the answer is a list of names.
    for (const QVariant &name : ports.at(0).at(0).toList())
        QVERIFY(!name.toString().isEmpty());
}

QTEST_GUILESS_MAIN(TestManagerLanguage)
#include "tst_manager_language.moc"
