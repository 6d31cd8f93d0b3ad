// GLib's headers name struct members "signals": they go before Qt's, which define it.
#include <gst/gst.h>
#include <gst/rtsp-server/rtsp-server.h>

#include "camsim/RtspCameraServer.h"

#include "camsim/Scene.h"
#include "camsim/SimCamera.h"

#include <QMutex>
#include <QRandomGenerator>

#include <cmath>

// What one mount point needs while a media plays it. GStreamer configures and
// unprepares the media on threads of its own: the source is guarded.
struct RtspCameraServer::Stream
{
    QSize size;
    double udpLoss = 0;
    QMutex mutex;
    GstElement *source = nullptr;
    QElapsedTimer playing;

    // The source with a reference of the caller's; null when there is none or the
    // stream has stalled, stallAfter seconds after it began (never when 0).
    GstElement *takeSource(double stallAfter)
    {
        const QMutexLocker lock(&mutex);
        if (!source || (stallAfter > 0 && playing.elapsed() > stallAfter * 1000))
            return nullptr;
        return GST_ELEMENT(gst_object_ref(source));
    }
    void setSource(GstElement *element)
    {
        const QMutexLocker lock(&mutex);
        if (source)
            gst_object_unref(source);
        source = element;
        playing.start();
    }
};

namespace {

const char Role[] = "viewer";

GstPadProbeReturn dropSome(GstPad *, GstPadProbeInfo *, gpointer data)
{
    const auto *stream = static_cast<const RtspCameraServer::Stream *>(data);
    return QRandomGenerator::global()->generateDouble() < stream->udpLoss ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

void mediaUnprepared(GstRTSPMedia *, gpointer data)
{
    static_cast<RtspCameraServer::Stream *>(data)->setSource(nullptr);
}

void mediaConfigure(GstRTSPMediaFactory *, GstRTSPMedia *media, gpointer data)
{
    auto *stream = static_cast<RtspCameraServer::Stream *>(data);
    GstElement *bin = gst_rtsp_media_get_element(media);
    stream->setSource(gst_bin_get_by_name_recurse_up(GST_BIN(bin), "src"));
    if (stream->udpLoss > 0) {
        if (GstElement *payloader = gst_bin_get_by_name_recurse_up(GST_BIN(bin), "pay0")) {
            GstPad *pad = gst_element_get_static_pad(payloader, "src");
            gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, dropSome, stream, nullptr);
            gst_object_unref(pad);
            gst_object_unref(payloader);
        }
    }
    gst_object_unref(bin);
    g_signal_connect(media, "unprepared", G_CALLBACK(mediaUnprepared), stream);
}

GstRTSPFilterResult removeClient(GstRTSPServer *, GstRTSPClient *, gpointer)
{
    return GST_RTSP_FILTER_REMOVE;
}
} // namespace

RtspCameraServer::RtspCameraServer(SimCamera *camera, const Scene &scene, QObject *parent)
    : QObject(parent)
    , m_camera(camera)
    , m_scene(scene)
    , m_server(gst_rtsp_server_new())
{
    const CameraSetup &setup = camera->setup();
    if (!setup.user.isEmpty()) {
        GstRTSPAuth *auth = gst_rtsp_auth_new();
        GstRTSPToken *token =
            gst_rtsp_token_new(GST_RTSP_TOKEN_MEDIA_FACTORY_ROLE, G_TYPE_STRING, Role, static_cast<char *>(nullptr));
        const QByteArray user = setup.user.toUtf8();
        const QByteArray password = setup.password.toUtf8();
        if (setup.auth == QLatin1StringView("digest")) {
            gst_rtsp_auth_add_digest(auth, user.constData(), password.constData(), token);
            gst_rtsp_auth_set_supported_methods(auth, GST_RTSP_AUTH_DIGEST);
        } else {
            gchar *basic = gst_rtsp_auth_make_basic(user.constData(), password.constData());
            gst_rtsp_auth_add_basic(auth, basic, token);
            g_free(basic);
        }
        gst_rtsp_token_unref(token);
        gst_rtsp_server_set_auth(m_server, auth);
        g_object_unref(auth);
    }
    addStream(setup.path, setup.resolution);
    if (!setup.subPath.isEmpty())
        addStream(setup.subPath, setup.subResolution);
    connect(&m_frameTimer, &QTimer::timeout, this, &RtspCameraServer::pushFrames);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.start(static_cast<int>(std::lround(1000.0 / setup.fps)));
}

RtspCameraServer::~RtspCameraServer()
{
    if (m_source)
        g_source_remove(m_source);
    gst_rtsp_server_client_filter(m_server, removeClient, nullptr);
    g_object_unref(m_server);
    for (const auto &stream : m_streams)
        stream->setSource(nullptr);
}

void RtspCameraServer::addStream(const QString &path, QSize size)
{
    const CameraSetup &setup = m_camera->setup();
    auto stream = std::make_unique<Stream>();
    stream->size = size;
    stream->udpLoss = setup.udpLoss;
    const bool h265 = setup.codec == QLatin1StringView("h265");
    const int fps = std::max(1, static_cast<int>(std::lround(setup.fps)));
    // A key frame every second: a viewer joining the shared stream waits no longer.
    const QString launch =
        QStringLiteral("( appsrc name=src is-live=true format=time do-timestamp=true "
                       "caps=video/x-raw,format=BGRx,width=%1,height=%2,framerate=%3/1 ! videoconvert ! video/x-raw,format=I420 ! "
                       "%4 tune=zerolatency speed-preset=ultrafast key-int-max=%3 ! %5 name=pay0 pt=96 "
                       "config-interval=1 )")
            .arg(size.width())
            .arg(size.height())
            .arg(fps)
            .arg(h265 ? QStringLiteral("x265enc") : QStringLiteral("x264enc"),
                 h265 ? QStringLiteral("rtph265pay") : QStringLiteral("rtph264pay"));
    GstRTSPMediaFactory *factory = gst_rtsp_media_factory_new();
    gst_rtsp_media_factory_set_launch(factory, launch.toUtf8().constData());
    gst_rtsp_media_factory_set_shared(factory, TRUE);
    if (!setup.user.isEmpty()) {
        gst_rtsp_media_factory_add_role(factory, Role, GST_RTSP_PERM_MEDIA_FACTORY_ACCESS, G_TYPE_BOOLEAN, TRUE,
                                        GST_RTSP_PERM_MEDIA_FACTORY_CONSTRUCT, G_TYPE_BOOLEAN, TRUE,
                                        static_cast<char *>(nullptr));
    }
    g_signal_connect(factory, "media-configure", G_CALLBACK(mediaConfigure), stream.get());
    GstRTSPMountPoints *mounts = gst_rtsp_server_get_mount_points(m_server);
    gst_rtsp_mount_points_add_factory(mounts, path.toUtf8().constData(), factory);
    g_object_unref(mounts);
    m_streams.push_back(std::move(stream));
}

bool RtspCameraServer::listen(const QHostAddress &address, quint16 port)
{
    gst_rtsp_server_set_address(m_server, address.toString().toUtf8().constData());
    gst_rtsp_server_set_service(m_server, QByteArray::number(port).constData());
    m_source = gst_rtsp_server_attach(m_server, nullptr);
    if (!m_source)
        return false;
    const auto bound = static_cast<quint16>(gst_rtsp_server_get_bound_port(m_server));
    // An ONVIF camera's own port is that of its SOAP services.
    CameraSetup &setup = m_camera->setup();
    (setup.family == QLatin1StringView("onvif") ? setup.rtspPort : setup.port) = bound;
    return true;
}

void RtspCameraServer::pushFrames()
{
    const CameraSetup &setup = m_camera->setup();
    Head &head = m_camera->head();
    for (const auto &stream : m_streams) {
        GstElement *source = stream->takeSource(setup.stallAfter);
        if (!source)
            continue;
        const Scene::Overlay overlay{ setup.name, m_camera->nextFrameNumber(), head.pan(), head.tilt(), head.zoom() };
        const QImage picture = m_scene.render(head.pan(), head.tilt(), head.fieldOfView(), stream->size, overlay);
        // Format_RGB32 is BGRx in memory, and its lines have no padding.
        const gsize size = static_cast<gsize>(picture.sizeInBytes());
        GstBuffer *buffer = gst_buffer_new_allocate(nullptr, size, nullptr);
        gst_buffer_fill(buffer, 0, picture.constBits(), size);
        GstFlowReturn result = GST_FLOW_OK;
        g_signal_emit_by_name(source, "push-buffer", buffer, &result);
        gst_buffer_unref(buffer);
        gst_object_unref(source);
    }
}
