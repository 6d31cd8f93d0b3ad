#pragma once

#include "video/JpegEndFinder.h"

#include <QByteArray>
#include <QString>

// Cuts a multipart (x-mixed-replace) body into parts: one partBegins event after
// each part's headers, that part's body bytes in one or more partData events, and
// partEnds as soon as the part is complete: its Content-Length reached, or without
// one, the end of the JPEG picture it holds, or else the next delimiter. The events
// are the same however the input is split.
// Tolerates what cameras send in practice: LF-only line ends, a first part without
// a leading boundary line, a boundary parameter that already carries the "--",
// parts with and without Content-Length, and input split anywhere.
class MultipartSplitter final
{
public:
    static constexpr qsizetype MaxHeaderBlock = 16 * 1024;

    class Listener
    {
    public:
        virtual ~Listener() = default;
        // Returning false stops the current feed at once.
        virtual bool partBegins() = 0;
        virtual bool partData(const char *data, qsizetype size) = 0;
        virtual bool partEnds() = 0;
    };

    enum class Result { Ok, Stopped, Malformed };

    // The boundary parameter of a Content-Type value, unquoted; empty when there is none.
    static QByteArray boundaryFromContentType(const QByteArray &contentType);

    MultipartSplitter(const QByteArray &boundary, Listener &listener);

    Result feed(const char *data, qsizetype size);
    // Why the last feed gave Malformed.
    QString error() const { return m_error; }

private:
    enum class State { Start, Headers, CountedBody, ScannedBody, AfterBody, Seek, Done };
    enum class Line { Other, Open, Close };

    // Each step consumes from the front of [p, p + n) and returns how much, or -1
    // when it needs more input; it may change m_state and report through the listener.
    qsizetype step(const char *p, qsizetype n);
    qsizetype stepStart(const char *p, qsizetype n);
    qsizetype stepHeaders(const char *p, qsizetype n);
    qsizetype stepCountedBody(const char *p, qsizetype n);
    // Up to the next delimiter line, passing the bytes on (a body) or dropping them.
    qsizetype stepScan(const char *p, qsizetype n, bool keepBytes);
    qsizetype stepAfterBody(const char *p, qsizetype n);

    Line classify(const char *line, qsizetype length) const;
    // Offset of the first delimiter line in [p, p + n) that starts at a line start,
    // with its kind and end (past its line break); -1 when there is none yet, and then
    // *holdFrom says from where the bytes may still begin one.
    qsizetype findDelimiter(const char *p, qsizetype n, bool firstIsLineStart, Line *kind,
                            qsizetype *lineEnd, qsizetype *holdFrom) const;
    void beginHeaders();
    bool emitData(const char *data, qsizetype size);
    void emitEnd();
    qsizetype malformed(const QString &why);

    QByteArray m_boundary;
    Listener &m_listener;
    QByteArray m_pending;
    State m_state = State::Start;
    qsizetype m_headerBytes = 0;
    qint64 m_contentLength = -1;
    qint64 m_left = 0;
    bool m_lastWasLineFeed = true;
    // Body bytes at the front of the input that the finder has already seen.
    qsizetype m_jpegScanned = 0;
    JpegEndFinder m_jpegEnd;
    bool m_stopped = false;
    QString m_error;
};
