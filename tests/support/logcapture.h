#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects every debug line logged while it lives, word for word, and
// restores the previous message handler afterwards. Captures nest: the
// innermost one collects.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    QStringList lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text);
    QStringList m_lines;
    QtMessageHandler m_previous;
    LogCapture *m_outer;
};
