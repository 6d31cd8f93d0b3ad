#include "config/AppInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestAppInfo final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_user;
    QTemporaryDir m_system;

    static void writeConfig(const QTemporaryDir &configDir, const QByteArray &content)
    {
        QVERIFY(QDir(configDir.path()).mkpath(QStringLiteral("vyo")));
        QFile file(configDir.filePath(QStringLiteral("vyo/app-info.conf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_user.path()));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_system.path()));
        qunsetenv("VYO_HELP_URL");
        qunsetenv("VYO_HELP_EMAIL");
        qunsetenv("VYO_REG_URL");
    }

    void builtInThenFilesThenEnvironment()
    {
        QCOMPARE(AppInfo::value(AppInfo::BundleVersion), QStringLiteral(VYO_VERSION));
        QVERIFY(AppInfo::value(AppInfo::Copyright).startsWith(u'©'));
        QVERIFY(!AppInfo::value(AppInfo::HelpEmail).isEmpty());
        // Nothing is registered anywhere until an installer says where.
        QVERIFY(AppInfo::value(AppInfo::RegURL).isNull());

        writeConfig(m_system, "# installed by the integrator\n[vyo]\nRegURL = reg.example.net\n"
                              "HelpURL=help.example.net/vyo\nCopyright = © 2026 Example, Inc., all rights reserved\n");
        writeConfig(m_user, "; the user's own\nHelpURL = my.example.org\nHelpEmail =\nnot a line\n");
        AppInfo::reload();
        QCOMPARE(AppInfo::value(AppInfo::RegURL), QStringLiteral("reg.example.net"));
        // The user's file wins over the system's; an empty value removes the key.
        QCOMPARE(AppInfo::value(AppInfo::HelpURL), QStringLiteral("my.example.org"));
        QVERIFY(AppInfo::value(AppInfo::HelpEmail).isNull());
        QCOMPARE(AppInfo::value(AppInfo::Copyright), QStringLiteral("© 2026 Example, Inc., all rights reserved"));

        qputenv("VYO_REG_URL", "https://127.0.0.1:8443");
        AppInfo::reload();
        QCOMPARE(AppInfo::value(AppInfo::RegURL), QStringLiteral("https://127.0.0.1:8443"));
    }
};

QTEST_GUILESS_MAIN(TestAppInfo)
#include "tst_appinfo.moc"
