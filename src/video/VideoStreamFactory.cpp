#include "VideoStreamFactory.h"

#include "AxisVideoProfile.h"
#include "AxisVideoServerProfile.h"
#include "FrameProducer.h"
#include "GenericVideoProfile.h"
#include "MilestoneVideoProfile.h"

namespace {

const GenericVideoProfile s_generic;
const AxisVideoProfile s_axis;
const AxisVideoServerProfile s_axisServer;
const MilestoneVideoProfile s_milestone;

} // namespace

std::unique_ptr<FrameProducer> VideoStreamFactory::createStream(const Value &params, bool thumbnail, QThread *thread)
{
    const QString type = params.value(QStringLiteral("video.type")).toString();
    for (const VideoProfile *profile : videoProfileList()) {
        if (profile->canHandleType() == type)
            return profile->streamFromParms(params, thumbnail, thread);
    }
    return nullptr;
}

VideoStreamFactory::ProfileList VideoStreamFactory::videoProfileList()
{
    return { &s_generic, &s_axis, &s_axisServer, &s_milestone };
}

VideoStreamFactory::ProfileList VideoStreamFactory::videoCameraProfileList()
{
    return { &s_generic, &s_axis };
}

VideoStreamFactory::ProfileList VideoStreamFactory::videoServerProfileList()
{
    return { &s_axisServer, &s_milestone };
}
