#include "fuzz/fuzzsupport.h"

#include <QLoggingCategory>
#include <QString>
#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

void quiet()
{
    // Disabled categories skip the formatting too.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtFatalMsg || type == QtCriticalMsg)
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
}

void fail(const char *what)
{
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

} // namespace FuzzSupport
