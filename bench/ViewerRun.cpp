#include "bench/Bench.h"

#include "app/MainWindow.h"
#include "app/VyoAppDelegate.h"
#include "camsim/Timecode.h"
#include "config/LiveCameraList.h"
#include "platform/Preferences.h"
#include "ui/live/MultiPageScrollerView.h"
#include "ui/live/MultiView.h"
#include "ui/live/SingleView.h"
#include "ui/live/VideoView.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int WarmUpMs = 5000;
constexpr int GridSeconds = 30;
constexpr int SingleSeconds = 10;
constexpr int Grabs = 200;

// CPU seconds per second and pictures shown per second over a stretch of running.
struct Load
{
    double cpuPerSecond = 0;
    double shownPerSecond = 0;
    double skippedPerSecond = 0;
};

Load measure(const QList<VideoView *> &views, int seconds)
{
    const auto totals = [&views] {
        qint64 shown = 0;
        qint64 skipped = 0;
        for (const VideoView *view : views) {
            shown += view->framesShown();
            skipped += view->framesSkipped();
        }
        return std::pair(shown, skipped);
    };
    const auto [shownBefore, skippedBefore] = totals();
    const double cpuBefore = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    runFor(seconds * 1000);
    const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
    const auto [shownAfter, skippedAfter] = totals();
    return { cpu / seconds, static_cast<double>(shownAfter - shownBefore) / seconds,
             static_cast<double>(skippedAfter - skippedBefore) / seconds };
}

// Ages of what the view paints, grabbed at random moments: p50, p95, max and how many
// grabs held no readable stamp.
QList<qint64> latencies(VideoView *view, int *unread)
{
    QRandomGenerator random(15);
    QList<qint64> ages;
    for (int i = 0; i < Grabs; ++i) {
        runFor(static_cast<int>(random.bounded(10, 60)));
        const qint64 now = Timecode::nowMs();
        // The picture alone: the stamp is read across its middle, bars would shift it.
        const QImage shown = view->grab(view->pictureRect().toAlignedRect()).toImage();
        const std::optional<quint32> stamp = Timecode::read(shown);
        if (stamp)
            ages.append(Timecode::age(*stamp, now));
        else
            ++*unread;
    }
    std::sort(ages.begin(), ages.end());
    return ages;
}

qint64 quantile(const QList<qint64> &sorted, double q)
{
    return sorted.at(std::min(sorted.size() - 1, static_cast<qsizetype>(q * static_cast<double>(sorted.size()))));
}

QString latency(VideoView *view)
{
    int unread = 0;
    const QList<qint64> ages = latencies(view, &unread);
    if (ages.isEmpty())
        return QStringLiteral("none readable");
    return QStringLiteral("%1 %2 %3 %4")
        .arg(quantile(ages, 0.5))
        .arg(quantile(ages, 0.95))
        .arg(ages.last())
        .arg(unread);
}

// The peak resident set of this program since it was started. getrusage would
// also count the parent it was forked from.
double peakRssMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

void waitForRest(const VyoAppDelegate &delegate)
{
    runFor(500);
    while (delegate.isTransitioning())
        runFor(100);
}

// The viewer on the profile in profileDir, shown and warmed up.
struct RunningViewer
{
    explicit RunningViewer(const QString &profileDir)
        : preferences(profileDir + QStringLiteral("/preferences.conf"))
        , delegate(window, preferences, profileDir)
    {
        delegate.applicationDidFinishLaunching();
        window.show();
        runFor(WarmUpMs);
    }

    Preferences preferences;
    MainWindow window;
    VyoAppDelegate delegate;
};

} // namespace

int runViewer(const QString &profileDir)
{
    QTextStream out(stdout);
    RunningViewer viewer(profileDir);
    MainWindow &window = viewer.window;
    VyoAppDelegate &delegate = viewer.delegate;

    MultiView *grid = delegate.multiView()->centerPage();
    QList<VideoView *> tiles;
    for (int k = 0; k < MultiView::Feeds; ++k)
        tiles.append(grid->getViewForFeed(k));
    // The bench measures its ffmpeg decoders over the same seconds.
    out << "grid-start" << Qt::endl;
    const Load load = measure(tiles, GridSeconds);
    out << "grid " << load.cpuPerSecond << ' ' << load.shownPerSecond << ' ' << load.skippedPerSecond << ' '
        << peakRssMegabytes() << Qt::endl;
    out << "tile-size " << tiles.first()->image().width() << 'x' << tiles.first()->image().height() << Qt::endl;
    out << "latency-tile " << latency(tiles.first()) << Qt::endl;

    const QList<Value> cameras = delegate.liveCameras().cameras();
    SingleView *single = delegate.singleView();
    const auto openSingle = [&](const QString &name, const Value &camera) {
        single->setCamera(camera);
        delegate.switchToView(LiveViewHost::View::Single);
        waitForRest(delegate);
        runFor(3000);
        const Load shown = measure({ single->videoView() }, SingleSeconds);
        out << name << ' ' << shown.cpuPerSecond * 1000.0 / std::max(shown.shownPerSecond, 1.0) << ' '
            << shown.shownPerSecond << ' ' << single->videoView()->image().width() << 'x'
            << single->videoView()->image().height() << Qt::endl;
    };
    openSingle(QStringLiteral("single-640"), cameras.at(0));
    out << "latency-single " << latency(single->videoView()) << Qt::endl;
    {
        // The same camera in a plain window of the same size, as views were shown before
        // the main window scaled them: the baseline for what the scaling costs. The main
        // window, hidden meanwhile, stops its own streams.
        window.hide();
        QWidget plain;
        plain.resize(MainWindow::Landscape);
        SingleView bare(delegate, QRect(QPoint(0, 0), MainWindow::Landscape), &plain);
        bare.setCamera(cameras.at(0));
        bare.willMoveToWindow(true);
        bare.moveToolbarOut(false, 0);
        plain.show();
        runFor(3000);
        const Load shown = measure({ bare.videoView() }, SingleSeconds);
        out << "single-plain " << shown.cpuPerSecond * 1000.0 / std::max(shown.shownPerSecond, 1.0) << Qt::endl;
        bare.willMoveToWindow(false);
        window.show();
    }
    delegate.switchToView(LiveViewHost::View::Multi);
    waitForRest(delegate);
    openSingle(QStringLiteral("single-1920"), cameras.at(MultiView::Feeds));
    return 0;
}

int runViewerSoak(const QString &profileDir, int minutes)
{
    QTextStream out(stdout);
    RunningViewer viewer(profileDir);
    VideoView *tile = viewer.delegate.multiView()->centerPage()->getViewForFeed(0);
    qint64 first = -1;
    qint64 last = -1;
    for (int minute = 0; minute < minutes; ++minute) {
        QElapsedTimer clock;
        clock.start();
        int unread = 0;
        const QList<qint64> ages = latencies(tile, &unread);
        if (!ages.isEmpty()) {
            last = quantile(ages, 0.95);
            if (first < 0)
                first = last;
            out << QStringLiteral("minute %1: latency p50 %2 ms, p95 %3 ms, max %4 ms, %5 grabs without a stamp")
                       .arg(minute)
                       .arg(quantile(ages, 0.5))
                       .arg(last)
                       .arg(ages.last())
                       .arg(unread)
                << Qt::endl;
        }
        runFor(static_cast<int>(std::max<qint64>(0, 60000 - clock.elapsed())));
    }
    if (first <= 0 || last < 0)
        return 1;
    out << QStringLiteral("latency p95 at the start %1 ms, at the end %2 ms: %3 times\n")
               .arg(first)
               .arg(last)
               .arg(double(last) / double(first), 0, 'f', 2);
    return 0;
}
