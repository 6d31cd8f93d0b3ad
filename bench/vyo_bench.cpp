// Figures for the video path, the ones held against targets first: the viewer's
// grid against six bare ffmpeg decoders on the same streams at the same time, its
// peak memory, glass-to-glass latency read from vyo-camsim's time stamps in what
// the viewer paints, the single view's CPU per frame, for Motion-JPEG and for
// H.264 over RTSP; then decode costs and reader throughput. Progress goes to
// stderr, figures to stdout.

#include "bench/Bench.h"

#include "app/DemoProfile.h"
#include "config/DefaultSettings.h"
#include "config/GroupStore.h"
#include "config/PropertyList.h"
#include "platform/AtomicFile.h"
#include "platform/Preferences.h"

#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <unistd.h>

#include <memory>
#include <vector>

namespace {

constexpr int Streams = 6;

const QByteArray CameraConfig = R"({"cameras": [
  {"name": "Cam 1", "family": "generic", "path": "/video.mjpg", "resolution": "640x480", "fps": 30},
  {"name": "Cam 2", "family": "generic", "path": "/video.mjpg", "resolution": "640x480", "fps": 30},
  {"name": "Cam 3", "family": "generic", "path": "/video.mjpg", "resolution": "640x480", "fps": 30},
  {"name": "Cam 4", "family": "generic", "path": "/video.mjpg", "resolution": "640x480", "fps": 30},
  {"name": "Cam 5", "family": "generic", "path": "/video.mjpg", "resolution": "640x480", "fps": 30},
  {"name": "Cam 6", "family": "generic", "path": "/video.mjpg", "resolution": "640x480", "fps": 30},
  {"name": "Wide", "family": "generic", "path": "/video.mjpg", "resolution": "1920x1080", "fps": 30}
]})";

// The same set as H.264 RTSP cameras (TCP: nothing lost on a loaded machine).
const QByteArray RtspConfig = R"({"cameras": [
  {"name": "Cam 1", "family": "rtsp", "resolution": "640x480", "fps": 30, "transport": "TCP"},
  {"name": "Cam 2", "family": "rtsp", "resolution": "640x480", "fps": 30, "transport": "TCP"},
  {"name": "Cam 3", "family": "rtsp", "resolution": "640x480", "fps": 30, "transport": "TCP"},
  {"name": "Cam 4", "family": "rtsp", "resolution": "640x480", "fps": 30, "transport": "TCP"},
  {"name": "Cam 5", "family": "rtsp", "resolution": "640x480", "fps": 30, "transport": "TCP"},
  {"name": "Cam 6", "family": "rtsp", "resolution": "640x480", "fps": 30, "transport": "TCP"},
  {"name": "Wide", "family": "rtsp", "resolution": "1920x1080", "fps": 30, "transport": "TCP"}
]})";

// vyo-camsim with time stamps in every picture, and the cameras it printed.
bool startSimulator(QProcess &simulator, const QString &configPath, Value *cameras, QString *error,
                    qsizetype expected = Streams + 1)
{
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator.start(DemoProfile::simulatorPath(), { QStringLiteral("--config"), configPath,
                                                    QStringLiteral("--print-group"), QStringLiteral("--timecode") });
    QByteArray out;
    const QDeadlineTimer deadline(30000);
    while (!out.contains("</plist>") && !deadline.hasExpired() && simulator.state() != QProcess::NotRunning) {
        simulator.waitForReadyRead(200);
        out += simulator.readAllStandardOutput();
    }
    const Value groups = PropertyList::fromData(out, error);
    *cameras = groups.isNull() ? Value() : groups.at(0).value(QStringLiteral("cameras"));
    return cameras->size() == expected;
}

bool writeProfile(const QString &dir, const Value &cameras)
{
    Preferences preferences(dir + QStringLiteral("/preferences.conf"));
    DefaultSettings::initializeDefaultSettings(preferences);
    preferences.setRegistrationShown(true);
    GroupStore store(preferences, dir);
    Value group = Value::dictionary();
    group.insert(QStringLiteral("name"), QStringLiteral("Bench"));
    group.insert(QStringLiteral("cameras"), cameras);
    store.addGroup(group);
    store.persistGroupSelection();
    return store.persistBulkData();
}

QString streamUrl(const Value &camera)
{
    const Value video = camera.value(QStringLiteral("video.parameters"));
    const bool rtsp = video.value(QStringLiteral("video.type")).toString() == QLatin1StringView("RTSP");
    return QStringLiteral("%1://%2:%3%4")
        .arg(rtsp ? QStringLiteral("rtsp") : QStringLiteral("http"), video.value(QStringLiteral("video.host")).toString(),
             video.value(QStringLiteral("video.port")).toString(), video.value(QStringLiteral("video.path")).toString());
}

// User and system CPU seconds of a process so far.
double cpuOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // Fields after the command name, which ends with the last ')'; utime and stime are 14th and 15th.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    return static_cast<double>(fields.at(11).toLongLong() + fields.at(12).toLongLong())
        / static_cast<double>(sysconf(_SC_CLK_TCK));
}

struct Baseline
{
    double cpuPerSecond = 0;
    double framesPerSecond = 0;
};

// Six bare decoders, each reading one stream and throwing the pictures away.
class Decoders
{
public:
    explicit Decoders(const QStringList &urls)
    {
        for (const QString &url : urls) {
            auto process = std::make_unique<QProcess>();
            QStringList args = { QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                                 QStringLiteral("-nostats"), QStringLiteral("-progress"), QStringLiteral("pipe:1") };
            if (url.startsWith(QLatin1StringView("rtsp:")))
                args << QStringLiteral("-rtsp_transport") << QStringLiteral("tcp");
            args << QStringLiteral("-i") << url << QStringLiteral("-an") << QStringLiteral("-f")
                 << QStringLiteral("null") << QStringLiteral("-");
            process->start(QStringLiteral("ffmpeg"), args);
            m_processes.push_back(std::move(process));
        }
        m_progress.resize(m_processes.size());
    }

    ~Decoders()
    {
        for (const auto &process : m_processes) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
        }
    }

    // CPU seconds and pictures decoded so far, all decoders together.
    std::pair<double, qint64> sample()
    {
        static const QRegularExpression frame(QStringLiteral("frame=(\\d+)\\s*$"), QRegularExpression::MultilineOption);
        double cpu = 0;
        qint64 frames = 0;
        for (size_t i = 0; i < m_processes.size(); ++i) {
            m_progress[i] += m_processes[i]->readAllStandardOutput();
            cpu += cpuOf(m_processes[i]->processId());
            QRegularExpressionMatchIterator it = frame.globalMatch(QString::fromLatin1(m_progress[i]));
            qint64 last = 0;
            while (it.hasNext())
                last = it.next().captured(1).toLongLong();
            frames += last;
        }
        return { cpu, frames };
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_processes;
    std::vector<QByteArray> m_progress;
};

// One set of cameras: the viewer's run, with six ffmpeg decoders on its grid's streams
// running beside it and measured over the same seconds as its grid, so that both meet
// the same load of a shared machine.
bool runRound(const QByteArray &config, QMap<QString, QStringList> *figures, Baseline *baseline)
{
    QTextStream err(stderr);
    QTemporaryDir dir;
    const QString configPath = dir.filePath(QStringLiteral("cameras.json"));
    QProcess simulator;
    Value cameras;
    QString error;
    if (!AtomicFile::write(configPath, config) || !startSimulator(simulator, configPath, &cameras, &error)) {
        err << "vyo_bench: vyo-camsim gave no cameras: " << error << Qt::endl;
        return false;
    }
    const QString profile = dir.filePath(QStringLiteral("profile"));
    if (!QDir().mkpath(profile) || !writeProfile(profile, cameras)) {
        err << "vyo_bench: cannot write the viewer's profile" << Qt::endl;
        return false;
    }

    err << "the viewer on " << streamUrl(cameras.at(0)).section(QLatin1Char(':'), 0, 0)
        << " cameras beside six ffmpeg decoders: grid for 30 s, latency, single views..." << Qt::endl;
    QStringList urls;
    for (int i = 0; i < Streams; ++i)
        urls << streamUrl(cameras.at(i));
    auto decoders = std::make_unique<Decoders>(urls);
    QProcess viewer;
    viewer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    viewer.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--viewer"), profile });
    std::pair<double, qint64> atStart;
    QElapsedTimer gridClock;
    QByteArray pending;
    const QDeadlineTimer deadline(10 * 60 * 1000);
    while (viewer.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        // The event loop reads the viewer's lines and the decoders' progress alike.
        runFor(100);
        pending += viewer.readAllStandardOutput();
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QStringList words = QString::fromUtf8(pending.left(end)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            pending.remove(0, end + 1);
            if (words.isEmpty())
                continue;
            if (words.first() == QLatin1StringView("grid-start") && decoders) {
                atStart = decoders->sample();
                gridClock.start();
            } else if (words.first() == QLatin1StringView("grid") && decoders && gridClock.isValid()) {
                const auto [cpu, frames] = decoders->sample();
                const double seconds = static_cast<double>(gridClock.elapsed()) / 1000.0;
                *baseline = { (cpu - atStart.first) / seconds, static_cast<double>(frames - atStart.second) / seconds };
                decoders.reset();
            }
            figures->insert(words.first(), words.mid(1));
        }
    }
    decoders.reset();
    simulator.terminate();
    simulator.waitForFinished(5000);
    if (viewer.state() != QProcess::NotRunning) {
        viewer.kill();
        viewer.waitForFinished(5000);
        err << "vyo_bench: the viewer run took more than 10 minutes" << Qt::endl;
        return false;
    }
    if (viewer.exitStatus() != QProcess::NormalExit || viewer.exitCode() != 0) {
        err << "vyo_bench: the viewer run failed" << Qt::endl;
        return false;
    }
    if (figures->value(QStringLiteral("grid")).value(1).toDouble() <= 0) {
        err << "vyo_bench: the viewer showed no pictures" << Qt::endl;
        return false;
    }
    return true;
}

// The RTSP grid left running for the given minutes: does its latency build up?
int latencySoak(int minutes)
{
    QTextStream err(stderr);
    if (minutes <= 0) {
        err << "vyo_bench: --latency-soak takes a number of minutes" << Qt::endl;
        return 2;
    }
    QTemporaryDir dir;
    const QString configPath = dir.filePath(QStringLiteral("cameras.json"));
    QProcess simulator;
    Value cameras;
    QString error;
    const QString profile = dir.filePath(QStringLiteral("profile"));
    // One camera: the soak shares the machine with its other work for an hour.
    const QByteArray config = R"({"cameras": [{"name": "Cam", "family": "rtsp", "resolution": "640x480", "fps": 30,
                                   "transport": "TCP"}]})";
    if (!AtomicFile::write(configPath, config) || !startSimulator(simulator, configPath, &cameras, &error, 1)
        || !QDir().mkpath(profile) || !writeProfile(profile, cameras)) {
        err << "vyo_bench: no cameras to watch: " << error << Qt::endl;
        return 1;
    }
    err << "the viewer's RTSP grid for " << minutes << " minutes..." << Qt::endl;
    QProcess viewer;
    viewer.setProcessChannelMode(QProcess::ForwardedChannels);
    viewer.start(QCoreApplication::applicationFilePath(),
                 { QStringLiteral("--viewer-soak"), profile, QString::number(minutes) });
    const bool finished = viewer.waitForFinished((minutes + 5) * 60 * 1000);
    simulator.terminate();
    simulator.waitForFinished(5000);
    return finished && viewer.exitCode() == 0 ? 0 : 1;
}

QString machine()
{
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    QString model = QStringLiteral("unknown CPU");
    if (cpuinfo.open(QIODevice::ReadOnly)) {
        static const QRegularExpression name(QStringLiteral("^model name\\s*:\\s*(.+)$"),
                                             QRegularExpression::MultilineOption);
        const QRegularExpressionMatch m = name.match(QString::fromLatin1(cpuinfo.readAll()));
        if (m.hasMatch())
            model = m.captured(1).trimmed();
    }
    return QStringLiteral("%1, %2 cores, %3 %4")
        .arg(model)
        .arg(QThread::idealThreadCount())
        .arg(QSysInfo::kernelType(), QSysInfo::kernelVersion());
}

void printSingleViews(QTextStream &out, const QMap<QString, QStringList> &figures)
{
    for (const auto &[name, key] : { std::pair(QStringLiteral("640x480"), QStringLiteral("single-640")),
                                     std::pair(QStringLiteral("1920x1080"), QStringLiteral("single-1920")) }) {
        const QStringList figure = figures.value(key);
        out << QStringLiteral("single view %1: %2 ms CPU per frame, %3 frames/s, decoded at %4\n")
                   .arg(name)
                   .arg(figure.value(0).toDouble(), 0, 'f', 3)
                   .arg(figure.value(1).toDouble(), 0, 'f', 1)
                   .arg(figure.value(2));
    }
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

// The grid's CPU against the bare decoders and the latency, each with its verdict.
void printTargets(QTextStream &out, const QMap<QString, QStringList> &figures, const Baseline &baseline,
                  double ratioTarget, int latencyTarget)
{
    const double cpu = figures.value(QStringLiteral("grid")).value(0).toDouble();
    const double ratio = baseline.cpuPerSecond > 0 ? cpu / baseline.cpuPerSecond : 0;
    const QStringList tile = figures.value(QStringLiteral("latency-tile"));
    const QStringList single = figures.value(QStringLiteral("latency-single"));
    const double p95 = std::max(tile.value(1).toDouble(), single.value(1).toDouble());
    out << QStringLiteral("grid CPU / six ffmpeg decoders: %1 (viewer %2 CPU s/s, ffmpeg %3 CPU s/s; target at "
                          "most %4): %5\n")
               .arg(ratio, 0, 'f', 2)
               .arg(cpu, 0, 'f', 3)
               .arg(baseline.cpuPerSecond, 0, 'f', 3)
               .arg(ratioTarget)
               .arg(verdict(ratio > 0 && ratio <= ratioTarget));
    out << QStringLiteral("latency p95: tile %1 ms, single view %2 ms (target at most %3 ms): %4\n")
               .arg(tile.value(1), single.value(1))
               .arg(latencyTarget)
               .arg(verdict(!tile.isEmpty() && !single.isEmpty() && p95 <= latencyTarget));
}

} // namespace

int main(int argc, char *argv[])
{
    // The viewer runs off screen: nothing to see, everything it paints to grab.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && qstrcmp(argv[1], "--viewer") == 0) {
        QApplication app(argc, argv);
        return runViewer(QString::fromLocal8Bit(argv[2]));
    }
    if (argc == 4 && qstrcmp(argv[1], "--viewer-soak") == 0) {
        QApplication app(argc, argv);
        return runViewerSoak(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
    }
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--latency-soak") == 0)
        return latencySoak(QByteArray(argv[2]).toInt());
    QTextStream err(stderr);
    QTextStream out(stdout);

    err << "decode costs..." << Qt::endl;
    const QStringList decode = decodeCosts();
    err << "reader throughput..." << Qt::endl;
    const QStringList readers = readerThroughput();

    QMap<QString, QStringList> figures;
    Baseline baseline;
    QMap<QString, QStringList> rtspFigures;
    Baseline rtspBaseline;
    if (!runRound(CameraConfig, &figures, &baseline) || !runRound(RtspConfig, &rtspFigures, &rtspBaseline))
        return 1;

    const QStringList grid = figures.value(QStringLiteral("grid"), { QStringLiteral("0"), QStringLiteral("0"),
                                                                      QStringLiteral("0"), QStringLiteral("0") });
    const QStringList tile = figures.value(QStringLiteral("latency-tile"));
    const QStringList single = figures.value(QStringLiteral("latency-single"));
    const QStringList single640 = figures.value(QStringLiteral("single-640"));
    const double rss = grid.value(3).toDouble();
    const double perFrame640 = single640.value(0).toDouble();

    out << "Vyo video benchmark, " << QDateTime::currentDateTime().toString(Qt::ISODate) << ", " << machine()
        << ", Qt platform " << QGuiApplication::platformName() << "\n\n";
    printTargets(out, figures, baseline, 0.6, 50);
    out << QStringLiteral("grid peak RSS: %1 MB (target at most 80 MB): %2\n").arg(rss, 0, 'f', 1).arg(verdict(rss <= 80));
    out << QStringLiteral("single view 640x480: %1 ms CPU per frame (target under 0.7 ms): %2\n\n")
               .arg(perFrame640, 0, 'f', 3)
               .arg(verdict(perFrame640 > 0 && perFrame640 < 0.7));

    out << QStringLiteral("grid, six 640x480 30-fps streams for 30 s: %1 frames shown/s, %2 skipped/s, tiles "
                          "decoded at %3; ffmpeg %4 frames/s\n")
               .arg(grid.value(1).toDouble(), 0, 'f', 1)
               .arg(grid.value(2).toDouble(), 0, 'f', 1)
               .arg(figures.value(QStringLiteral("tile-size")).value(0))
               .arg(baseline.framesPerSecond, 0, 'f', 1);
    out << QStringLiteral("latency ms (p50 p95 max, grabs without a stamp): tile %1; single view %2\n")
               .arg(tile.join(QLatin1Char(' ')), single.join(QLatin1Char(' ')));
    printSingleViews(out, figures);
    const double plain = figures.value(QStringLiteral("single-plain")).value(0).toDouble();
    out << QStringLiteral("single view 640x480 in a plain window of the same size: %1 ms CPU per frame; through "
                          "the scaling main window %2 times that\n")
               .arg(plain, 0, 'f', 3)
               .arg(plain > 0 ? perFrame640 / plain : 0, 0, 'f', 2);
    const QStringList rtspGrid = rtspFigures.value(QStringLiteral("grid"));
    const QStringList rtspTile = rtspFigures.value(QStringLiteral("latency-tile"));
    const QStringList rtspSingle = rtspFigures.value(QStringLiteral("latency-single"));
    out << QStringLiteral("\nH.264 over RTSP:\n");
    printTargets(out, rtspFigures, rtspBaseline, 1.1, 150);
    out << QStringLiteral("grid: %1 frames shown/s, %2 skipped/s, tiles decoded at %3; ffmpeg %4 frames/s; peak "
                          "RSS %5 MB\n")
               .arg(rtspGrid.value(1).toDouble(), 0, 'f', 1)
               .arg(rtspGrid.value(2).toDouble(), 0, 'f', 1)
               .arg(rtspFigures.value(QStringLiteral("tile-size")).value(0))
               .arg(rtspBaseline.framesPerSecond, 0, 'f', 1)
               .arg(rtspGrid.value(3).toDouble(), 0, 'f', 1);
    out << QStringLiteral("latency ms (p50 p95 max, grabs without a stamp): tile %1; single view %2\n")
               .arg(rtspTile.join(QLatin1Char(' ')), rtspSingle.join(QLatin1Char(' ')));
    printSingleViews(out, rtspFigures);
    out << "\ndecode, CPU per frame:\n";
    for (const QString &line : decode)
        out << "  " << line << '\n';
    out << "\nreaders:\n";
    for (const QString &line : readers)
        out << "  " << line << '\n';
    return 0;
}
