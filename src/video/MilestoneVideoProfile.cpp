#include "MilestoneVideoProfile.h"

#include "MilestoneMJPEGStreamReader.h"

#include <QUrl>

QString MilestoneVideoProfile::description() const
{
    return QStringLiteral("Milestone - Motion JPEG");
}

QString MilestoneVideoProfile::canHandleType() const
{
    return QStringLiteral("MILESTONEMJPEG");
}

std::unique_ptr<FrameProducer> MilestoneVideoProfile::streamFromParms(const Value &params, bool thumbnail,
                                                                      QThread *thread) const
{
    // The reader checks for a host when it connects.
    auto reader = std::make_unique<MilestoneMJPEGStreamReader>(thread);
    reader->setConnectionParameters(params, QUrl());
    reader->setThumbnailMode(thumbnail);
    return reader;
}
