// The window's C++ types, registered with the QML engine as the module
// "Orvane.Quick" when the application object is made, so that every program
// linking the resources (the window, its tests and benchmarks) has them.
#include <QCoreApplication>
#include <QQmlEngine>

#include "quick/gpspointmodel.h"
#include "quick/tracklayer.h"

namespace {

void registerTypes()
{
    qmlRegisterType<GpsPointModel>("Orvane.Quick", 1, 0, "GpsPointModel");
    qmlRegisterType<TrackLayer>("Orvane.Quick", 1, 0, "TrackLayer");
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(registerTypes)
