#include "bench/Bench.h"

#include "util/WorkerThread.h"
#include "video/FrameConsumer.h"
#include "video/MJPEGStreamReader.h"
#include "video/MultipartSplitter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <turbojpeg.h>

#include <atomic>
#include <pthread.h>

namespace {

constexpr int Width = 640;
constexpr qint64 ServerBacklog = 512 * 1024;

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
        if (!buffer.isEmpty())
            ++parts;
        buffer.clear();
        return true;
    }
    bool partData(const char *data, qsizetype size) override
    {
        buffer.append(data, size);
        return true;
    }
    bool partEnds() override { return true; }

    QByteArray buffer;
    qint64 parts = 0;
};

QString splitterThroughput(const QList<QByteArray> &jpegs, bool withLength)
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
    return QStringLiteral("splitter, %1 Content-Length: %2 MB/s (%3 parts/s)")
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

// The CPU clock of the thread that runs objects living in home.
clockid_t cpuClockOf(QObject *home)
{
    clockid_t id{};
    QMetaObject::invokeMethod(home, [&id] { pthread_getcpuclockid(pthread_self(), &id); },
                              Qt::BlockingQueuedConnection);
    return id;
}

QString endToEnd(quint16 port, clockid_t serverClock, int readers)
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
    const double workerBefore = cpuSeconds(workerClock);
    const double processBefore = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuSeconds(serverClock);
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const double workerCpu = cpuSeconds(workerClock) - workerBefore;
    const double readerCpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuSeconds(serverClock) - processBefore;
    const qint64 frames = consumer->frames - framesBefore;

    const double perFrame = frames > 0 ? 1000.0 / static_cast<double>(frames) : 0.0;
    for (auto &reader : list)
        reader->stop();
    list.clear();
    return QStringLiteral("%1 reader(s) flooded: %2 frames/s decoded in all, %3 per reader; CPU per frame %4 ms "
                          "(%5 ms on the worker thread)")
        .arg(readers)
        .arg(static_cast<double>(frames) / seconds, 0, 'f', 1)
        .arg(static_cast<double>(frames) / seconds / readers, 0, 'f', 1)
        .arg(readerCpu * perFrame, 0, 'f', 2)
        .arg(workerCpu * perFrame, 0, 'f', 2);
}

} // namespace

QStringList readerThroughput()
{
    const QList<QByteArray> jpegs = cameraJpegs(QSize(640, 480), TJSAMP_420, 8);
    QStringList lines{ splitterThroughput(jpegs, true), splitterThroughput(jpegs, false) };

    // The server has a thread of its own, so that its work is not counted as the readers'.
    QThread serverThread;
    serverThread.start();
    QObject serverHome;
    serverHome.moveToThread(&serverThread);
    StreamServer *server = nullptr;
    QMetaObject::invokeMethod(&serverHome, [&] { server = new StreamServer(jpegs); }, Qt::BlockingQueuedConnection);
    const quint16 port = server->port();
    const clockid_t serverClock = cpuClockOf(&serverHome);

    lines << endToEnd(port, serverClock, 1) << endToEnd(port, serverClock, 6);

    QMetaObject::invokeMethod(&serverHome, [server] { delete server; }, Qt::BlockingQueuedConnection);
    serverThread.quit();
    serverThread.wait();
    return lines;
}
