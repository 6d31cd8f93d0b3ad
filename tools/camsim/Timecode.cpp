#include "camsim/Timecode.h"

#include <QPainter>

#include <array>
#include <ctime>

namespace {

constexpr int Cells = Timecode::Bits + 3;
constexpr quint32 Mask = (1u << Timecode::Bits) - 1;

QRectF cell(QSize size, int index)
{
    const double side = size.width() / static_cast<double>(Cells);
    return QRectF(index * side, size.height() / 2.0, side, side);
}

// The cells in order: start, the bits, parity, end.
std::array<bool, Cells> cellsFor(quint32 stamp)
{
    std::array<bool, Cells> cells{};
    cells[0] = true;
    bool parity = false;
    for (int bit = 0; bit < Timecode::Bits; ++bit) {
        const bool set = (stamp >> (Timecode::Bits - 1 - bit)) & 1u;
        cells[static_cast<size_t>(bit + 1)] = set;
        parity ^= set;
    }
    cells[Cells - 2] = parity;
    cells[Cells - 1] = false;
    return cells;
}

} // namespace

namespace Timecode {

qint64 nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<qint64>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void draw(QImage &picture, qint64 ms)
{
    const std::array<bool, Cells> cells = cellsFor(static_cast<quint32>(ms) & Mask);
    QPainter painter(&picture);
    for (int i = 0; i < Cells; ++i)
        painter.fillRect(cell(picture.size(), i), cells[static_cast<size_t>(i)] ? Qt::white : Qt::black);
}

std::optional<quint32> read(const QImage &picture)
{
    if (picture.width() < Cells * 3)
        return std::nullopt;
    std::array<bool, Cells> cells{};
    for (int i = 0; i < Cells; ++i) {
        const QPointF centre = cell(picture.size(), i).center();
        if (centre.y() >= picture.height())
            return std::nullopt;
        cells[static_cast<size_t>(i)] = qGray(picture.pixel(centre.toPoint())) >= 128;
    }
    quint32 stamp = 0;
    for (int bit = 0; bit < Bits; ++bit)
        stamp = (stamp << 1) | (cells[static_cast<size_t>(bit + 1)] ? 1u : 0u);
    if (cells != cellsFor(stamp))
        return std::nullopt;
    return stamp;
}

qint64 age(quint32 stamp, qint64 ms)
{
    return static_cast<qint64>((static_cast<quint32>(ms) - stamp) & Mask);
}

} // namespace Timecode
