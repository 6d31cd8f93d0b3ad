#pragma once

#include <QImage>

#include <optional>

// A time stamp drawn into a picture as a row of square black and white cells across
// its middle, and read back from a copy of the picture at any scale: a white cell,
// 24 bits of milliseconds (most significant first), an even-parity cell and a black
// cell. The milliseconds are CLOCK_MONOTONIC's, which every process on the machine
// shares, so that a viewer's picture can be dated by another process.
namespace Timecode {

constexpr int Bits = 24;

qint64 nowMs();
void draw(QImage &picture, qint64 ms);
// Nothing when the picture holds no readable stamp.
std::optional<quint32> read(const QImage &picture);
// Milliseconds from a stamp to ms, across the wrap of its 24 bits.
qint64 age(quint32 stamp, qint64 ms);

} // namespace Timecode
