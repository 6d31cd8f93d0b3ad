#include "camsim/GeminEyeServer.h"

#include "camsim/SimCamera.h"

#include <QTcpSocket>

namespace {

constexpr qsizetype FrameLength = 12; // unescaped, STX and ETX included
constexpr qsizetype MaxEscapedLength = 2 * FrameLength;

bool needsEscape(char c)
{
    return c == GeminEyeServer::STX || c == GeminEyeServer::ETX || c == GeminEyeServer::ACK
        || c == GeminEyeServer::NAK || c == GeminEyeServer::ESC;
}

} // namespace

QByteArray GeminEyeServer::escape(const QByteArray &inner)
{
    QByteArray out;
    for (char c : inner) {
        if (needsEscape(c)) {
            out += ESC;
            out += static_cast<char>(c | 0x80);
        } else {
            out += c;
        }
    }
    return out;
}

void GeminEyeServer::parse(QByteArray &buffer, QTcpSocket *socket)
{
    qsizetype p = 0;
    while (p < buffer.size()) {
        if (buffer.at(p) != STX) {
            const qsizetype next = buffer.indexOf(STX, p);
            const qsizetype stop = next < 0 ? buffer.size() : next;
            camera()->countBadFrame(QStringLiteral("%1 stray bytes").arg(stop - p));
            p = stop;
            continue;
        }
        const qsizetype end = buffer.indexOf(ETX, p + 1);
        if (end < 0) {
            if (buffer.size() - p > MaxEscapedLength) {
                camera()->countBadFrame(QStringLiteral("frame without ETX"));
                ++p;
                continue;
            }
            break; // wait for the rest of the frame
        }
        QByteArray frame(1, STX);
        bool damaged = false;
        for (qsizetype i = p + 1; i < end; ++i) {
            char c = buffer.at(i);
            if (c == ESC) {
                if (i + 1 >= end) {
                    damaged = true;
                    break;
                }
                c = static_cast<char>(buffer.at(++i) & 0x7F);
            } else if (needsEscape(c)) {
                damaged = true;
            }
            frame += c;
        }
        frame += ETX;
        p = end + 1;
        apply(damaged ? QByteArray() : frame, socket);
    }
    buffer.remove(0, p);
}

void GeminEyeServer::apply(const QByteArray &frame, QTcpSocket *socket)
{
    const QString hex = QString::fromLatin1(frame.toHex(' '));
    quint8 check = 0;
    for (qsizetype i = 1; i <= 9 && i < frame.size(); ++i)
        check ^= static_cast<quint8>(frame.at(i));
    const quint8 address = static_cast<quint8>(camera()->setup().serialId);
    if (frame.size() != FrameLength || frame.at(2) != 0x31 || check != static_cast<quint8>(frame.at(10))) {
        camera()->countBadFrame(QStringLiteral("damaged frame %1").arg(hex));
        socket->write(QByteArray(1, NAK) + escape(QByteArray(1, static_cast<char>(address))) + ETX);
        return;
    }
    if (static_cast<quint8>(frame.at(1)) != address) {
        camera()->countCommand(QStringLiteral("other-address"), hex);
        return;
    }
    const auto u = [&frame](int i) { return static_cast<quint8>(frame.at(i)); };
    const quint8 flags = u(3);
    if (flags & 0x02) {
        camera()->head().stop();
        camera()->countCommand(QStringLiteral("stop"), hex);
    } else {
        const double pan = u(4) / 255.0 * ((flags & 0x80) ? 1 : -1);
        const double tilt = u(5) / 255.0 * ((flags & 0x40) ? 1 : -1);
        const quint8 zoomByte = u(camera()->setup().cameraNumber == 2 ? 8 : 6);
        const double zoom = (zoomByte >> 1) / 127.0 * ((zoomByte & 0x01) ? -1 : 1);
        camera()->head().setPanTiltSpeed(pan, tilt);
        camera()->head().setZoomSpeed(zoom);
        camera()->countCommand(QStringLiteral("move"), hex);
    }
    // ACK, the address, the command echoed and a status byte, then the checksum.
    QByteArray inner;
    inner += static_cast<char>(address);
    inner += static_cast<char>(0x31);
    inner += static_cast<char>(0x00);
    inner += static_cast<char>(address ^ 0x31);
    socket->write(QByteArray(1, ACK) + escape(inner) + ETX);
}
