#include "manager/manager.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QJSValue>
#include <QTimer>
#include <ctime>

namespace {
// Every program built on the back end carries the project's version: the
// window title and the About window show it, --version prints it.
void setApplicationVersion()
{
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVANE_VERSION));
}

// Processor time of the process's other threads, in ns: the scene graph's
// render thread (and the rasteriser's workers when OpenGL is drawn by the
// processor) does a repaint's work there, after the event pass that asked
// for it.
qint64 otherThreadsCpuNs()
{
    timespec process {}, thread {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &process);
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &thread);
    return (qint64(process.tv_sec) - thread.tv_sec) * 1000000000LL + process.tv_nsec
        - thread.tv_nsec;
}
} // namespace
Q_COREAPP_STARTUP_FUNCTION(setApplicationVersion)

Manager::Manager() : QObject(nullptr), pauseFunction([this](int ms) { waitEventful(ms); })
{
    connect(&usb, &CUsb::readProgressChanged, this, &Manager::slotSendReadProgress);
    connect(&usb, &CUsb::writeProgressChanged, this, &Manager::slotSendWriteProgress);
    connect(&usb, &CUsb::accessDenied, this, &Manager::usbAccessDenied);
    connect(&serialPort, &SerialP::ReadyData, &gps, &dataGps::slotReadDataFromSerial);
    connect(&gps, &dataGps::signalSerialData, this, &Manager::signalSerialData);
    wireGps();
}

Manager::~Manager() { serialPort.DisconnectPort(); }

Manager *Manager::instance()
{
    static Manager manager;
    return &manager;
}

void Manager::setPause(std::function<void(int)> pause) { pauseFunction = std::move(pause); }

void Manager::pause(int ms)
{
    if (pauseFunction && !cancelRequested)
        pauseFunction(ms);
}

// Waits with the event loop running, so the window stays painted and a
// Cancel reaches us; a cancel ends the wait early.
void Manager::waitEventful(int ms)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
        if (cancelRequested)
            loop.quit();
    });
    timer.start(ms);
    poll.start(20);
    loop.exec();
}

void Manager::setUsbApi(const LibusbApi *api, bool emulated)
{
    usb.setApi(api);
    emulatedRadio = emulated;
}

// During a write the radio is read before and after: the three phases share
// one write progress, each its part of 0 to 100.
void Manager::slotSendReadProgress(int progress)
{
    if (writePhase.parts > 0)
        relayProgress(WriteProgress, writePhase.progress(progress));
    else
        relayProgress(ReadProgress, progress);
}

void Manager::slotSendWriteProgress(int progress)
{
    relayProgress(WriteProgress, writePhase.parts > 0 ? writePhase.progress(progress) : progress);
}

// A repaint of the window costs about as much as a block's transfer, so one
// per block would make a read in the window markedly slower than the wire.
// What passing a value on cost (the screens' handlers, the repaint, waiting
// for a render thread that is behind) and the processor time the other
// threads spent since the last value (a threaded renderer draws and swaps
// there, competing with the transfers for the processor) set the wait before
// the next one, so that the window takes about 1/ProgressCostShare of a
// transfer's time at most even with a slow renderer.
void Manager::relayProgress(ProgressKind kind, int value)
{
    ProgressPace &pace = progressPace;
    if (pace.sinceRelay.isValid() && kind == pace.kind
        && pace.sinceRelay.nsecsElapsed() < pace.intervalNs) {
        pace.held = true;
        pace.heldKind = kind;
        pace.heldValue = value;
        return;
    }
    pace.held = false;
    pace.kind = kind;
    pace.sinceRelay.start();
    sendProgress(kind, value);
    const qint64 others = otherThreadsCpuNs();
    const qint64 elsewhere = pace.othersNs >= 0 ? qMax<qint64>(0, others - pace.othersNs) : 0;
    pace.othersNs = others;
    constexpr qint64 msNs = 1000000;
    pace.intervalNs = qBound(ProgressIntervalMs * msNs,
        (pace.sinceRelay.nsecsElapsed() + elsewhere) * ProgressCostShare,
        ProgressIntervalMaxMs * msNs);
}

void Manager::finishProgress()
{
    const ProgressPace last = progressPace;
    progressPace = ProgressPace();
    if (last.held)
        sendProgress(last.heldKind, last.heldValue);
}

void Manager::sendProgress(ProgressKind kind, int value)
{
    if (kind == WriteProgress)
        emit writeProgressChanged(value);
    else
        emit readProgressChanged(value);
    QCoreApplication::processEvents();
}

QVariant Manager::plainVariant(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<QJSValue>())
        return value.value<QJSValue>().toVariant();
    if (value.userType() == QMetaType::QVariantList) {
        QVariantList list = value.toList();
        for (QVariant &element : list)
            element = plainVariant(element);
        return list;
    }
    if (value.userType() == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        for (QVariant &element : map)
            element = plainVariant(element);
        return map;
    }
    return value;
}

Manager::DeviceOperation::DeviceOperation(Manager &m) : manager(m), granted(!m.deviceBusy)
{
    if (granted) {
        manager.deviceBusy = true;
        manager.cancelRequested = false;
        manager.progressPace = ProgressPace();
        manager.usb.resetCancel();
    } else
        qDebug() << "Manager: device busy, operation refused";
}

Manager::DeviceOperation::~DeviceOperation()
{
    if (granted) {
        manager.deviceBusy = false;
        manager.cancelRequested = false;
        manager.usb.resetCancel();
    }
}
