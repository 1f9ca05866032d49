#include "logcapture.h"

namespace {
LogCapture *g_current = nullptr;
}

LogCapture::LogCapture()
{
    m_outer = g_current;
    g_current = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    g_current = m_outer;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (g_current && type == QtDebugMsg)
        g_current->m_lines.append(text);
}
