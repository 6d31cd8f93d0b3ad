#include "app/SettingsViewController.h"
#include "app/Translations.h"

#include "config/DefaultSettings.h"
#include "config/FormRow.h"
#include "config/GroupStore.h"
#include "platform/Preferences.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/settings/CameraDetailView.h"
#include "video/CameraState.h"

#include "support/FakeSettingsHost.h"

#include <QAbstractSocket>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

QString translationFile(const char *name)
{
    return s(VYO_SOURCE_DIR "/translations/") + s(name);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The interface follows the locale into German, and the German file translates
// every string the sources mark, no more and no fewer.
class TestTranslations final : public QObject
{
    Q_OBJECT

private slots:
    // Runs first: English needs no translator, and none is installed for it.
    void englishNeedsNone()
    {
        QVERIFY(!Translations::install(*qApp, QLocale(QLocale::English, QLocale::UnitedStates)));
        QVERIFY(!Translations::install(*qApp, QLocale::c()));
        QCOMPARE(cameraStateText(CameraState::Unreachable), s("Camera unreachable"));
    }

    void settingsInGerman()
    {
        QVERIFY(Translations::install(*qApp, QLocale(QLocale::German, QLocale::Germany)));
        QCOMPARE(cameraStateText(CameraState::Silent, 12), s("Seit 12 s kein Bild"));
        // Qt's own texts come along.
        QAbstractSocket socket(QAbstractSocket::TcpSocket, nullptr);
        QCOMPARE(socket.errorString(), s("Unbekannter Fehler"));

        QTemporaryDir dir;
        Preferences preferences(dir.filePath(s("preferences.conf")));
        DefaultSettings::initializeDefaultSettings(preferences);
        FakeSettingsHost host(preferences);
        GroupStore store(preferences, dir.path());
        store.start();
        auto *root = new SettingsViewController(host, store, preferences);
        NavigationController stack(root);
        stack.resize(320, 480);
        stack.show();
        QVERIFY(QTest::qWaitForWindowExposed(&stack));
        QCOMPARE(root->title(), s("Einstellungen"));
        // The default group keeps its stored name and shows it translated.
        QCOMPARE(store.selectedGroup().value(s("name")).toString(), s("Default"));
        const auto *groupName = root->tableView()->cellForRow({ 0, 0 })->findChild<QLabel *>(s("selectedGroupName"));
        QVERIFY(groupName);
        QCOMPARE(groupName->text(), s("Standard"));
        QCOMPARE(root->tableView()->cellForRow({ 0, 2 })->text(), s("Kameras im Netz"));
        stack.grab().save(QDir::temp().filePath(s("vyo-de-settings.png")));

        // Form rows laid out by the core's video profiles.
        Value camera = Value::dictionary();
        Value video = Value::dictionary();
        video.insert(s("video.type"), s("GENMJPEG"));
        camera.insert(s("video.parameters"), video);
        auto *editor = new CameraDetailView(store);
        editor->setCameraDefinition(camera);
        stack.pushViewController(editor, false);
        QCOMPARE(editor->rowForKey(s("video.username"))->label, s("Benutzer"));
        QCOMPARE(editor->rowForKey(s("ptzType"))->rightLabel, s("Keines"));
        stack.grab().save(QDir::temp().filePath(s("vyo-de-camera.png")));
    }

    // What the update target would write is what is checked in, and nothing in German
    // is unfinished.
    void filesCompleteAndCurrent()
    {
        QTemporaryDir dir;
        const QStringList names{ s("vyo.ts"), s("vyo_de.ts") };
        QStringList copies;
        for (const QString &name : names) {
            copies << dir.filePath(name);
            QVERIFY(QFile::copy(translationFile(qPrintable(name)), copies.last()));
        }
        QProcess lupdate;
        lupdate.start(s(VYO_LUPDATE), QStringList{ s("-silent"), s("-locations"), s("none"), s("-no-obsolete"),
                                                   s("-I"), s(VYO_SOURCE_DIR "/src"), s(VYO_SOURCE_DIR "/src"),
                                                   s("-ts") } + copies);
        QVERIFY(lupdate.waitForFinished(60000));
        QCOMPARE(lupdate.exitCode(), 0);
        for (int i = 0; i < names.size(); ++i)
            QVERIFY2(contents(copies.at(i)) == contents(translationFile(qPrintable(names.at(i)))),
                     qPrintable(names.at(i) + s(" is behind the sources: build update_translations")));
        const QByteArray german = contents(translationFile("vyo_de.ts"));
        QVERIFY(german.count("<translation>") > 100);
        QVERIFY(!german.contains("<translation type="));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
