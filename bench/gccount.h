// Counts the script engine's garbage collections. Qt 5.15 has no public
// hook; with the logging category qt.qml.gc.allocatorStats on, its memory
// manager logs a line "========== GC ==========" as each collection starts,
// and this handler counts those lines (and drops the rest of the report).
#pragma once

#include <QLoggingCategory>
#include <QString>
#include <atomic>

namespace GcCount {

inline std::atomic<int> &runs()
{
    static std::atomic<int> n { 0 };
    return n;
}

inline void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.category && qstrcmp(context.category, "qt.qml.gc.allocatorStats") == 0) {
        if (message.contains(QLatin1String("========== GC ==========")))
            ++runs();
        return;
    }
    Q_UNUSED(type)
    fprintf(stderr, "%s\n", qPrintable(message));
}

// Call once, before the engine is made.
inline void install()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.qml.gc.allocatorStats.debug=true"));
    qInstallMessageHandler(handler);
}

} // namespace GcCount
