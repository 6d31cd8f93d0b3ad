#include "video/MJPEGStreamReader.h"

#include "video/MJPEGStreamSession.h"

#include "config/LogMask.h"

MJPEGStreamReader::MJPEGStreamReader(QThread *thread, Clock &clock, QObject *parent)
    : StreamReader(thread, clock, new MJPEGStreamSession(clock), parent)
{
}

QString MJPEGStreamReader::requestDescription() const
{
    if (videoURL().isEmpty())
        return QStringLiteral("no valid stream URL");
    return QStringLiteral("GET %1").arg(LogMask::url(videoURL()));
}

void MJPEGStreamReader::connectNow()
{
    // A reader without a URL stays idle.
    if (videoURL().isEmpty())
        return;
    const quint64 generation = beginConnection();
    onWorker([generation, params = params(), url = videoURL()](StreamSession *s) {
        static_cast<MJPEGStreamSession *>(s)->startInternal(generation, params, url);
    });
}
