#include "video/MultipartSplitter.h"

#include "util/Utilities.h"

#include <QList>

#include <algorithm>
#include <cstring>

namespace {

// Longest delimiter line tail (transport padding) we wait for before deciding a
// boundary-looking run of bytes is body data.
constexpr qsizetype MaxDelimiterPadding = 256;
// Longest line we wait for after a counted body before giving up on finding a
// delimiter there and seeking one instead.
constexpr qsizetype MaxLineAfterBody = 1024;
constexpr qint64 ContentLengthCeiling = qint64(1) << 40;

qsizetype lineFeed(const char *p, qsizetype n)
{
    if (n <= 0)
        return -1;
    const void *hit = std::memchr(p, '\n', static_cast<size_t>(n));
    return hit ? static_cast<const char *>(hit) - p : -1;
}

// Length without a trailing CR.
qsizetype withoutCarriageReturn(const char *line, qsizetype length)
{
    return length > 0 && line[length - 1] == '\r' ? length - 1 : length;
}

bool isPrintable(const char *line, qsizetype length)
{
    return std::all_of(line, line + length, [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= 0x20 && u < 0x7f) || u == '\t';
    });
}

bool startsWithNoCase(const char *line, qsizetype length, const char *prefix)
{
    const auto n = static_cast<qsizetype>(std::strlen(prefix));
    return length >= n && qstrnicmp(line, prefix, static_cast<size_t>(n)) == 0;
}

qint64 parseContentLength(const char *p, qsizetype n)
{
    qsizetype i = 0;
    while (i < n && (p[i] == ' ' || p[i] == '\t'))
        ++i;
    if (i == n || p[i] < '0' || p[i] > '9')
        return -1;
    qint64 value = 0;
    for (; i < n && p[i] >= '0' && p[i] <= '9'; ++i)
        value = std::min(value * 10 + (p[i] - '0'), ContentLengthCeiling);
    return value;
}

} // namespace

QByteArray MultipartSplitter::boundaryFromContentType(const QByteArray &contentType)
{
    const QList<QByteArray> pieces = contentType.split(';');
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QByteArray &piece = pieces.at(i);
        const qsizetype eq = piece.indexOf('=');
        if (eq < 0 || piece.left(eq).trimmed().toLower() != "boundary")
            continue;
        QByteArray value = piece.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

MultipartSplitter::MultipartSplitter(const QByteArray &boundary, Listener &listener)
    : m_boundary(boundary)
    , m_listener(listener)
{
}

MultipartSplitter::Result MultipartSplitter::feed(const char *data, qsizetype size)
{
    if (m_state == State::Done || !m_error.isEmpty())
        return m_error.isEmpty() ? Result::Ok : Result::Malformed;
    m_stopped = false;
    const char *p = data;
    qsizetype n = size;
    if (!m_pending.isEmpty()) {
        m_pending.append(data, size);
        p = m_pending.constData();
        n = m_pending.size();
    }
    qsizetype pos = 0;
    while (pos < n && m_state != State::Done) {
        const State before = m_state;
        const qsizetype used = step(p + pos, n - pos);
        if (!m_error.isEmpty() || m_stopped) {
            m_pending.clear();
            return m_stopped ? Result::Stopped : Result::Malformed;
        }
        if (used < 0 || (used == 0 && m_state == before))
            break;
        pos += used;
    }
    if (m_state == State::Done)
        m_pending.clear();
    else if (p == m_pending.constData())
        m_pending.remove(0, pos);
    else
        m_pending = QByteArray(p + pos, n - pos);
    return Result::Ok;
}

qsizetype MultipartSplitter::step(const char *p, qsizetype n)
{
    switch (m_state) {
    case State::Start:
        return stepStart(p, n);
    case State::Headers:
        return stepHeaders(p, n);
    case State::CountedBody:
        return stepCountedBody(p, n);
    case State::ScannedBody:
        return stepScan(p, n, true);
    case State::AfterBody:
        return stepAfterBody(p, n);
    case State::Seek:
        return stepScan(p, n, false);
    case State::Done:
        break;
    }
    return n;
}

qsizetype MultipartSplitter::stepStart(const char *p, qsizetype n)
{
    const qsizetype lf = lineFeed(p, std::min(n, MaxHeaderBlock));
    if (lf < 0 && n < MaxHeaderBlock)
        return -1;
    const qsizetype length = lf < 0 ? 0 : withoutCarriageReturn(p, lf);
    if (lf >= 0 && length == 0)
        return lf + 1;
    if (lf >= 0) {
        switch (classify(p, length)) {
        case Line::Open:
            beginHeaders();
            return lf + 1;
        case Line::Close:
            m_state = State::Done;
            return lf + 1;
        case Line::Other:
            break;
        }
        if (isPrintable(p, length)) {
            // A first part without its boundary line starts with a header; other text
            // before the first boundary is a preamble.
            if (std::memchr(p, ':', static_cast<size_t>(length))) {
                beginHeaders();
                return 0;
            }
            return lf + 1;
        }
    }
    // Bytes that are no text at all: a first part without boundary and headers.
    m_state = State::ScannedBody;
    m_lastWasLineFeed = true;
    m_jpegEnd.reset();
    m_jpegScanned = 0;
    if (!m_listener.partBegins())
        m_stopped = true;
    return 0;
}

qsizetype MultipartSplitter::stepHeaders(const char *p, qsizetype n)
{
    const qsizetype lf = lineFeed(p, n);
    if (lf < 0) {
        if (m_headerBytes + n > MaxHeaderBlock)
            return malformed(QStringLiteral("part headers longer than %1 bytes").arg(MaxHeaderBlock));
        return -1;
    }
    m_headerBytes += lf + 1;
    if (m_headerBytes > MaxHeaderBlock)
        return malformed(QStringLiteral("part headers longer than %1 bytes").arg(MaxHeaderBlock));
    const qsizetype length = withoutCarriageReturn(p, lf);
    if (length > 0) {
        static constexpr char ContentLength[] = "content-length:";
        if (startsWithNoCase(p, length, ContentLength)) {
            const qsizetype skip = sizeof(ContentLength) - 1;
            m_contentLength = parseContentLength(p + skip, length - skip);
        }
        return lf + 1;
    }
    if (m_contentLength >= 0) {
        m_left = m_contentLength;
        m_state = m_left > 0 ? State::CountedBody : State::AfterBody;
    } else {
        m_state = State::ScannedBody;
        m_lastWasLineFeed = true;
        m_jpegEnd.reset();
        m_jpegScanned = 0;
    }
    if (!m_listener.partBegins())
        m_stopped = true;
    else if (m_state == State::AfterBody)
        emitEnd();
    return lf + 1;
}

qsizetype MultipartSplitter::stepCountedBody(const char *p, qsizetype n)
{
    const qsizetype take = static_cast<qsizetype>(std::min<qint64>(n, m_left));
    m_left -= take;
    if (m_left == 0)
        m_state = State::AfterBody;
    if (emitData(p, take) && m_left == 0)
        emitEnd();
    return take;
}

qsizetype MultipartSplitter::stepScan(const char *p, qsizetype n, bool keepBytes)
{
    Line kind = Line::Other;
    qsizetype lineEnd = 0;
    qsizetype holdFrom = 0;
    const qsizetype at = findDelimiter(p, n, m_lastWasLineFeed, &kind, &lineEnd, &holdFrom);
    if (keepBytes) {
        // The picture may end before the delimiter that follows it arrives. Bytes are
        // looked at once, and never past this part's delimiter.
        const qsizetype limit = at < 0 ? n : at;
        const qsizetype from = std::min(m_jpegScanned, limit);
        const qsizetype found = m_jpegEnd.feed(p + from, limit - from);
        m_jpegScanned = limit;
        if (found >= 0) {
            const qsizetype end = from + found;
            m_state = State::Seek;
            m_lastWasLineFeed = false;
            m_jpegScanned = 0;
            if (emitData(p, end))
                emitEnd();
            return end;
        }
    }
    if (at < 0) {
        if (holdFrom == 0)
            return -1;
        m_lastWasLineFeed = p[holdFrom - 1] == '\n';
        m_jpegScanned -= holdFrom;
        if (keepBytes)
            emitData(p, holdFrom);
        return holdFrom;
    }
    // The line break before the delimiter belongs to the delimiter.
    qsizetype end = at;
    if (end > 0 && p[end - 1] == '\n')
        --end;
    if (end > 0 && p[end - 1] == '\r')
        --end;
    if (kind == Line::Open)
        beginHeaders();
    else
        m_state = State::Done;
    if (keepBytes && emitData(p, end))
        emitEnd();
    return lineEnd;
}

qsizetype MultipartSplitter::stepAfterBody(const char *p, qsizetype n)
{
    qsizetype i = 0;
    while (i < n && (p[i] == '\r' || p[i] == '\n' || p[i] == ' ' || p[i] == '\t'))
        ++i;
    if (i == n)
        return i > 0 ? i : -1;
    const qsizetype lf = lineFeed(p + i, std::min(n - i, MaxLineAfterBody + 1));
    if (lf < 0) {
        if (n - i > MaxLineAfterBody) {
            m_state = State::Seek;
            m_lastWasLineFeed = false;
            return i;
        }
        return i > 0 ? i : -1;
    }
    switch (classify(p + i, withoutCarriageReturn(p + i, lf))) {
    case Line::Open:
        beginHeaders();
        return i + lf + 1;
    case Line::Close:
        m_state = State::Done;
        return i + lf + 1;
    case Line::Other:
        break;
    }
    // The part was longer than its Content-Length said: drop bytes up to the next delimiter.
    m_state = State::Seek;
    m_lastWasLineFeed = i > 0 && p[i - 1] == '\n';
    return i;
}

MultipartSplitter::Line MultipartSplitter::classify(const char *line, qsizetype length) const
{
    while (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\t' || line[length - 1] == '\r'))
        --length;
    const QByteArrayView text(line, length);
    const QByteArrayView boundary(m_boundary);
    if (boundary.isEmpty())
        return Line::Other;
    // The standard form is "--" and the boundary; some servers put the dashes into
    // the parameter and then use it verbatim.
    const bool verbatim = boundary.startsWith("--");
    auto matches = [&](QByteArrayView rest) {
        return (rest.size() == boundary.size() + 2 && rest.startsWith("--") && rest.sliced(2) == boundary)
            || (verbatim && rest == boundary);
    };
    if (matches(text))
        return Line::Open;
    if (text.endsWith("--") && matches(text.chopped(2)))
        return Line::Close;
    return Line::Other;
}

qsizetype MultipartSplitter::findDelimiter(const char *p, qsizetype n, bool firstIsLineStart, Line *kind,
                                           qsizetype *lineEnd, qsizetype *holdFrom) const
{
    const qsizetype b = m_boundary.size();
    *holdFrom = std::max<qsizetype>(0, n - (b + 4));
    if (b == 0)
        return -1;
    const bool verbatim = m_boundary.startsWith("--");
    qsizetype from = 0;
    while (from < n) {
        const void *hit = vyo::memmem(p + from, static_cast<size_t>(n - from), m_boundary.constData(),
                                      static_cast<size_t>(b));
        if (!hit)
            break;
        const qsizetype h = static_cast<const char *>(hit) - p;
        const qsizetype candidates[] = { h >= 2 && p[h - 2] == '-' && p[h - 1] == '-' ? h - 2 : -1,
                                         verbatim ? h : -1 };
        for (const qsizetype s : candidates) {
            if (s < 0 || !(s == 0 ? firstIsLineStart : p[s - 1] == '\n'))
                continue;
            const qsizetype after = h + b;
            const qsizetype lf = lineFeed(p + after, n - after);
            if (lf < 0) {
                if (n - after > MaxDelimiterPadding)
                    continue;
                *holdFrom = std::min(*holdFrom, std::max<qsizetype>(0, s - 2));
                return -1;
            }
            *kind = classify(p + s, after + lf - s);
            if (*kind != Line::Other) {
                *lineEnd = after + lf + 1;
                return s;
            }
        }
        from = h + 1;
    }
    return -1;
}

void MultipartSplitter::beginHeaders()
{
    m_state = State::Headers;
    m_headerBytes = 0;
    m_contentLength = -1;
}

bool MultipartSplitter::emitData(const char *data, qsizetype size)
{
    if (size <= 0 || m_stopped)
        return !m_stopped;
    if (!m_listener.partData(data, size))
        m_stopped = true;
    return !m_stopped;
}

void MultipartSplitter::emitEnd()
{
    if (!m_listener.partEnds())
        m_stopped = true;
}

qsizetype MultipartSplitter::malformed(const QString &why)
{
    m_error = why;
    return -1;
}
