#pragma once

#include <QtGlobal>

// Finds where a JPEG picture ends (its EOI marker) as its bytes come in, in any
// pieces. It walks the marker segments by their lengths, so that the end marker
// of a thumbnail embedded in a segment is not taken for the picture's own. Bytes
// that do not follow the JPEG layout are never ended: the caller then relies on
// the part's delimiter.
class JpegEndFinder final
{
public:
    // Offset just past the picture's end within [data, data + size), or -1; after
    // an end, or on bytes that are no JPEG, it answers -1 until reset.
    qsizetype feed(const char *data, qsizetype size);
    void reset();

private:
    enum class State { Start, StartMarker, SegmentStart, Marker, LengthHigh, LengthLow, Segment, Entropy, EntropyMarker, Done };

    // Reads the byte after an 0xFF of a marker; false when the picture ended.
    bool marker(uchar code);

    State m_state = State::Start;
    uchar m_code = 0;
    quint32 m_left = 0;
};
