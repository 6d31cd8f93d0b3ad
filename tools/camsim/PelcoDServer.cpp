#include "camsim/PelcoDServer.h"

#include "camsim/SimCamera.h"

#include <QTcpSocket>

void PelcoDServer::parse(QByteArray &buffer, QTcpSocket *socket)
{
    const auto byte = [&buffer](qsizetype i) { return static_cast<quint8>(buffer.at(i)); };
    // Skips to the next sync byte after a damaged frame or stray bytes; one count each.
    const auto resync = [&buffer](qsizetype from) {
        const qsizetype next = buffer.indexOf('\xff', from);
        return next < 0 ? buffer.size() : next;
    };
    qsizetype p = 0;
    while (buffer.size() - p >= 7) {
        if (byte(p) != 0xFF) {
            const qsizetype next = resync(p);
            camera()->countBadFrame(QStringLiteral("%1 stray bytes").arg(next - p));
            p = next;
            continue;
        }
        quint8 sum = 0;
        for (qsizetype i = 1; i <= 5; ++i)
            sum = static_cast<quint8>(sum + byte(p + i));
        const QByteArray frame = buffer.mid(p, 7);
        if (sum != byte(p + 6)) {
            camera()->countBadFrame(QStringLiteral("bad checksum in %1").arg(QString::fromLatin1(frame.toHex(' '))));
            p = resync(p + 1);
            continue;
        }
        p += 7;
        const quint8 address = static_cast<quint8>(frame.at(1));
        if (address != static_cast<quint8>(camera()->setup().serialId)) {
            camera()->countCommand(QStringLiteral("other-address"), QString::fromLatin1(frame.toHex(' ')));
            continue;
        }
        const quint8 cmd1 = static_cast<quint8>(frame.at(2));
        const quint8 cmd2 = static_cast<quint8>(frame.at(3));
        const auto speed = [](quint8 s, double top) { return s >= 0x40 ? 1.0 : s / top; };
        const double panSpeed = speed(static_cast<quint8>(frame.at(4)), 63.0);
        const double tiltSpeed = speed(static_cast<quint8>(frame.at(5)), 63.0);
        double pan = 0;
        double tilt = 0;
        double zoom = 0;
        if (cmd2 & 0x02)
            pan = panSpeed;
        else if (cmd2 & 0x04)
            pan = -panSpeed;
        if (cmd2 & 0x08)
            tilt = tiltSpeed;
        else if (cmd2 & 0x10)
            tilt = -tiltSpeed;
        if (cmd2 & 0x20)
            zoom = 0.5;
        else if (cmd2 & 0x40)
            zoom = -0.5;
        camera()->head().setPanTiltSpeed(pan, tilt);
        camera()->head().setZoomSpeed(zoom);
        const bool stop = cmd1 == 0 && cmd2 == 0 && frame.at(4) == 0 && frame.at(5) == 0;
        camera()->countCommand(stop ? QStringLiteral("stop") : QStringLiteral("move"),
                               QString::fromLatin1(frame.toHex(' ')));
        // The general response: sync, address, alarms, checksum.
        const char reply[4] = { static_cast<char>(0xFF), static_cast<char>(address), 0, static_cast<char>(address) };
        socket->write(reply, 4);
    }
    buffer.remove(0, p);
}
