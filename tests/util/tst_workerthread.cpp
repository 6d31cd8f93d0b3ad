#include "util/WorkerThread.h"

#include <QSignalSpy>
#include <QTest>

class TestWorkerThread final : public QObject
{
    Q_OBJECT

private slots:
    void runsQueuedWorkOnItsOwnThread()
    {
        WorkerThread thread(0.4);
        QCOMPARE(thread.objPriority(), std::optional<double>(0.4));
        thread.start();
        auto *context = new QObject;
        context->moveToThread(&thread);
        QAtomicPointer<QThread> ranOn;
        QMetaObject::invokeMethod(context, [&ranOn] { ranOn.storeRelease(QThread::currentThread()); },
                                  Qt::QueuedConnection);
        QTRY_VERIFY(ranOn.loadAcquire() != nullptr);
        QCOMPARE(ranOn.loadAcquire(), &thread);
        // Deleted on its own thread as the loop winds down.
        context->deleteLater();
    }

    void cancelEndsTheLoop()
    {
        // Idle, with no source at all: the loop must still end when cancelled.
        WorkerThread thread;
        QVERIFY(!thread.objPriority());
        QSignalSpy finished(&thread, &QThread::finished);
        thread.start();
        QTRY_VERIFY(thread.isRunning());
        thread.cancel();
        QVERIFY(thread.isCancelled());
        QVERIFY(thread.wait(5000));
        QCOMPARE(finished.size(), 1);
    }

    void cancelBeforeStartIsNotLost()
    {
        WorkerThread thread;
        thread.cancel();
        thread.start();
        QVERIFY(thread.wait(5000));
    }

    void priorityScale()
    {
        QCOMPARE(WorkerThread::mapPriority(0.0), QThread::IdlePriority);
        QCOMPARE(WorkerThread::mapPriority(0.4), QThread::LowPriority);
        QCOMPARE(WorkerThread::mapPriority(0.5), QThread::NormalPriority);
        QCOMPARE(WorkerThread::mapPriority(1.0), QThread::TimeCriticalPriority);
        QCOMPARE(WorkerThread::mapPriority(7.0), QThread::TimeCriticalPriority);
        QCOMPARE(WorkerThread::mapPriority(-1.0), QThread::IdlePriority);
    }
};

QTEST_GUILESS_MAIN(TestWorkerThread)
#include "tst_workerthread.moc"
