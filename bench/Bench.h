#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QStringList>

#include <ctime>

// The pieces of vyo_bench. Figures come back as lines of text; timing uses CPU
// clocks, never wall time alone.

// Camera-like JPEGs: views of vyo-camsim's panorama with a little sensor noise,
// compressed by TurboJPEG with the given TJSAMP_ subsampling at quality 75.
QList<QByteArray> cameraJpegs(QSize size, int subsampling, int count);

// Seconds on a CPU clock: CLOCK_PROCESS_CPUTIME_ID, CLOCK_THREAD_CPUTIME_ID or a
// thread's own (pthread_getcpuclockid).
double cpuSeconds(clockid_t clock);

// Lets the event loop run for ms milliseconds, as the viewer would between a user's glances.
void runFor(int ms);

// Decode cost per frame: Qt's reader at full size, TurboJPEG at each reduction.
QStringList decodeCosts();

// The multipart splitter alone, and whole HTTP readers against a loopback server
// sending 640x480 parts as fast as they are read.
QStringList readerThroughput();

// The viewer itself in this process, on the profile in profileDir (its group holds
// six 640x480 cameras, then one 1920x1080): figures as "key value..." lines on stdout.
int runViewer(const QString &profileDir);

// The same viewer showing the grid for the given minutes; the first tile's latency
// is measured at the start of every minute, and the first and last compared.
int runViewerSoak(const QString &profileDir, int minutes);
