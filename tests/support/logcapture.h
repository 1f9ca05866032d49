#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects every debug line logged while it lives, word for word, and
// restores the previous message handler afterwards. Captures nest: the
// innermost one collects.
class LogCapture {
public:
    LogCapture() : m_previous(qInstallMessageHandler(&LogCapture::handler)), m_outer(current())
    {
        current() = this;
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        current() = m_outer;
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

private:
    static LogCapture *&current()
    {
        static LogCapture *capture = nullptr;
        return capture;
    }
    static void handler(QtMsgType type, const QMessageLogContext &, const QString &text)
    {
        if (current() && type == QtDebugMsg)
            current()->m_lines.append(text);
    }
    QtMessageHandler m_previous;
    LogCapture *m_outer;
    QStringList m_lines;
};
