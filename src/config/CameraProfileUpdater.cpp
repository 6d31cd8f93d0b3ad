#include "config/CameraProfileUpdater.h"

#include "config/LogMask.h"
#include "util/QelLog.h"

#include <QUrl>

namespace {

const QString AxisVideoPath = QStringLiteral("/axis-cgi/mjpg/video.cgi");

// The user name and password of an old URL go into their own keys, unless the
// definition already has its own.
void carryCredentials(Value &parameters, const QUrl &url, const QString &prefix)
{
    const QString user = prefix + QStringLiteral("username");
    const QString password = prefix + QStringLiteral("password");
    if (!parameters.hasText(user) && !url.userName().isEmpty())
        parameters.insert(user, url.userName(QUrl::FullyDecoded));
    if (!parameters.hasText(password) && !url.password().isEmpty())
        parameters.insert(password, url.password(QUrl::FullyDecoded));
}

void convertVideoUrl(Value &video, const Value &control)
{
    const QString text = video.value(QStringLiteral("video.url")).toString();
    const QUrl url(text, QUrl::StrictMode);
    QEL_LOG(LogLevel::Debug, QStringLiteral("Video URL: %1").arg(LogMask::text(text)));
    if (url.isValid() && !text.isEmpty()) {
        carryCredentials(video, url, QStringLiteral("video."));
        if (url.scheme() == QLatin1StringView("https"))
            video.insert(QStringLiteral("video.ssl"), QStringLiteral("y"));
        if (!url.host().isEmpty())
            video.insert(QStringLiteral("video.host"), url.host());
        if (url.port() >= 0)
            video.insert(QStringLiteral("video.port"), QString::number(url.port()));
        // Kept encoded so that the path parses again when the stream URL is composed.
        const QString path = url.path(QUrl::FullyEncoded);
        if (!path.isEmpty()) {
            if (path == AxisVideoPath) {
                video.insert(QStringLiteral("video.path"), path);
                if (url.hasQuery()) {
                    const QStringList pairs = url.query(QUrl::FullyEncoded).split(QLatin1Char('&'));
                    for (const QString &pair : pairs) {
                        const qsizetype eq = pair.indexOf(QLatin1Char('='));
                        // A bare "camera" carries no number; it leaves the key alone.
                        if (eq > 0 && pair.left(eq) == QLatin1StringView("camera"))
                            video.insert(QStringLiteral("video.camera_number"), pair.mid(eq + 1));
                    }
                }
                const bool axisControl = !control.isNull()
                    && control.value(QStringLiteral("control.protocol")).toString()
                        == QLatin1StringView("Axis PTZ");
                bool single = false;
                if (url.hasQuery())
                    single = video.value(QStringLiteral("video.camera_number")).toInteger() <= 1
                        && axisControl;
                else
                    single = control.isNull() || axisControl;
                video.insert(QStringLiteral("video.type"),
                             single ? QStringLiteral("AXISMJPEG") : QStringLiteral("AXISSERVERMJPEG"));
            } else {
                video.insert(QStringLiteral("video.type"), QStringLiteral("GENMJPEG"));
                QString full = path;
                if (url.hasQuery())
                    full += QLatin1Char('?') + url.query(QUrl::FullyEncoded);
                video.insert(QStringLiteral("video.path"), full);
            }
        }
    }
    video.remove(QStringLiteral("video.url"));
}

void convertControlUrl(Value &control)
{
    QString text = control.value(QStringLiteral("control.url")).toString();
    if (!text.startsWith(QLatin1StringView("http")))
        text.prepend(QLatin1StringView("http://"));
    const QUrl url(text, QUrl::StrictMode);
    QEL_LOG(LogLevel::Debug, QStringLiteral("Control URL: %1").arg(LogMask::text(text)));
    if (url.isValid()) {
        carryCredentials(control, url, QStringLiteral("control."));
        if (!url.host().isEmpty())
            control.insert(QStringLiteral("control.host"), url.host());
        if (url.port() >= 0)
            control.insert(QStringLiteral("control.port"), QString::number(url.port()));
    }
    control.remove(QStringLiteral("control.url"));
}

} // namespace

Value CameraProfileUpdater::convertCameraDefinition(Value camera)
{
    Value video = camera.value(QStringLiteral("video.parameters"));
    Value control = camera.value(QStringLiteral("control.parameters"));
    QEL_LOG(LogLevel::Debug, QStringLiteral("Camera title: %1").arg(camera.value(QStringLiteral("title")).toString()));

    const Value version = camera.value(QStringLiteral("definition_version"));
    if (!version.isNull() && version.toInteger() >= CurrentDefinitionVersion) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("camera definition is current"));
        return camera;
    }

    if (video.isDictionary()) {
        if (video.contains(QStringLiteral("video.url")))
            convertVideoUrl(video, control.isDictionary() ? control : Value());
        if (!video.hasText(QStringLiteral("video.fps")))
            video.insert(QStringLiteral("video.fps"), QStringLiteral("10"));
    }
    if (control.isDictionary() && control.contains(QStringLiteral("control.url")))
        convertControlUrl(control);

    QEL_LOG(LogLevel::Debug, QStringLiteral("camera definition is not current, setting version to %1")
                   .arg(CurrentDefinitionVersion));
    camera.insert(QStringLiteral("definition_version"),
                         QString::number(CurrentDefinitionVersion));
    return camera;
}

Value CameraProfileUpdater::convertGroupDefinition(const Value &group)
{
    QEL_LOG(LogLevel::Debug, QStringLiteral("\n\nBulk Data from URL group load: %1\n\n").arg(LogMask::definition(group)));
    for (const Value &camera : group.value(QStringLiteral("cameras")).items())
        convertCameraDefinition(camera);
    QEL_LOG(LogLevel::Debug, QStringLiteral("\n\nBulk Data from URL group load AFTER update: %1\n\n")
                   .arg(LogMask::definition(group)));
    return group;
}

Value CameraProfileUpdater::loadFilter(const Value &groups)
{
    QEL_LOG(LogLevel::Debug, QStringLiteral("Bulk Data from startup load: %1").arg(LogMask::definition(groups)));
    for (const Value &group : groups.items()) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("Group: %1").arg(group.value(QStringLiteral("name")).toString()));
        for (const Value &camera : group.value(QStringLiteral("cameras")).items())
            convertCameraDefinition(camera);
    }
    QEL_LOG(LogLevel::Debug, QStringLiteral("Bulk Data from startup load AFTER update: %1").arg(LogMask::definition(groups)));
    return groups;
}
