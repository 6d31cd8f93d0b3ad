// Throughput figures for the video path: the multipart splitter alone, and whole
// HTTP readers against a loopback server sending 640x480 JPEG parts as fast as
// they are read.

#include "util/WorkerThread.h"
#include "video/FrameConsumer.h"
#include "video/MJPEGStreamReader.h"
#include "video/MultipartSplitter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QThread>

#include <atomic>
#include <ctime>
#include <pthread.h>

namespace {

constexpr int Width = 640;
constexpr int Height = 480;
constexpr qint64 ServerBacklog = 512 * 1024;

// A camera-like picture: gradients and noise, so the JPEG has a realistic size.
QByteArray cameraJpeg(int seed)
{
    QImage image(Width, Height, QImage::Format_RGB32);
    QRandomGenerator random(static_cast<quint32>(seed));
    for (int y = 0; y < Height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const int noise = static_cast<int>(random.bounded(24));
            line[x] = qRgb((x / 3 + noise) & 0xff, (y / 2 + noise) & 0xff, ((x + y) / 5 + seed * 20) & 0xff);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 75);
    return bytes;
}

QByteArray part(const QByteArray &jpeg, bool withLength)
{
    QByteArray out = "--vyobench\r\nContent-Type: image/jpeg\r\n";
    if (withLength)
        out += "Content-Length: " + QByteArray::number(jpeg.size()) + "\r\n";
    return out + "\r\n" + jpeg + "\r\n";
}

// Collects part bodies as the reader does.
class Collector final : public MultipartSplitter::Listener
{
public:
    bool partBegins() override
    {
        buffer.clear();
        return true;
    }
    bool partData(const char *data, qsizetype size) override
    {
        buffer.append(data, size);
        return true;
    }
    bool partEnds() override
    {
        ++parts;
        return true;
    }

    QByteArray buffer;
    qint64 parts = 0;
};

void splitterThroughput(QTextStream &out, const QList<QByteArray> &jpegs, bool withLength)
{
    QByteArray stream;
    for (int i = 0; i < 100; ++i)
        stream += part(jpegs.at(i % jpegs.size()), withLength);
    constexpr qsizetype Chunk = 64 * 1024;
    qint64 bytes = 0;
    qint64 parts = 0;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 2000) {
        Collector collector;
        collector.buffer.reserve(30000);
        MultipartSplitter splitter("vyobench", collector);
        for (qsizetype at = 0; at < stream.size(); at += Chunk)
            splitter.feed(stream.constData() + at, std::min(Chunk, stream.size() - at));
        bytes += stream.size();
        parts += collector.parts;
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    out << QStringLiteral("splitter, %1 Content-Length: %2 MB/s (%3 parts/s)\n")
               .arg(withLength ? QStringLiteral("with") : QStringLiteral("without"))
               .arg(static_cast<double>(bytes) / seconds / 1e6, 0, 'f', 1)
               .arg(static_cast<double>(parts) / seconds, 0, 'f', 0);
}

// Serves an endless multipart stream to every connection, topping up the socket
// whenever its send queue runs low.
class StreamServer final : public QObject
{
public:
    explicit StreamServer(const QList<QByteArray> &jpegs)
    {
        for (const QByteArray &jpeg : jpegs)
            m_parts.append(part(jpeg, true));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (socket->property("streaming").toBool() || !socket->readAll().contains("\r\n\r\n"))
                        return;
                    socket->setProperty("streaming", true);
                    socket->write("HTTP/1.0 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=vyobench\r\n\r\n");
                    topUp(socket);
                });
                connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket] { topUp(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    quint16 port() const { return m_server.serverPort(); }

private:
    void topUp(QTcpSocket *socket)
    {
        int next = socket->property("next").toInt();
        while (socket->bytesToWrite() < ServerBacklog) {
            socket->write(m_parts.at(next));
            next = (next + 1) % static_cast<int>(m_parts.size());
        }
        socket->setProperty("next", next);
    }

    QTcpServer m_server;
    QList<QByteArray> m_parts;
};

class CountingConsumer final : public FrameConsumer
{
public:
    void consumeFrame(const QImage &picture, const Value &, int) override
    {
        if (!picture.isNull() && picture.width() == Width)
            frames.fetch_add(1);
    }
    std::atomic<qint64> frames = 0;
};

double threadCpuSeconds(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// The CPU clock of the thread that runs objects living in home.
clockid_t cpuClockOf(QObject *home)
{
    clockid_t id{};
    QMetaObject::invokeMethod(home, [&id] { pthread_getcpuclockid(pthread_self(), &id); },
                              Qt::BlockingQueuedConnection);
    return id;
}

void endToEnd(QTextStream &out, quint16 port, clockid_t serverClock, int readers)
{
    WorkerThread worker;
    worker.start();
    // Splitting and decoding run on the worker; the network manager adds threads of its
    // own, so the readers' whole cost is the process's CPU time less the server's.
    QObject workerHome;
    workerHome.moveToThread(&worker);
    const clockid_t workerClock = cpuClockOf(&workerHome);

    auto consumer = std::make_shared<CountingConsumer>();
    std::vector<std::unique_ptr<MJPEGStreamReader>> list;
    for (int i = 0; i < readers; ++i) {
        auto reader = std::make_unique<MJPEGStreamReader>(&worker);
        reader->setConnectionParameters(Value::dictionary(),
                                        QUrl(QStringLiteral("http://127.0.0.1:%1/video%2").arg(port).arg(i)));
        reader->addConsumer(consumer);
        reader->start();
        list.push_back(std::move(reader));
    }
    QElapsedTimer warmUp;
    warmUp.start();
    while (warmUp.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    const qint64 framesBefore = consumer->frames;
    const double workerBefore = threadCpuSeconds(workerClock);
    const double processBefore = threadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - threadCpuSeconds(serverClock);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const double workerCpu = threadCpuSeconds(workerClock) - workerBefore;
    const double readerCpu = threadCpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - threadCpuSeconds(serverClock) - processBefore;
    const qint64 frames = consumer->frames - framesBefore;

    const double perFrame = frames > 0 ? 1000.0 / static_cast<double>(frames) : 0.0;
    out << QStringLiteral("%1 reader(s): %2 frames/s in all, %3 per reader; CPU per frame %4 ms "
                          "(%5 ms on the worker thread)\n")
               .arg(readers)
               .arg(static_cast<double>(frames) / seconds, 0, 'f', 1)
               .arg(static_cast<double>(frames) / seconds / readers, 0, 'f', 1)
               .arg(readerCpu * perFrame, 0, 'f', 2)
               .arg(workerCpu * perFrame, 0, 'f', 2);
    out.flush();
    for (auto &reader : list)
        reader->stop();
    list.clear();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    QList<QByteArray> jpegs;
    for (int i = 0; i < 8; ++i)
        jpegs.append(cameraJpeg(i));
    qint64 total = 0;
    for (const QByteArray &jpeg : jpegs)
        total += jpeg.size();
    out << QStringLiteral("frames: %1x%2 JPEG, %3 bytes on average\n").arg(Width).arg(Height).arg(total / jpegs.size());

    splitterThroughput(out, jpegs, true);
    splitterThroughput(out, jpegs, false);
    out.flush();

    // The server has a thread of its own, so that its work is not counted as the readers'.
    QThread serverThread;
    serverThread.start();
    QObject serverHome;
    serverHome.moveToThread(&serverThread);
    StreamServer *server = nullptr;
    QMetaObject::invokeMethod(&serverHome, [&] { server = new StreamServer(jpegs); }, Qt::BlockingQueuedConnection);
    const quint16 port = server->port();
    const clockid_t serverClock = cpuClockOf(&serverHome);

    endToEnd(out, port, serverClock, 1);
    endToEnd(out, port, serverClock, 6);

    QMetaObject::invokeMethod(&serverHome, [server] { delete server; }, Qt::BlockingQueuedConnection);
    serverThread.quit();
    serverThread.wait();
    return 0;
}
