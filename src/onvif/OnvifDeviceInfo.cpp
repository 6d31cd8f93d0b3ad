#include "onvif/OnvifDeviceInfo.h"

#include <algorithm>

QString OnvifMediaProfile::summary() const
{
    QString codec = encoding;
    if (encoding == QLatin1String("H264") || encoding == QLatin1String("H265"))
        codec = QStringLiteral("H.%1").arg(encoding.mid(1));
    const QString shown = name.isEmpty() ? token : name;
    if (width <= 0 || height <= 0)
        return QStringLiteral("%1 (%2)").arg(shown, codec);
    return QStringLiteral("%1 (%2, %3x%4)").arg(shown, codec).arg(width).arg(height);
}

int OnvifDeviceInfo::indexOf(const QString &token) const
{
    for (qsizetype i = 0; i < profiles.size(); ++i) {
        if (profiles.at(i).token == token)
            return static_cast<int>(i);
    }
    return -1;
}

void OnvifDeviceInfo::chooseStreams(const QString &preferredMain, const QString &preferredGrid)
{
    const bool anyH26x = std::any_of(profiles.cbegin(), profiles.cend(), [](const auto &p) { return p.isH26x(); });
    mainIndex = -1;
    gridIndex = -1;
    qint64 largest = -1;
    qint64 smallest = -1;
    for (qsizetype i = 0; i < profiles.size(); ++i) {
        const OnvifMediaProfile &p = profiles.at(i);
        if (anyH26x && !p.isH26x())
            continue;
        const qint64 area = qint64(p.width) * p.height;
        // Ties keep the device's order: its first profile is usually its main stream.
        if (area > largest) {
            largest = area;
            mainIndex = static_cast<int>(i);
        }
        if (smallest < 0 || area < smallest) {
            smallest = area;
            gridIndex = static_cast<int>(i);
        }
    }
    if (const int main = indexOf(preferredMain); main >= 0 && !preferredMain.isEmpty())
        mainIndex = main;
    if (const int grid = indexOf(preferredGrid); grid >= 0 && !preferredGrid.isEmpty())
        gridIndex = grid;
}
