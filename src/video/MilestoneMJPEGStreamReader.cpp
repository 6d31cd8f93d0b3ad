#include "video/MilestoneMJPEGStreamReader.h"

#include "video/MilestoneStreamSession.h"

MilestoneMJPEGStreamReader::MilestoneMJPEGStreamReader(QThread *thread, Clock &clock, QObject *parent)
    : StreamReader(thread, clock, new MilestoneStreamSession(clock), parent)
{
}

QString MilestoneMJPEGStreamReader::requestDescription() const
{
    const Value p = params();
    if (!p.hasText(QStringLiteral("video.host")))
        return QStringLiteral("no server address");
    const QString port = p.hasText(QStringLiteral("video.port"))
        ? QString::number(p.value(QStringLiteral("video.port")).toInteger())
        : QString::number(MilestoneStreamSession::DefaultPort);
    QString login = QString::fromUtf8(MilestoneStreamSession::loginRequest(p)).trimmed();
    if (p.hasText(QStringLiteral("video.password"))) {
        const qsizetype from = login.indexOf(QLatin1StringView("<password>")) + 10;
        const qsizetype to = login.indexOf(QLatin1StringView("</password>"));
        login.replace(from, to - from, QStringLiteral("****"));
    }
    return QStringLiteral("TCP %1:%2, login %3, live compression rate %4")
        .arg(p.value(QStringLiteral("video.host")).toString(), port, login,
             m_thumbnailMode ? QStringLiteral("103") : QStringLiteral("101"));
}

void MilestoneMJPEGStreamReader::connectNow()
{
    // Without a server address the reader stays idle.
    if (!params().hasText(QStringLiteral("video.host")))
        return;
    const quint64 generation = beginConnection();
    onWorker([generation, p = params(), thumbnail = m_thumbnailMode](StreamSession *s) {
        static_cast<MilestoneStreamSession *>(s)->startInternal(generation, p, thumbnail);
    });
}
