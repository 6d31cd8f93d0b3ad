#pragma once

#include "config/Value.h"

#include <memory>
#include <vector>

class FrameProducer;
class QThread;
class VideoProfile;

// Picks the video profile by "video.type" and asks it for a reader.
class VideoStreamFactory final
{
public:
    VideoStreamFactory() = delete;

    using ProfileList = std::vector<const VideoProfile *>;

    // A new, unstarted reader owned by the caller, doing its I/O on thread; null when
    // no listed profile handles the type or the profile cannot make a reader.
    static std::unique_ptr<FrameProducer> createStream(const Value &params, bool thumbnail, QThread *thread);

    // What the factory and the editor search by type.
    static ProfileList videoProfileList();
    // What the new-camera chooser offers as cameras and as servers.
    static ProfileList videoCameraProfileList();
    static ProfileList videoServerProfileList();
};
