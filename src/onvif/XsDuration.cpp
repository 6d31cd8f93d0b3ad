#include "onvif/XsDuration.h"

#include <QRegularExpression>

#include <algorithm>

std::optional<int> XsDuration::toMs(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^PT(?:(\\d{1,4})H)?(?:(\\d{1,4})M)?(?:(\\d{1,6}(?:\\.\\d{1,6})?)S)?$"));
    const QString trimmed = text.trimmed();
    const QRegularExpressionMatch m = pattern.match(trimmed);
    if (!m.hasMatch() || trimmed == QLatin1StringView("PT"))
        return std::nullopt;
    const double seconds = m.captured(1).toDouble() * 3600 + m.captured(2).toDouble() * 60 + m.captured(3).toDouble();
    return static_cast<int>(std::min(seconds * 1000, 1e9));
}

QString XsDuration::fromMs(int ms)
{
    return QStringLiteral("PT%1S").arg(QString::number(ms / 1000.0, 'g', 6));
}
