#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects every debug line logged while it lives, word for word, and
// restores the previous message handler afterwards. Captures nest: the
// innermost one collects.
class LogCapture {
public:
    LogCapture() : m_previous(qInstallMessageHandler(&LogCapture::handler)), m_outer(s_current)
    {
        s_current = this;
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = m_outer;
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const { return m_lines; }

private:
    static void handler(QtMsgType type, const QMessageLogContext &, const QString &text)
    {
        if (s_current && type == QtDebugMsg)
            s_current->m_lines.append(text);
    }
    static inline LogCapture *s_current = nullptr;
    QtMessageHandler m_previous;
    LogCapture *m_outer;
    QStringList m_lines;
};
