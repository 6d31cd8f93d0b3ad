#include "video/JpegEndFinder.h"

#include <cstring>

namespace {

constexpr uchar Prefix = 0xFF;
constexpr uchar StartOfImage = 0xD8;
constexpr uchar EndOfImage = 0xD9;
constexpr uchar StartOfScan = 0xDA;

bool isRestart(uchar code)
{
    return code >= 0xD0 && code <= 0xD7;
}

} // namespace

void JpegEndFinder::reset()
{
    m_state = State::Start;
    m_code = 0;
    m_left = 0;
}

bool JpegEndFinder::marker(uchar code)
{
    if (code == Prefix)
        return true;
    if (code == EndOfImage) {
        m_state = State::Done;
        return false;
    }
    if (code == StartOfImage || code == 0x00) {
        m_state = State::Done;
        return true;
    }
    // Restart markers and TEM stand alone; every other marker has a length.
    if (isRestart(code) || code == 0x01) {
        m_state = m_code == StartOfScan ? State::Entropy : State::SegmentStart;
        return true;
    }
    m_code = code;
    m_state = State::LengthHigh;
    return true;
}

qsizetype JpegEndFinder::feed(const char *data, qsizetype size)
{
    const auto *p = reinterpret_cast<const uchar *>(data);
    // Each pass consumes at least one byte.
    for (qsizetype i = 0; i < size; ++i) {
        const uchar b = p[i];
        switch (m_state) {
        case State::Start:
            m_state = b == Prefix ? State::StartMarker : State::Done;
            break;
        case State::StartMarker:
            m_state = b == StartOfImage ? State::SegmentStart : State::Done;
            break;
        case State::SegmentStart:
            m_state = b == Prefix ? State::Marker : State::Done;
            break;
        case State::Marker:
        case State::EntropyMarker:
            // Inside scan data 0xFF 0x00 is a stuffed byte.
            if (m_state == State::EntropyMarker && b == 0x00) {
                m_state = State::Entropy;
                break;
            }
            if (!marker(b))
                return i + 1;
            break;
        case State::LengthHigh:
            m_left = quint32(b) << 8;
            m_state = State::LengthLow;
            break;
        case State::LengthLow:
            m_left |= b;
            if (m_left < 2) {
                m_state = State::Done;
                break;
            }
            m_left -= 2;
            m_state = m_left > 0 ? State::Segment : (m_code == StartOfScan ? State::Entropy : State::SegmentStart);
            break;
        case State::Segment: {
            const auto skip = static_cast<quint32>(qMin<qsizetype>(m_left, size - i));
            m_left -= skip;
            i += skip - 1;
            if (m_left == 0)
                m_state = m_code == StartOfScan ? State::Entropy : State::SegmentStart;
            break;
        }
        case State::Entropy: {
            const void *hit = std::memchr(p + i, Prefix, static_cast<size_t>(size - i));
            if (!hit)
                return -1;
            i = static_cast<const uchar *>(hit) - p;
            m_state = State::EntropyMarker;
            break;
        }
        case State::Done:
            return -1;
        }
    }
    return -1;
}
