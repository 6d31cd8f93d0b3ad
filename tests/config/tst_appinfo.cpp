#include "config/AppInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

void writeConfig(const QString &configDir, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(configDir + QStringLiteral("/vyo")));
    QFile file(configDir + QStringLiteral("/vyo/app-info.conf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestAppInfo final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_user;
    QTemporaryDir m_system;

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_user.path()));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_system.path()));
        qunsetenv("VYO_HELP_URL");
        qunsetenv("VYO_HELP_EMAIL");
        qunsetenv("VYO_REG_URL");
    }

    void cleanup()
    {
        QFile::remove(m_user.filePath(s("vyo/app-info.conf")));
        QFile::remove(m_system.filePath(s("vyo/app-info.conf")));
        qunsetenv("VYO_REG_URL");
        AppInfo::reload();
    }

    void builtInValues()
    {
        AppInfo::reload();
        QCOMPARE(AppInfo::value(AppInfo::BundleVersion), s(VYO_VERSION));
        QCOMPARE(AppInfo::value(AppInfo::BundleDisplayName), s("Vyo"));
        QVERIFY(AppInfo::value(AppInfo::Copyright).startsWith(u'©'));
        QVERIFY(!AppInfo::value(AppInfo::HelpURL).isEmpty());
        QVERIFY(!AppInfo::value(AppInfo::HelpEmail).isEmpty());
        QVERIFY(!AppInfo::value(AppInfo::BundleIdentifier).isEmpty());
        // Nothing is registered anywhere until an installer says where.
        QVERIFY(AppInfo::value(AppInfo::RegURL).isNull());
    }

    void filesAndEnvironmentOverride()
    {
        writeConfig(m_system.path(), "# installed by the integrator\n"
                                     "[vyo]\n"
                                     "RegURL = reg.example.net\n"
                                     "HelpURL=help.example.net/vyo\n"
                                     "Copyright = © 2026 Example, Inc., all rights reserved\n");
        writeConfig(m_user.path(), "; the user's own\n"
                                   "HelpURL = my.example.org\n"
                                   "HelpEmail =\n"
                                   "not a line\n");
        AppInfo::reload();
        QCOMPARE(AppInfo::value(AppInfo::RegURL), s("reg.example.net"));
        // The user's file wins over the system's; an empty value removes the key.
        QCOMPARE(AppInfo::value(AppInfo::HelpURL), s("my.example.org"));
        QVERIFY(AppInfo::value(AppInfo::HelpEmail).isNull());
        QCOMPARE(AppInfo::value(AppInfo::Copyright), s("© 2026 Example, Inc., all rights reserved"));

        // The environment wins over both.
        qputenv("VYO_REG_URL", "https://127.0.0.1:8443");
        AppInfo::reload();
        QCOMPARE(AppInfo::value(AppInfo::RegURL), s("https://127.0.0.1:8443"));

        AppInfo::setValue(AppInfo::RegURL, QString());
        QVERIFY(AppInfo::value(AppInfo::RegURL).isNull());
        AppInfo::setValue(AppInfo::BundleVersion, s("9.9"));
        QCOMPARE(AppInfo::value(AppInfo::BundleVersion), s("9.9"));
    }
};

QTEST_GUILESS_MAIN(TestAppInfo)
#include "tst_appinfo.moc"
