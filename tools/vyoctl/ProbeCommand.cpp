// vyoctl probe: fetch frames from one camera through the viewer's own reader.

#include "vyoctl/Command.h"

#include "config/LogMask.h"
#include "onvif/OnvifResolver.h"
#include "platform/Clock.h"
#include "util/WorkerThread.h"
#include "video/FrameConsumer.h"
#include "video/FrameProducer.h"
#include "video/MJPEGStreamReader.h"
#include "video/OnvifStreamReader.h"
#include "video/OnvifVideoProfile.h"
#include "video/RTSPStreamReader.h"
#include "video/RTSPVideoProfile.h"
#include "video/VideoStreamFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QTextStream>
#include <QTimer>

namespace vyoctl {

namespace {

// Hands each frame from the worker thread to the probe on the main thread.
class ProbeConsumer final : public FrameConsumer
{
public:
    using Receiver = std::function<void(const QImage &picture, int bytes)>;

    explicit ProbeConsumer(QObject *context, Receiver receiver)
        : m_context(context)
        , m_receiver(std::move(receiver))
    {
    }

    void consumeFrame(const QImage &picture, const Value &, int bytes) override
    {
        QMetaObject::invokeMethod(m_context, [receiver = m_receiver, picture, bytes] { receiver(picture, bytes); },
                                  Qt::QueuedConnection);
    }

private:
    QObject *m_context;
    Receiver m_receiver;
};

struct ProbeOptions
{
    Value params = Value::dictionary();
    bool thumbnail = false;
    int frames = 5;
    double timeout = 10.0;
    QString saveDir;
};

const char *const ValueOptions[][3] = {
    { "type", "Video type: GENMJPEG, AXISMJPEG, AXISSERVERMJPEG, MILESTONEMJPEG, RTSP or ONVIF.", "type" },
    { "host", "Camera or server address.", "host" },
    { "port", "Port (default 80).", "n" },
    { "path", "Path and query of a generic or RTSP camera's stream, beginning with /.", "path" },
    { "grid-path", "Path of an RTSP camera's grid stream (with --thumbnail).", "path" },
    { "transport", "RTSP transport: Automatic, TCP or UDP.", "transport" },
    { "user", "User name.", "name" },
    { "password", "Password.", "password" },
    { "main-profile", "Token of the ONVIF media profile to play as the main stream.", "token" },
    { "grid-profile", "Token of the ONVIF media profile to play as the grid stream.", "token" },
    { "camera-number", "Camera input of a video server.", "n" },
    { "camera-name", "Camera name on a Milestone server.", "name" },
    { "resolution", "Resolution, WxH.", "WxH" },
    { "fps", "Frames per second asked for.", "n" },
    { "compression", "Compression asked for.", "n" },
    { "frames", "Frames to wait for (default 5).", "n" },
    { "timeout", "Seconds to wait for them (default 10).", "seconds" },
    { "save", "Write the frames as JPEG files into this directory.", "dir" },
};

bool positiveNumber(const QString &text, int max, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok && *value >= 1 && *value <= max;
}

// The definition keys each option fills.
const char *const ParameterKeys[][2] = {
    { "host", "video.host" },           { "port", "video.port" },
    { "path", "video.path" },           { "user", "video.username" },
    { "grid-path", "video.grid_path" }, { "transport", "video.transport" },
    { "password", "video.password" },   { "camera-number", "video.camera_number" },
    { "camera-name", "video.camera_name" }, { "resolution", "video.resolution" },
    { "fps", "video.fps" },             { "compression", "video.compression" },
    { "main-profile", "video.main_profile" }, { "grid-profile", "video.grid_profile" },
};

QString readOptions(const QCommandLineParser &parser, ProbeOptions *options)
{
    const QString type = parser.value(QStringLiteral("type")).toUpper();
    if (type.isEmpty() || !parser.isSet(QStringLiteral("host")))
        return QStringLiteral("probe needs --type and --host");
    options->params.insert(QStringLiteral("video.type"), type);
    for (const auto &entry : ParameterKeys) {
        const QString option = QString::fromLatin1(entry[0]);
        if (!parser.value(option).isEmpty())
            options->params.insert(QString::fromLatin1(entry[1]), parser.value(option));
    }
    int number = 0;
    if (parser.isSet(QStringLiteral("port")) && !positiveNumber(parser.value(QStringLiteral("port")), 65535, &number))
        return QStringLiteral("--port takes a number from 1 to 65535");
    if (parser.isSet(QStringLiteral("vapix")))
        options->params.insert(QStringLiteral("video.vapix"), QStringLiteral("y"));
    options->thumbnail = parser.isSet(QStringLiteral("thumbnail"));
    if (parser.isSet(QStringLiteral("frames"))) {
        if (!positiveNumber(parser.value(QStringLiteral("frames")), 100000, &options->frames))
            return QStringLiteral("--frames takes a positive number");
    }
    if (parser.isSet(QStringLiteral("timeout"))) {
        bool ok = false;
        options->timeout = parser.value(QStringLiteral("timeout")).toDouble(&ok);
        if (!ok || options->timeout <= 0 || options->timeout > 86400)
            return QStringLiteral("--timeout takes a number of seconds above 0");
    }
    options->saveDir = parser.value(QStringLiteral("save"));
    if (!options->saveDir.isEmpty() && !QDir().mkpath(options->saveDir))
        return QStringLiteral("cannot create %1").arg(options->saveDir);
    return {};
}

// Asks an ONVIF device for its profiles and stream addresses, prints them and keeps
// them in the parameters, as saving in the editor does. Ok, or the exit code.
int resolveOnvif(Value &params, QTextStream &out)
{
    const QUrl device = OnvifVideoProfile::deviceService(params);
    if (device.isEmpty())
        return fail(BadInput, QStringLiteral("--host and --port make no device address"));
    OnvifResolver resolver(Clock::system());
    int code = Ok;
    QObject::connect(&resolver, &OnvifResolver::resolved, &resolver, [&](const OnvifDeviceInfo &info) {
        out << QStringLiteral("device: %1, clock offset %2 s")
                   .arg(LogMask::url(info.deviceService))
                   .arg(double(info.clockOffsetMs) / 1000.0, 0, 'f', 1)
            << Qt::endl;
        out << "media: " << LogMask::url(info.usesMedia2() ? info.media2Service : info.mediaService)
            << (info.usesMedia2() ? " (Media2)" : "") << Qt::endl;
        if (!info.ptzService.isEmpty())
            out << "ptz: " << LogMask::url(info.ptzService) << Qt::endl;
        for (int i = 0; i < info.profiles.size(); ++i) {
            QStringList roles;
            if (i == info.mainIndex)
                roles << QStringLiteral("main");
            if (i == info.gridIndex)
                roles << QStringLiteral("grid");
            out << "profile " << info.profiles.at(i).token << ": " << info.profiles.at(i).summary()
                << (roles.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(roles.join(QLatin1Char(','))))
                << Qt::endl;
        }
        out << "main stream: " << LogMask::text(info.mainUri) << Qt::endl;
        out << "grid stream: " << LogMask::text(info.gridUri) << Qt::endl;
        out << "snapshot: " << (info.snapshotUri.isEmpty() ? QStringLiteral("none") : LogMask::text(info.snapshotUri))
            << Qt::endl;
        OnvifVideoProfile::storeResolution(params, info);
        QCoreApplication::exit(Ok);
    });
    QObject::connect(&resolver, &OnvifResolver::failed, &resolver, [&](SoapResult::Status status, const QString &reason) {
        code = status == SoapResult::Status::NotAuthorized
                   ? fail(Failure, QStringLiteral("the camera refused the user name or password"))
                   : fail(Failure, QStringLiteral("ONVIF: %1").arg(LogMask::text(reason)));
        QCoreApplication::exit(code);
    });
    resolver.resolve(device, params.value(QStringLiteral("video.username")).toString(),
                     params.value(QStringLiteral("video.password")).toString(),
                     params.value(OnvifVideoProfile::MainProfileKey).toString(),
                     params.value(OnvifVideoProfile::GridProfileKey).toString());
    QCoreApplication::exec();
    return code;
}

} // namespace

int runProbe(const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser,
                     QStringLiteral("Fetch frames from one camera as the viewer would, to check its settings."));
    parser.addPositionalArgument(QStringLiteral("probe"), QStringLiteral("The command."));
    for (const auto &option : ValueOptions) {
        parser.addOption({ QString::fromLatin1(option[0]), QString::fromLatin1(option[1]),
                           QString::fromLatin1(option[2]) });
    }
    parser.addOption({ QStringLiteral("vapix"), QStringLiteral("The generic camera understands Axis parameters.") });
    parser.addOption({ QStringLiteral("thumbnail"), QStringLiteral("Ask for the thumbnail stream.") });
    int exitCode = Ok;
    if (!parseCommon(parser, arguments, &exitCode))
        return exitCode;

    ProbeOptions options;
    const QString problem = readOptions(parser, &options);
    if (!problem.isEmpty())
        return fail(BadInput, problem);

    QTextStream out(stdout);
    if (options.params.value(QStringLiteral("video.type")).toString() == OnvifVideoProfile::Type) {
        if (const int code = resolveOnvif(options.params, out); code != Ok)
            return code;
    }

    WorkerThread thread;
    thread.start();
    std::unique_ptr<FrameProducer> reader = VideoStreamFactory::createStream(options.params, options.thumbnail, &thread);
    if (!reader)
        return fail(BadInput, QStringLiteral("no stream for type %1").arg(options.params.value(QStringLiteral("video.type")).toString()));

    out << "request: " << reader->requestDescription() << Qt::endl;
    if (auto *http = qobject_cast<MJPEGStreamReader *>(reader.get()); http && http->url().isEmpty())
        return fail(BadInput, QStringLiteral("these parameters do not make a valid stream URL"));
    const auto printDecoding = [&out](const QString &codec, QSize size, bool hardware) {
        out << QStringLiteral("stream: %1, %2x%3, %4 decoding")
                   .arg(codec)
                   .arg(size.width())
                   .arg(size.height())
                   .arg(hardware ? QStringLiteral("hardware (VA-API)") : QStringLiteral("software"))
            << Qt::endl;
    };
    if (auto *rtsp = qobject_cast<RTSPStreamReader *>(reader.get())) {
        if (RTSPVideoProfile::streamURL(options.params, options.thumbnail).isEmpty())
            return fail(BadInput, QStringLiteral("these parameters do not make a valid stream URL"));
        QObject::connect(rtsp, &RTSPStreamReader::decoding, rtsp, printDecoding);
    }
    if (auto *onvif = qobject_cast<OnvifStreamReader *>(reader.get()))
        QObject::connect(onvif, &OnvifStreamReader::decoding, onvif, printDecoding);

    QStringList failures;
    QObject::connect(reader.get(), &FrameProducer::streamFailed, reader.get(), [&failures](const QString &reason) {
        if (!failures.contains(reason))
            failures.append(reason);
    });

    QElapsedTimer clock;
    int received = 0;
    qint64 totalBytes = 0;
    QObject context;
    auto consumer = std::make_shared<ProbeConsumer>(&context, [&](const QImage &picture, int bytes) {
        if (received >= options.frames)
            return;
        const double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
        // Only pictures count: a camera that sends anything else does not work.
        if (picture.isNull()) {
            out << QStringLiteral("part of %1 bytes: not a picture, %2 s").arg(bytes).arg(seconds, 0, 'f', 2) << Qt::endl;
            return;
        }
        ++received;
        totalBytes += bytes;
        out << QStringLiteral("frame %1: %2 bytes, %3x%4, %5 s")
                   .arg(received)
                   .arg(bytes)
                   .arg(picture.width())
                   .arg(picture.height())
                   .arg(seconds, 0, 'f', 2)
            << Qt::endl;
        if (!options.saveDir.isEmpty()) {
            const QString file = QDir(options.saveDir).filePath(QStringLiteral("frame-%1.jpg").arg(received, 4, 10, QLatin1Char('0')));
            if (!picture.save(file, "JPEG"))
                out << "could not write " << file << Qt::endl;
        }
        if (received == options.frames) {
            const double elapsed = std::max(seconds, 0.001);
            out << QStringLiteral("%1 frames in %2 s: %3 fps, %4 KB/s")
                       .arg(received)
                       .arg(elapsed, 0, 'f', 2)
                       .arg(received / elapsed, 0, 'f', 2)
                       .arg(static_cast<double>(totalBytes) / elapsed / 1000.0, 0, 'f', 1)
                << Qt::endl;
            QCoreApplication::exit(Ok);
        }
    });
    reader->addConsumer(consumer);

    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &context, [&] {
        out << QStringLiteral("timed out after %1 s with %2 of %3 frames").arg(options.timeout).arg(received).arg(options.frames)
            << Qt::endl;
        if (failures.isEmpty())
            failures.append(received > 0 ? QStringLiteral("too few frames") : QStringLiteral("no picture"));
        for (const QString &failure : std::as_const(failures))
            out << "failure: " << failure << Qt::endl;
        QCoreApplication::exit(Failure);
    });
    deadline.start(static_cast<int>(options.timeout * 1000.0));

    clock.start();
    reader->start();
    const int code = QCoreApplication::exec();
    reader->stop();
    reader.reset();
    return code;
}

} // namespace vyoctl
