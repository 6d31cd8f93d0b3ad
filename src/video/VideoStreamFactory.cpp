#include "video/VideoStreamFactory.h"

#include "video/AxisVideoProfile.h"
#include "video/AxisVideoServerProfile.h"
#include "video/FrameProducer.h"
#include "video/GenericVideoProfile.h"
#include "video/MilestoneVideoProfile.h"
#include "video/OnvifVideoProfile.h"
#include "video/RTSPVideoProfile.h"

namespace {

const GenericVideoProfile s_generic;
const AxisVideoProfile s_axis;
const AxisVideoServerProfile s_axisServer;
const MilestoneVideoProfile s_milestone;
const RTSPVideoProfile s_rtsp;
const OnvifVideoProfile s_onvif;

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
    return { &s_generic, &s_axis, &s_axisServer, &s_milestone, &s_rtsp, &s_onvif };
}

VideoStreamFactory::ProfileList VideoStreamFactory::videoCameraProfileList()
{
    return { &s_generic, &s_axis, &s_rtsp, &s_onvif };
}

VideoStreamFactory::ProfileList VideoStreamFactory::videoServerProfileList()
{
    return { &s_axisServer, &s_milestone };
}
