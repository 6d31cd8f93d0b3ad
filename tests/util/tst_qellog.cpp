#include "util/QelLog.h"

#include <QMutex>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

namespace {

QMutex linesMutex;
QList<QByteArray> lines;

void collect(const QByteArray &line)
{
    const QMutexLocker lock(&linesMutex);
    lines.append(line);
}

int formatted = 0;

QString countedMessage()
{
    ++formatted;
    return QStringLiteral("formatted");
}

} // namespace

class TestQelLog final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        lines.clear();
        formatted = 0;
        QelLog::setSink(collect);
    }

    void cleanup()
    {
        QelLog::setSink(nullptr);
        QelLog::setLoggingEnabled(false);
        QelLog::setLoggingThreshhold(3);
    }

    void silentUntilConfigured()
    {
        for (const LogLevel level : { LogLevel::Trace, LogLevel::Debug, LogLevel::Error })
            QEL_LOG(level, countedMessage());
        QVERIFY(lines.isEmpty());
        QCOMPARE(formatted, 0);
    }

    void thresholdFiltersBeforeFormatting()
    {
        QelLog::setLoggingEnabled(true);
        QelLog::setLoggingThreshhold(2);
        QEL_LOG(LogLevel::Trace, countedMessage());
        QEL_LOG(LogLevel::Debug, countedMessage());
        QCOMPARE(formatted, 0);
        QVERIFY(lines.isEmpty());
        QEL_LOG(LogLevel::Error, countedMessage());
        QCOMPARE(formatted, 1);
        QCOMPARE(lines.size(), 1);

        // A level outside the table compares as a huge unsigned number: above any
        // threshold, and printed with a name that says so.
        lines.clear();
        QelLog::logAtLevel(static_cast<LogLevel>(-1), QStringLiteral("odd"));
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].endsWith("<LEVEL?>: odd\n"));
    }

    void prefixFormats()
    {
        QelLog::setLoggingEnabled(true);
        QelLog::setLoggingThreshhold(0);
        const int line = __LINE__ + 1;
        QEL_LOG(LogLevel::Error, QStringLiteral("Failed: %1 of %2").arg(3).arg(QStringLiteral("camera")));
        QelLog::logAtLevel(LogLevel::Debug, QStringLiteral("plain %1").arg(QStringLiteral("message")));
        QelLog::logAtLevel(LogLevel::Trace, "/some/dir/File.cpp", 12, QStringLiteral("multi\nline"));
        QCOMPARE(lines.size(), 3);
        const QRegularExpression stamp(QStringLiteral(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} vyo\[\d+:\d+\] )"));
        for (const QByteArray &l : std::as_const(lines)) {
            QVERIFY2(stamp.match(QString::fromUtf8(l)).hasMatch(), l.constData());
            QVERIFY(l.endsWith('\n'));
            QCOMPARE(l.count('\n'), 1);
        }
        QVERIFY(lines[0].endsWith(QStringLiteral("<ERROR - File: tst_qellog.cpp, Line: %1>: Failed: 3 of camera\n")
                                      .arg(line)
                                      .toUtf8()));
        QVERIFY(lines[1].endsWith("<DEBUG>: plain message\n"));
        QVERIFY(lines[2].endsWith("<TRACE - File: File.cpp, Line: 12>: multi line\n"));
    }

    void linesStayWholeAcrossThreads()
    {
        QelLog::setLoggingEnabled(true);
        QelLog::setLoggingThreshhold(0);
        constexpr int perThread = 500;
        const QString longText(300, QLatin1Char('x'));
        const auto work = [&longText](QChar tag) {
            for (int i = 0; i < perThread; ++i)
                QEL_LOG(LogLevel::Debug, QStringLiteral("%1%2%1").arg(tag, longText));
        };
        QThread *a = QThread::create(work, QLatin1Char('a'));
        QThread *b = QThread::create(work, QLatin1Char('b'));
        a->start();
        b->start();
        QVERIFY(a->wait(30000));
        QVERIFY(b->wait(30000));
        delete a;
        delete b;
        QCOMPARE(lines.size(), 2 * perThread);
        const QRegularExpression whole(QStringLiteral(R"(: ([ab])x{300}\1\n$)"));
        for (const QByteArray &l : std::as_const(lines))
            QVERIFY2(whole.match(QString::fromUtf8(l)).hasMatch(), l.constData());
    }
};

QTEST_APPLESS_MAIN(TestQelLog)
#include "tst_qellog.moc"
