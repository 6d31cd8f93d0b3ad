#pragma once

#include "config/Value.h"

#include <QString>

#include <memory>

class FrameProducer;
class QThread;

// One camera brand or server product: names itself, knows its "video.type" code and
// makes the reader for a definition's video parameters. Profiles keep no state.
class VideoProfile
{
public:
    virtual ~VideoProfile() = default;

    virtual QString description() const = 0;
    virtual QString canHandleType() const = 0;
    // A new, unstarted reader doing its I/O on thread, owned by the caller; null when
    // the parameters cannot make one.
    virtual std::unique_ptr<FrameProducer> streamFromParms(const Value &params, bool thumbnail,
                                                           QThread *thread) const = 0;

protected:
    // Pieces of the HTTP profiles' stream requests.
    static QString text(const Value &params, const char *key, const char *fallback = "");
    static QString scheme(const Value &params);
    static QString credentials(const Value &params);
    static QString portPiece(const Value &params);
    // An HTTP reader for the composed text; text the URL parser rejects gives a reader
    // without a URL.
    static std::unique_ptr<FrameProducer> httpReader(const Value &params, const QString &urlText, QThread *thread);
};
