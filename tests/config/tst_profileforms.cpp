#include "config/CameraFormCheck.h"
#include "config/FakeFormHost.h"

#include "ptz/AxisPTZProfile.h"
#include "ptz/CanonPTZProfile.h"
#include "ptz/MilestonePTZProfile.h"
#include "ptz/PelcoPTZProfile.h"
#include "ptz/QSGemineyePTZProfile.h"
#include "ptz/QSUnivProfile.h"
#include "ptz/SonyPTZProfile.h"
#include "video/AxisVideoProfile.h"
#include "video/AxisVideoServerProfile.h"
#include "video/CanonVideoProfile.h"
#include "video/GenericVideoProfile.h"
#include "video/MilestoneVideoProfile.h"
#include "video/RTSPVideoProfile.h"
#include "video/SonyVideoProfile.h"

#include <QTest>

namespace {

const GenericVideoProfile generic;
const AxisVideoProfile axis;
const AxisVideoServerProfile axisServer;
const MilestoneVideoProfile milestone;
const SonyVideoProfile sony;
const CanonVideoProfile canon;
const RTSPVideoProfile rtsp;

QString s(const char *text)
{
    return QString::fromLatin1(text);
}

const QStringList allRows{s("video.ssl"), s("video.camera_name"), s("video.host"), s("video.port"),
                          s("video.path"), s("video.camera_number"), s("video.username"), s("video.password"),
                          s("video.vapix"), s("video.resolution"), s("video.fps"), s("video.compression"),
                          s("control.host"), s("control.port"), s("control.serial_id"), s("control.camera_number")};

// What fillAll types into a text row: "<key>!", and a number for ports, which
// are copied only when not 0.
QString filledValue(const QString &key)
{
    return key.endsWith(s(".port")) ? s("8080") : key + QLatin1Char('!');
}

// Every text row gets its filledValue, every switch is turned on.
void fillAll(FakeFormHost &form)
{
    for (const QString &key : allRows) {
        if (FakeFormHost::Field *field = form.field(key))
            field->setValue(field->isSwitch ? s("y") : filledValue(key));
    }
}

Value dictionary(const QList<QPair<const char *, QString>> &entries)
{
    Value d = Value::dictionary();
    for (const auto &[key, value] : entries)
        d.insert(s(key), value);
    return d;
}

} // namespace

Q_DECLARE_METATYPE(const VideoProfile *)
Q_DECLARE_METATYPE(const PTZProfile *)

class TestProfileForms final : public QObject
{
    Q_OBJECT

private slots:
    // Passwords never show their text; switches go back to off, text rows to empty.
    void formsHidePasswordsAndResetToEmpty()
    {
        for (const VideoProfile *profile : std::initializer_list<const VideoProfile *>{
                 &generic, &axis, &axisServer, &milestone, &sony, &canon}) {
            FakeFormHost form;
            profile->populateForm(form, Value());
            QVERIFY(form.field(s("video.password"))->secure);
            for (const QString &key : allRows) {
                if (const FormRowRef row = form.rowForKey(key)) {
                    QCOMPARE(form.field(key)->secure, key == s("video.password"));
                    QCOMPARE(row->defaultValue, form.field(key)->isSwitch ? s("n") : QString());
                }
            }
        }
    }

    void videoFormsShowTheStoredValues()
    {
        FakeFormHost form;
        generic.populateForm(form, dictionary({{"video.ssl", s("1")}, {"video.host", s("127.0.0.1")},
                                               {"video.password", s("secret")}}));
        QCOMPARE(form.field(s("video.ssl"))->getValue(), s("y"));
        QCOMPARE(form.field(s("video.vapix"))->getValue(), s("n"));
        QCOMPARE(form.field(s("video.host"))->getValue(), s("127.0.0.1"));
        QCOMPARE(form.field(s("video.password"))->getValue(), s("secret"));
        QVERIFY(form.field(s("video.port"))->getValue().isEmpty());
    }

    // The transport is picked, not typed: a definition without one reads back as
    // Automatic, and a stored value the picker does not know is kept.
    void rtspTransportIsAChoice()
    {
        for (const auto &[stored, shown] : { std::pair(QString(), s("Automatic")), std::pair(s("UDP"), s("UDP")),
                                             std::pair(s("tcp"), s("tcp")) }) {
            FakeFormHost form;
            rtsp.populateForm(form, dictionary({{"video.transport", stored}}));
            const FakeFormHost::Field *field = form.field(s("video.transport"));
            QCOMPARE(field->choices, (QStringList{s("Automatic"), s("TCP"), s("UDP")}));
            QCOMPARE(field->getValue(), shown);
            QCOMPARE(rtsp.readFromForm(form).value(s("video.transport")).toString(), shown);
        }
    }

    void videoFormsReadTheirKeys_data()
    {
        QTest::addColumn<const VideoProfile *>("profile");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<Value>("empty");

        const Value axisEmpty = dictionary({{"video.type", s("AXISMJPEG")}, {"video.vapix", s("1")},
                                            {"video.ssl", s("n")}});
        const QStringList axisKeys{s("video.ssl"), s("video.host"), s("video.port"), s("video.username"),
                                   s("video.password"), s("video.resolution"), s("video.fps"), s("video.compression")};
        QTest::newRow("generic") << static_cast<const VideoProfile *>(&generic)
                                 << (axisKeys + QStringList{s("video.path"), s("video.vapix")})
                                 << dictionary({{"video.type", s("GENMJPEG")}, {"video.ssl", s("n")},
                                                {"video.vapix", s("n")}});
        QTest::newRow("axis") << static_cast<const VideoProfile *>(&axis) << axisKeys << axisEmpty;
        QTest::newRow("axis server") << static_cast<const VideoProfile *>(&axisServer)
                                     << (axisKeys + QStringList{s("video.camera_number")})
                                     << dictionary({{"video.type", s("AXISSERVERMJPEG")}, {"video.vapix", s("1")},
                                                    {"video.ssl", s("n")}});
        QTest::newRow("milestone") << static_cast<const VideoProfile *>(&milestone)
                                   << QStringList{s("video.host"), s("video.port"), s("video.camera_name"),
                                                  s("video.username"), s("video.password")}
                                   << dictionary({{"video.type", s("MILESTONEMJPEG")}});
        QTest::newRow("sony") << static_cast<const VideoProfile *>(&sony)
                              << QStringList{s("video.ssl"), s("video.host"), s("video.port"), s("video.username"),
                                             s("video.password"), s("video.fps")}
                              << dictionary({{"video.type", s("SONYMJPEG")}, {"video.ssl", s("n")}});
        QTest::newRow("canon") << static_cast<const VideoProfile *>(&canon)
                               << QStringList{s("video.host"), s("video.port"), s("video.username"),
                                              s("video.password"), s("video.resolution"), s("video.fps"),
                                              s("video.compression")}
                               << dictionary({{"video.type", s("CANONMJPEG")}});
    }

    void videoFormsReadTheirKeys()
    {
        QFETCH(const VideoProfile *, profile);
        QFETCH(QStringList, keys);
        QFETCH(Value, empty);

        FakeFormHost form;
        profile->populateForm(form, Value());
        QCOMPARE(profile->readFromForm(form), empty);

        fillAll(form);
        Value expected = empty.deepCopy();
        for (const QString &key : keys)
            expected.insert(key, form.field(key)->isSwitch ? s("y") : filledValue(key));
        const Value read = profile->readFromForm(form);
        QCOMPARE(read.keys(), expected.keys());
        QCOMPARE(read, expected);
    }

    void ptzFormsShowTheStoredValues()
    {
        FakeFormHost form;
        QSGemineyePTZProfile::instance().populateForm(
            form, dictionary({{"control.port", s("4001")}, {"control.serial_id", s("3")}}));
        QVERIFY(form.field(s("control.host"))->getValue().isEmpty());
        QCOMPARE(form.field(s("control.port"))->getValue(), s("4001"));
        QCOMPARE(form.field(s("control.serial_id"))->getValue(), s("3"));

        // The HTTP protocols lay out nothing of their own.
        for (const PTZProfile *profile : {static_cast<const PTZProfile *>(&SonyPTZProfile::instance()),
                                          static_cast<const PTZProfile *>(&CanonPTZProfile::instance()),
                                          static_cast<const PTZProfile *>(&MilestonePTZProfile::instance())}) {
            FakeFormHost empty;
            profile->populateForm(empty, dictionary({{"control.host", s("127.0.0.1")}}));
            QCOMPARE(empty.model.numberOfSections(), 0);
        }
    }

    void ptzFormsReadTheirKeys_data()
    {
        QTest::addColumn<const PTZProfile *>("profile");
        QTest::addColumn<const VideoProfile *>("video");
        QTest::addColumn<Value>("filled");

        const auto copied = [](const char *protocol, const QStringList &suffixes) {
            Value d = dictionary({{"control.protocol", s(protocol)}});
            for (const QString &suffix : suffixes) {
                const QString source = s("video.") + suffix;
                d.insert(s("control.") + suffix, source == s("video.ssl") ? s("y") : filledValue(source));
            }
            return d;
        };
        const auto own = [](const char *protocol, const QStringList &keys) {
            Value d = dictionary({{"control.protocol", s(protocol)}});
            for (const QString &key : keys)
                d.insert(key, filledValue(key));
            return d;
        };
        QTest::newRow("axis") << static_cast<const PTZProfile *>(&AxisPTZProfile::instance())
                              << static_cast<const VideoProfile *>(&axisServer)
                              << copied("Axis PTZ", {s("port"), s("ssl"), s("host"), s("camera_number"),
                                                     s("username"), s("password")});
        QTest::newRow("sony") << static_cast<const PTZProfile *>(&SonyPTZProfile::instance())
                              << static_cast<const VideoProfile *>(&sony)
                              << copied("Sony PTZ", {s("host"), s("port"), s("username"), s("password")});
        QTest::newRow("canon") << static_cast<const PTZProfile *>(&CanonPTZProfile::instance())
                               << static_cast<const VideoProfile *>(&canon)
                               << copied("Canon PTZ", {s("port"), s("host"), s("username"), s("password")});
        QTest::newRow("milestone") << static_cast<const PTZProfile *>(&MilestonePTZProfile::instance())
                                   << static_cast<const VideoProfile *>(&milestone)
                                   << copied("Milestone PTZ", {s("host"), s("port"), s("camera_name"),
                                                               s("username"), s("password")});
        QTest::newRow("pelco") << static_cast<const PTZProfile *>(&PelcoPTZProfile::instance())
                               << static_cast<const VideoProfile *>(&generic)
                               << own("Pelco D PTZ", {s("control.host"), s("control.port"), s("control.serial_id")});
        QTest::newRow("gemineye") << static_cast<const PTZProfile *>(&QSGemineyePTZProfile::instance())
                                  << static_cast<const VideoProfile *>(&axisServer)
                                  << own("QuickSet GeminEye PTZ", {s("control.host"), s("control.port"),
                                                                   s("control.serial_id"),
                                                                   s("control.camera_number")});
        QTest::newRow("universal") << static_cast<const PTZProfile *>(&QSUnivProfile::instance())
                                   << static_cast<const VideoProfile *>(&generic)
                                   << own("QuickSet Universal PTZ", {s("control.host"), s("control.port")});
    }

    void ptzFormsReadTheirKeys()
    {
        QFETCH(const PTZProfile *, profile);
        QFETCH(const VideoProfile *, video);
        QFETCH(Value, filled);

        FakeFormHost form;
        video->populateForm(form, Value());
        profile->populateForm(form, Value());
        const Value protocolOnly = dictionary({{"control.protocol", profile->canHandleType()}});
        const Value empty = profile->readFromForm(form);
        // The copying protocols take the SSL switch's "n"; the others have nothing to say.
        if (filled.contains(s("control.ssl")))
            QCOMPARE(empty, dictionary({{"control.protocol", s("Axis PTZ")}, {"control.ssl", s("n")}}));
        else
            QCOMPARE(empty, protocolOnly);

        fillAll(form);
        const Value read = profile->readFromForm(form);
        QCOMPARE(read.keys(), filled.keys());
        QCOMPARE(read, filled);
    }

    void copiedPortsOfZeroAreLeftOut()
    {
        for (const PTZProfile *profile : {static_cast<const PTZProfile *>(&AxisPTZProfile::instance()),
                                          static_cast<const PTZProfile *>(&CanonPTZProfile::instance())}) {
            FakeFormHost form;
            axis.populateForm(form, dictionary({{"video.port", s("0")}}));
            QVERIFY(!profile->readFromForm(form).contains(s("control.port")));
            form.field(s("video.port"))->setValue(s("8080x"));
            QCOMPARE(profile->readFromForm(form).value(s("control.port")).toString(), s("8080x"));
        }
        FakeFormHost sonyForm;
        sony.populateForm(sonyForm, dictionary({{"video.port", s("0")}}));
        QCOMPARE(SonyPTZProfile::instance().readFromForm(sonyForm).value(s("control.port")).toString(), s("0"));
    }

    // The editor's save check, on the rows each profile lays out.
    void saveCheckNamesTheField_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("problem");
        QTest::newRow("empty host") << s("video.host") << s(" ") << s("Enter the camera's address in \"Host\".");
        for (const char *port : { "0", "65536", "80a", "-1" })
            QTest::addRow("port %s", port) << s("video.port") << s(port) << s("\"Port\" must be a number from 1 to 65535.");
        QTest::newRow("control port") << s("control.port") << s("99999") << s("\"Port\" must be a number from 1 to 65535.");
        for (const char *fps : { "fast", "0", "5000" })
            QTest::addRow("fps %s", fps) << s("video.fps") << s(fps) << s("\"Frames/Second\" must be a number of frames per second, such as 5.");
        for (const char *size : { "640*480", "x480", "640x", "0x480" })
            QTest::addRow("resolution %s", size) << s("video.resolution") << s(size)
                                                 << s("\"Resolution\" must be a width and a height, such as 640x480.");
        QTest::newRow("all fine") << s("video.fps") << s("2.5") << QString();
    }

    void saveCheckNamesTheField()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, problem);
        FakeFormHost form;
        axis.populateForm(form, dictionary({{"video.host", s("127.0.0.1")}, {"video.port", s("8080")},
                                            {"video.resolution", s("640x480")}, {"video.fps", s("5")}}));
        PelcoPTZProfile::instance().populateForm(form, Value::dictionary());
        QVERIFY(CameraFormCheck::problem(form).isEmpty());
        form.field(key)->setValue(value);
        QCOMPARE(CameraFormCheck::problem(form), problem);
    }
};

QTEST_GUILESS_MAIN(TestProfileForms)
#include "tst_profileforms.moc"
