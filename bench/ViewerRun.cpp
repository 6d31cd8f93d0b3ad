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
QString latency(VideoView *view)
{
    QRandomGenerator random(15);
    QList<qint64> ages;
    int unread = 0;
    for (int i = 0; i < Grabs; ++i) {
        runFor(static_cast<int>(random.bounded(10, 60)));
        const qint64 now = Timecode::nowMs();
        // The picture alone: the stamp is read across its middle, bars would shift it.
        const QImage shown = view->grab(view->pictureRect().toAlignedRect()).toImage();
        const std::optional<quint32> stamp = Timecode::read(shown);
        if (stamp)
            ages.append(Timecode::age(*stamp, now));
        else
            ++unread;
    }
    if (ages.isEmpty())
        return QStringLiteral("none readable");
    std::sort(ages.begin(), ages.end());
    const auto at = [&ages](double quantile) {
        return ages.at(std::min(ages.size() - 1, static_cast<qsizetype>(quantile * static_cast<double>(ages.size()))));
    };
    return QStringLiteral("%1 %2 %3 %4").arg(at(0.5)).arg(at(0.95)).arg(ages.last()).arg(unread);
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

} // namespace

int runViewer(const QString &profileDir)
{
    QTextStream out(stdout);
    Preferences preferences(profileDir + QStringLiteral("/preferences.conf"));
    MainWindow window;
    VyoAppDelegate delegate(window, preferences, profileDir);
    delegate.applicationDidFinishLaunching();
    window.show();
    runFor(WarmUpMs);

    MultiView *grid = delegate.multiView()->centerPage();
    QList<VideoView *> tiles;
    for (int k = 0; k < MultiView::Feeds; ++k)
        tiles.append(grid->getViewForFeed(k));
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
