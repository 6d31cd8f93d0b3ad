#include "app/KioskMode.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// scripts/install-kiosk, always into a throw-away root: this machine's users and
// services are never touched.
class TestInstallKiosk final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;

    int run(QStringList arguments)
    {
        QProcess script;
        script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        script.start(QStringLiteral(VYO_SOURCE_DIR "/scripts/install-kiosk"),
                     QStringList{ QStringLiteral("--root"), m_root->path() } + arguments);
        if (!script.waitForFinished(20000) || script.exitStatus() != QProcess::NormalExit)
            return -1;
        return script.exitCode();
    }

    QString read(const QString &path) const
    {
        QFile file(m_root->filePath(path.mid(1)));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_root->path()).mkpath(QStringLiteral("etc")));
        QFile passwd(m_root->filePath(QStringLiteral("etc/passwd")));
        QVERIFY(passwd.open(QIODevice::WriteOnly));
        passwd.write(QStringLiteral("panel:x:%1:%2:Panel:/home/panel:/bin/sh\n").arg(getuid()).arg(getgid()).toUtf8());
    }

    void servicesRestartTheViewerButNotAfterTheExitKeys()
    {
        QCOMPARE(run({ QStringLiteral("panel") }), 0);
        const QString unit = QStringLiteral("/home/panel/.config/systemd/user/vyo-kiosk.service");
        const QString text = read(unit);
        QVERIFY(text.contains(QStringLiteral("\nExecStart=/usr/bin/vyo --kiosk\nRestart=always\n")));
        QVERIFY(text.contains(QStringLiteral("\nRestartPreventExitStatus=%1\n").arg(KioskMode::ExitStatus)));
        const QFileInfo wants(m_root->filePath(
            QStringLiteral("home/panel/.config/systemd/user/graphical-session.target.wants/vyo-kiosk.service")));
        QCOMPARE(wants.symLinkTarget(), unit);

        QCOMPARE(run({ QStringLiteral("--cage"), QStringLiteral("panel") }), 0);
        const QString cage = read(QStringLiteral("/etc/systemd/system/vyo-kiosk-cage.service"));
        QVERIFY(cage.contains(QStringLiteral("\nUser=panel\n")));
        QVERIFY(cage.contains(QStringLiteral("\nExecStart=/usr/bin/cage -d -- /usr/bin/vyo --kiosk\nRestart=always\n")));
        QVERIFY(QFileInfo(m_root->filePath(QStringLiteral("etc/systemd/system/multi-user.target.wants/vyo-kiosk-cage.service")))
                    .isSymLink());
    }

    void refusalsAndDryRunWriteNothing()
    {
        QCOMPARE(run({ QStringLiteral("--dry-run"), QStringLiteral("panel") }), 0);
        QCOMPARE(run({ QStringLiteral("--cage"), QStringLiteral("--dry-run"), QStringLiteral("panel") }), 0);
        QCOMPARE(run({ QStringLiteral("nobody-here") }), 1);
        QCOMPARE(run({ QStringLiteral("pa nel") }), 1);
        QCOMPARE(run({}), 2);
        QCOMPARE(QDir(m_root->path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{ QStringLiteral("etc") });
        QVERIFY(!QFileInfo::exists(m_root->filePath(QStringLiteral("etc/systemd"))));
    }
};

QTEST_GUILESS_MAIN(TestInstallKiosk)
#include "tst_installkiosk.moc"
