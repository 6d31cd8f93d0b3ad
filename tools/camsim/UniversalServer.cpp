#include "camsim/UniversalServer.h"

#include "camsim/SimCamera.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// A signed decimal in -1..1, as the envelopes carry rates.
bool rate(const QString &text, double *value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok && std::isfinite(*value) && std::fabs(*value) <= 1.0;
}

} // namespace

void UniversalServer::parse(QByteArray &buffer, QTcpSocket *)
{
    qsizetype cr = 0;
    while ((cr = buffer.indexOf('\r')) >= 0) {
        apply(buffer.left(cr));
        buffer.remove(0, cr + 1);
    }
}

void UniversalServer::apply(const QByteArray &bytes)
{
    const QString message = QString::fromLatin1(bytes);
    static const QRegularExpression envelope(
        QStringLiteral("^<ENV><HDR><TO>(.*)</TO><FROM>[^<]*</FROM></HDR>(.*)</ENV>$"));
    static const QRegularExpression command(QStringLiteral("^<CMD NAME=\"([A-Z]+)\" VALUE=\"\">(.*)</CMD>$"));
    static const QRegularExpression attribute(QStringLiteral("\\s([A-Z]+)=\"([^\"]*)\""));
    const QRegularExpressionMatch env = envelope.match(message);
    if (!env.hasMatch()) {
        camera()->countBadFrame(QStringLiteral("not an envelope: %1").arg(message.left(200)));
        return;
    }
    if (env.captured(1) == QLatin1StringView("SYSTEM") && env.captured(2).isEmpty()) {
        camera()->countCommand(QStringLiteral("SYSTEM"), message);
        return;
    }
    const QRegularExpressionMatch cmd = command.match(env.captured(2));
    if (!cmd.hasMatch()) {
        camera()->countBadFrame(QStringLiteral("no command in %1").arg(message.left(200)));
        return;
    }
    QMap<QString, QString> attrs;
    for (auto it = attribute.globalMatch(cmd.captured(2)); it.hasNext();) {
        const QRegularExpressionMatch a = it.next();
        attrs.insert(a.captured(1), a.captured(2));
    }
    const QString name = cmd.captured(1);
    double az = 0;
    double el = 0;
    double z = 0;
    if (name == QLatin1StringView("JOG") && rate(attrs.value(QStringLiteral("AZ")), &az)
        && rate(attrs.value(QStringLiteral("EL")), &el)) {
        camera()->head().setPanTiltSpeed(az, el);
    } else if (name == QLatin1StringView("JOGCAM") && rate(attrs.value(QStringLiteral("Z")), &z)) {
        camera()->head().setZoomSpeed(z);
    } else if (name == QLatin1StringView("STOP")) {
        camera()->head().stop();
    } else {
        camera()->countBadFrame(QStringLiteral("bad command %1").arg(message.left(200)));
        return;
    }
    camera()->countCommand(name, message);
}
