#pragma once

#include "ui/live/LiveViewHost.h"
#include "platform/CertificatePin.h"
#include "platform/Clock.h"
#include "platform/Preferences.h"
#include "util/WorkerThread.h"
#include "video/FrameCache.h"

#include <QList>
#include <QTemporaryDir>

// The application controller as the live views see it, recording what they ask.
class FakeHost final : public LiveViewHost
{
public:
    FakeHost()
        : m_preferences(m_dir.filePath(QStringLiteral("preferences.conf")))
        , m_cache(std::make_shared<FrameCache>(36))
    {
        m_thread.start();
    }
    ~FakeHost()
    {
        m_thread.cancel();
        m_thread.wait();
    }

    std::shared_ptr<FrameCache> imageCache() const override { return m_cache; }
    QThread *videoThread() const override { return const_cast<WorkerThread *>(&m_thread); }
    const Preferences &preferences() const override { return m_preferences; }
    Clock &clock() const override { return *timeSource; }
    void switchToView(View view) override { switches.append(view); }
    void cycleToNextGroup() override { ++cycles; }
    Value trustCertificate(const Value &camera, const QString &fingerprint) override
    {
        return CertificatePin::trusting(camera, fingerprint);
    }

    // Set before the views are made: they take their timers from it.
    Clock *timeSource = &Clock::system();
    QList<View> switches;
    int cycles = 0;

private:
    QTemporaryDir m_dir;
    Preferences m_preferences;
    std::shared_ptr<FrameCache> m_cache;
    WorkerThread m_thread{ 0.4 };
};
