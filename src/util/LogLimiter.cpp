#include "util/LogLimiter.h"

#include <algorithm>

void LogLimiter::log(LogLevel level, const QString &line, qint64 now, const char *file, int sourceLine)
{
    auto found = std::find_if(m_entries.begin(), m_entries.end(), [&line](const Entry &e) { return e.line == line; });
    if (found != m_entries.end() && now - found->loggedAt < SpacingMs) {
        ++found->heldBack;
        return;
    }
    QString text = line;
    if (found != m_entries.end()) {
        if (found->heldBack > 0)
            text += QStringLiteral(" (held back %1 times since it was last written)").arg(found->heldBack);
        m_entries.erase(found);
    } else if (m_entries.size() >= Remembered) {
        m_entries.removeFirst();
    }
    m_entries.append({ line, now, 0 });
    QelLog::logAtLevel(level, file, sourceLine, text);
}
