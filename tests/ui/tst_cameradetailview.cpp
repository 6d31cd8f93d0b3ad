#include "ptz/QSUnivProfile.h"
#include "support/TestSupport.h"
#include "ui/kit/ActionSheet.h"
#include "ui/kit/Alert.h"
#include "ui/kit/BarButtonItem.h"
#include "ui/kit/NavigationController.h"
#include "ui/kit/RoundedButton.h"
#include "ui/kit/TableView.h"
#include "ui/kit/TableViewCell.h"
#include "ui/settings/CameraDetailView.h"
#include "ui/settings/FormChoice.h"
#include "ui/settings/FormSwitch.h"
#include "ui/settings/PTZChooserView.h"
#include "ui/settings/ProtocolChooserView.h"
#include "video/VideoProfile.h"
#include "video/VideoStreamFactory.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

Value dictionary(const QList<QPair<const char *, Value>> &entries)
{
    Value d = Value::dictionary();
    for (const auto &[key, value] : entries)
        d.insert(s(key), value);
    return d;
}

Value newGroup(const Value &cameras = Value::array())
{
    return dictionary({{"name", s("Yard")}, {"uid", 3}, {"cameras", cameras}});
}

FormField *field(const CameraDetailView *editor, const char *key)
{
    const FormRowRef row = editor->rowForKey(s(key));
    return row ? row->view.get() : nullptr;
}

QString valueOf(const CameraDetailView *editor, const char *key)
{
    return editor->viewValueOfRow(editor->rowForKey(s(key)));
}

// A group editor stand-in with the video source chooser on top.
struct Harness
{
    Harness(GroupStore &store, const Value &group)
        : groupEditor(new ViewController)
        , stack(groupEditor)
        , chooser(new ProtocolChooserView(store, group))
    {
        groupEditor->setTitle(s("Yard"));
        stack.resize(320, 480);
        stack.pushViewController(chooser, false);
        stack.show();
    }

    CameraDetailView *choose(int section, int row)
    {
        chooser->didSelectRow(chooser->tableView(), {section, row});
        return qobject_cast<CameraDetailView *>(stack.topViewController());
    }

    ViewController *groupEditor;
    NavigationController stack;
    ProtocolChooserView *chooser;
};

} // namespace

class TestCameraDetailView final : public QObject
{
    Q_OBJECT

    ScratchStore m_scratch;

private slots:
    void newAxisCameraSavedEmpty()
    {
        const Value cameras = Value::array({dictionary({{"title", s("Gate")}})});
        Harness harness(m_scratch.store, newGroup(cameras));
        CameraDetailView *editor = harness.choose(0, 1);
        QVERIFY(editor);
        QCOMPARE(valueOf(editor, "enabled"), s("y"));
        QCOMPARE(valueOf(editor, "ptzSwitch"), s("n"));

        // Nothing is saved without an address; the alert names the field.
        editor->saveButtonPressed();
        auto *alert = editor->findChild<Alert *>();
        QVERIFY(alert);
        QVERIFY(alert->message().contains(s("\"Host\"")));
        QCOMPARE(cameras.size(), 1);
        alert->close();

        field(editor, "video.host")->setValue(s("127.0.0.1"));
        editor->saveButtonPressed();
        QCOMPARE(harness.stack.viewControllers(), QList<ViewController *>{harness.groupEditor});
        QCOMPARE(cameras.size(), 2);
        const Value expected = dictionary(
            {{"definition_version", s("1")},
             {"enabled", s("y")},
             {"title", s("unnamed")},
             {"video.parameters", dictionary({{"video.type", s("AXISMJPEG")},
                                              {"video.host", s("127.0.0.1")},
                                              {"video.vapix", s("1")},
                                              {"video.ssl", s("n")}})}});
        QCOMPARE(cameras.at(1), expected);
    }

    // An RTSP camera's transport is picked from a sheet of the three there are.
    void rtspTransportIsPicked()
    {
        const VideoStreamFactory::ProfileList profiles = VideoStreamFactory::videoCameraProfileList();
        const auto rtsp = std::find_if(profiles.cbegin(), profiles.cend(),
                                       [](const VideoProfile *p) { return p->canHandleType() == s("RTSP"); });
        QVERIFY(rtsp != profiles.cend());
        Harness harness(m_scratch.store, newGroup());
        CameraDetailView *editor = harness.choose(0, int(rtsp - profiles.cbegin()));
        QVERIFY(editor);
        auto *transport = dynamic_cast<FormChoice *>(field(editor, "video.transport"));
        QVERIFY(transport);
        QCOMPARE(transport->text(), s("Automatic"));
        harness.stack.resize(320, 720);
        QTest::qWait(500);
        harness.stack.grab().save(QDir::temp().filePath(s("vyo-rtsp-editor.png")));

        transport->click();
        auto *sheet = harness.stack.window()->findChild<ActionSheet *>();
        QVERIFY(sheet);
        QTest::mouseClick(sheet->button(2), Qt::LeftButton);
        QCOMPARE(valueOf(editor, "video.transport"), s("UDP"));
        QCOMPARE(transport->text(), s("UDP"));
        QTest::qWait(500);
        harness.stack.grab().save(QDir::temp().filePath(s("vyo-rtsp-editor-udp.png")));
    }

    void genericWithUniversalPTZ()
    {
        const Value camera = dictionary(
            {{"title", s("Dock")},
             {"enabled", s("n")},
             {"video.parameters", dictionary({{"video.type", s("GENMJPEG")}, {"video.host", s("127.0.0.1")}})},
             {"control.parameters", dictionary({{"control.protocol", s("QuickSet Universal PTZ")},
                                                {"control.host", s("127.0.0.1")}})}});
        const Value cameras = Value::array({camera});
        NavigationController stack(new ViewController);
        auto *editor = new CameraDetailView(m_scratch.store);
        editor->setCurrentGroup(newGroup(cameras));
        editor->setCameraDefinition(camera);
        stack.pushViewController(editor, false);

        QCOMPARE(editor->rowForKey(s("ptzType"))->rightLabel, s("Quickset Universal"));
        QVERIFY(!editor->rowForKey(s("ptzSwitch")));
        QVERIFY(editor->sectionForKey(s("ptz")));
        QCOMPARE(valueOf(editor, "control.host"), s("127.0.0.1"));
        QCOMPARE(valueOf(editor, "enabled"), s("n"));

        editor->showPTZList();
        auto *chooser = qobject_cast<PTZChooserView *>(stack.topViewController());
        QVERIFY(chooser);
        QCOMPARE(chooser->numberOfRows(chooser->tableView(), 0), 4);
        std::unique_ptr<TableViewCell> current(chooser->cellForRow(chooser->tableView(), {0, 2}));
        QCOMPARE(current->text(), s("Quickset Universal"));
        QCOMPARE(current->accessoryType(), TableViewCell::Accessory::Checkmark);
        chooser->didSelectRow(chooser->tableView(), {0, 0});
        QCOMPARE(stack.topViewController(), editor);
        QCOMPARE(editor->rowForKey(s("ptzType"))->rightLabel, s("None"));
        QVERIFY(!editor->sectionForKey(s("ptz")));

        editor->saveButtonPressed();
        QCOMPARE(cameras.size(), 1);
        const Value saved = cameras.at(0);
        QVERIFY(!saved.isSameObject(camera));
        QVERIFY(!saved.contains(s("control.parameters")));
        QCOMPARE(saved.value(s("title")).toString(), s("Dock"));
        QCOMPARE(saved.value(s("enabled")).toString(), s("n"));
        // The editor never changes the definition it was given.
        QVERIFY(camera.contains(s("control.parameters")));

        editor->setPTZ(&QSUnivProfile::instance());
        QCOMPARE(valueOf(editor, "control.host"), s("127.0.0.1"));
    }

    void axisPTZRefillsFromTheStoredParameters()
    {
        const Value camera = dictionary(
            {{"video.parameters", dictionary({{"video.type", s("AXISMJPEG")}, {"video.username", s("viewer")}})},
             {"control.parameters",
              dictionary({{"control.protocol", s("Axis PTZ")}, {"control.username", s("operator")}})}});
        CameraDetailView editor(m_scratch.store);
        editor.setCurrentGroup(newGroup());
        editor.setCameraDefinition(camera);
        QCOMPARE(valueOf(&editor, "ptzSwitch"), s("y"));
        QVERIFY(editor.ptzProfile());
        QCOMPARE(valueOf(&editor, "video.username"), s("operator"));

        field(&editor, "video.username")->setValue(s("typed"));
        editor.ptzSwitch()->setOn(false);
        editor.ptzSwitchChanged();
        QVERIFY(!editor.ptzProfile());
        QVERIFY(!editor.makeDictFromForm().contains(s("control.parameters")));
        editor.ptzSwitch()->setOn(true);
        editor.ptzSwitchChanged();
        QCOMPARE(valueOf(&editor, "video.username"), s("operator"));
        QCOMPARE(editor.makeDictFromForm().value(s("control.parameters")).value(s("control.username")).toString(),
                 s("operator"));
    }

    // The trusted certificate survives an edit while SSL stays on, and goes with it.
    void trustedCertificateKeptWhileSslIsOn()
    {
        const QString pin(64, QLatin1Char('a'));
        const Value camera = dictionary({{"video.parameters", dictionary({{"video.type", s("AXISMJPEG")},
                                                                          {"video.host", s("127.0.0.1")},
                                                                          {"video.ssl", s("y")},
                                                                          {"video.certificate", pin}})}});
        CameraDetailView editor(m_scratch.store);
        editor.setCurrentGroup(newGroup());
        editor.setCameraDefinition(camera);
        QCOMPARE(editor.rowForKey(s("certificate"))->rightLabel, s("Trusted"));
        field(&editor, "video.host")->setValue(s("127.0.0.2"));
        QCOMPARE(editor.makeDictFromForm().value(s("video.parameters")).value(s("video.certificate")).toString(), pin);
        field(&editor, "video.ssl")->setValue(s("n"));
        QVERIFY(!editor.makeDictFromForm().value(s("video.parameters")).contains(s("video.certificate")));
    }

    void detectedCameraIsOnlyShown()
    {
        const Value camera = dictionary(
            {{"title", s("Lobby")},
             {"service", Value::handle(std::make_shared<int>(1))},
             {"video.parameters", dictionary({{"video.type", s("AXISSERVERMJPEG")}, {"video.host", s("127.0.0.1")}})}});
        CameraDetailView editor(m_scratch.store);
        editor.setCurrentGroup(Value());
        editor.setCameraDefinition(camera);
        QVERIFY(!editor.rowForKey(s("enabled")));
        for (const char *key : {"title", "video.host", "video.port", "video.camera_number"})
            QVERIFY2(!dynamic_cast<QWidget *>(field(&editor, key))->isEnabled(), key);
        QVERIFY(dynamic_cast<QWidget *>(field(&editor, "video.ssl"))->isEnabled());

        QSignalSpy copy(&editor, &CameraDetailView::copyToGroupRequested);
        editor.copyButton()->click();
        QCOMPARE(copy.size(), 1);
        QVERIFY(copy.at(0).at(0).value<Value>().isSameObject(camera));
    }

    void unknownTypesKeepOnlyTheGeneralSection()
    {
        CameraDetailView editor(m_scratch.store);
        editor.setCurrentGroup(newGroup());
        editor.setCameraDefinition(dictionary(
            {{"video.parameters", dictionary({{"video.type", s("SONYMJPEG")}})},
             {"control.parameters", dictionary({{"control.protocol", s("Sony PTZ")}})}}));
        QCOMPARE(editor.model().numberOfSections(), 1);
        QVERIFY(editor.rowForKey(s("ptzSwitch")));
        editor.ptzSwitch()->setOn(true);
        editor.ptzSwitchChanged();
        QVERIFY(!editor.ptzProfile());
    }

    void everyProfileRoundTrips_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(VideoStreamFactory::videoProfileList().size()); ++i)
            QTest::newRow(qPrintable(VideoStreamFactory::videoProfileList().at(size_t(i))->canHandleType())) << i;
    }

    void everyProfileRoundTrips()
    {
        QFETCH(int, index);
        const VideoProfile *profile = VideoStreamFactory::videoProfileList().at(size_t(index));
        const Value cameras = Value::array();
        const Value group = newGroup(cameras);

        CameraDetailView editor(m_scratch.store);
        editor.setCurrentGroup(group);
        editor.setVidProfile(profile);
        editor.setCameraDefinition(Value());
        // Text that names its key, or a valid value where the editor checks one.
        const auto sample = [](const QString &key) {
            if (key == s("video.port"))
                return s("8080");
            if (key == s("video.fps"))
                return s("5");
            if (key == s("video.resolution"))
                return s("640x480");
            return key.toUpper();
        };
        QStringList filled;
        for (const char *key : {"title", "video.host", "video.port", "video.path", "video.username", "video.password",
                                "video.camera_number", "video.camera_name", "video.resolution", "video.fps",
                                "video.compression"}) {
            if (FormField *f = field(&editor, key)) {
                f->setValue(sample(s(key)));
                filled << s(key);
            }
        }
        for (const char *key : {"video.ssl", "video.vapix"}) {
            if (FormField *f = field(&editor, key))
                f->setValue(s("y"));
        }
        if (editor.rowForKey(s("ptzType"))) {
            editor.setPTZ(editor.compatiblePTZList().constLast());
        } else {
            editor.ptzSwitch()->setOn(true);
            editor.ptzSwitchChanged();
        }
        if (FormField *f = field(&editor, "control.host"))
            f->setValue(s("127.0.0.1"));
        editor.saveButtonPressed();
        QCOMPARE(cameras.size(), 1);
        const Value saved = cameras.at(0);
        QCOMPARE(saved.value(s("video.parameters")).value(s("video.type")).toString(), profile->canHandleType());

        CameraDetailView reopened(m_scratch.store);
        reopened.setCurrentGroup(group);
        reopened.setCameraDefinition(saved);
        QCOMPARE(reopened.vidProfile(), profile);
        QCOMPARE(reopened.ptzProfile(), editor.ptzProfile());
        for (const QString &key : std::as_const(filled))
            QCOMPARE(valueOf(&reopened, qPrintable(key)), sample(key));
        QCOMPARE(valueOf(&reopened, "video.ssl").isNull(), !editor.rowForKey(s("video.ssl")));
        reopened.saveButtonPressed();
        QCOMPARE(cameras.size(), 1);
        QCOMPARE(cameras.at(0), saved);
        QVERIFY(!cameras.at(0).isSameObject(saved));
    }
};

QTEST_MAIN(TestCameraDetailView)
#include "tst_cameradetailview.moc"
