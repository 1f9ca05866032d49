// The screens reach Manager only through its meta-object: every name, argument
// list, result type and the order of the signals are part of that contract.
#include <QMetaMethod>
#include <QtTest>

#include "manager/manager.h"

class TestManagerContract : public QObject {
    Q_OBJECT
private slots:
    void members_data();
    void members();
    void signalOrder();
    void constructorConnections();
};

void TestManagerContract::members_data()
{
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("access");
    QTest::addColumn<QByteArray>("result");

    const int method = QMetaMethod::Method, slot = QMetaMethod::Slot, signal = QMetaMethod::Signal;
    const int pub = QMetaMethod::Public, priv = QMetaMethod::Private;
    struct Row {
        const char *sig;
        int kind;
        int access;
        const char *result;
    };
    const Row rows[] = {
        { "readDataFromDevice()", method, pub, "void" },
        { "writeDataToDevice(QVariant,QVariant,QVariant,QVariant,QVariant,QVariant)", slot, pub,
            "void" },
        { "readDataFromFile(QString)", method, pub, "void" },
        { "writeDataToFile(QString)", method, pub, "bool" },
        { "slotDefaultSettings()", slot, pub, "int" },
        { "readGPSData()", method, pub, "void" },
        { "writeGPSDataToFile(QString)", slot, pub, "bool" },
        { "readGPSDataFromFile(QString)", slot, pub, "void" },
        { "SlotGPSReadyRead()", slot, pub, "void" },
        { "setTranslation(QString,int)", method, pub, "void" },
        { "getSettings()", method, pub, "void" },
        { "getPortsList()", method, pub, "void" },
        { "portOpen()", method, pub, "void" },
        { "slotSendReadProgress(int)", slot, priv, "void" },
        { "slotSendWriteProgress(int)", slot, priv, "void" },
        { "writeEditedDataToFile(QString,QVariant,QVariant,QVariant,QVariant,QVariant,QVariant)",
            method, pub, "bool" },
        { "openSerialPort(QString)", method, pub, "int" },
        { "closeSerialPort()", method, pub, "void" },
        { "dataReadyReadFromDevice(bool,QVariant)", signal, pub, "void" },
        { "dataReadyReadFromFile(bool,QVariant)", signal, pub, "void" },
        { "dataWroteToDevice(bool)", signal, pub, "void" },
        { "signalSerialPortsList(QVariantList)", signal, pub, "void" },
    };
    for (const Row &r : rows)
        QTest::newRow(r.sig) << QByteArray(r.sig) << r.kind << r.access << QByteArray(r.result);
}

void TestManagerContract::members()
{
    QFETCH(QByteArray, signature);
    QFETCH(int, kind);
    QFETCH(int, access);
    QFETCH(QByteArray, result);

    const QMetaObject &mo = Manager::staticMetaObject;
    const int index = mo.indexOfMethod(signature.constData());
    QVERIFY2(index >= 0, signature.constData());
    const QMetaMethod m = mo.method(index);
    QCOMPARE(int(m.methodType()), kind);
    QCOMPARE(int(m.access()), access);
    QCOMPARE(QByteArray(m.typeName()), result);
}

void TestManagerContract::signalOrder()
{
    const QList<QByteArray> expected = {
        "dataReadyReadFromDevice(bool,QVariant)",
        "dataReadyReadFromFile(bool,QVariant)",
        "dataWroteToDevice(bool)",
        "readProgressChanged(int)",
        "writeProgressChanged(int)",
        "signalGPSRead()",
        "signalGPSEmpty()",
        "signalGPSReadyRead(QVariant)",
        "SignalSendToMassStorage(QByteArray)",
        "signalTypeRadio(int)",
        "languageChanged()",
        "signalRetryConnect(int)",
        "signalLanguageSettings(int)",
        "signalSerialPortsList(QVariantList)",
        "signalStatusPort(QVariant)",
        "signalSerialData(QVariant)",
    };
    const QMetaObject &mo = Manager::staticMetaObject;
    QList<QByteArray> actual;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        if (mo.method(i).methodType() == QMetaMethod::Signal)
            actual << mo.method(i).methodSignature();
    }
    // Signals added to the contract later come after the declared ones.
    QVERIFY(actual.size() >= expected.size());
    QCOMPARE(actual.mid(0, expected.size()), expected);
}

void TestManagerContract::constructorConnections()
{
    Manager manager;
    // Progress relays re-emit the same value.
    QSignalSpy read(&manager, &Manager::readProgressChanged);
    QSignalSpy write(&manager, &Manager::writeProgressChanged);
    QVERIFY(QMetaObject::invokeMethod(&manager, "slotSendReadProgress", Q_ARG(int, 42)));
    QVERIFY(QMetaObject::invokeMethod(&manager, "slotSendWriteProgress", Q_ARG(int, 99)));
    QCOMPARE(read.count(), 1);
    QCOMPARE(read.at(0).at(0).toInt(), 42);
    QCOMPARE(write.count(), 1);
    QCOMPARE(write.at(0).at(0).toInt(), 99);
}

QTEST_GUILESS_MAIN(TestManagerContract)
#include "tst_manager_contract.moc"
