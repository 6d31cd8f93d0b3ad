// vyoctl discover: the cameras the network announces, seen the way the viewer sees them.

#include "vyoctl/Command.h"

#include "config/PropertyList.h"
#include "discovery/BonjourDelegate.h"
#include "discovery/BonjourHandler.h"
#include "platform/AvahiBrowser.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace vyoctl {

namespace {

class Quiet final : public BonjourDelegate
{
public:
    void bonjourListChanged() override {}
};

QString field(const Value &camera, const char *section, const char *key)
{
    const QString text = camera.value(QString::fromLatin1(section)).value(QString::fromLatin1(key)).toString();
    return text.isEmpty() ? QStringLiteral("-") : text;
}

} // namespace

int runDiscover(const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser, QStringLiteral("Lists the cameras announced by DNS-SD (\"_qelcam._tcp\")."));
    parser.addPositionalArgument(QStringLiteral("discover"), QStringLiteral("the command"));
    parser.addOption({ QStringLiteral("timeout"), QStringLiteral("Listen for <seconds> (default 3)."),
                       QStringLiteral("seconds"), QStringLiteral("3") });
    parser.addOption({ QStringLiteral("plist"), QStringLiteral("Print the definitions as an XML property list.") });
    int code = Ok;
    if (!parseCommon(parser, arguments, &code))
        return code;
    bool ok = false;
    const double seconds = parser.value(QStringLiteral("timeout")).toDouble(&ok);
    if (!ok || seconds <= 0 || seconds > 3600)
        return fail(BadInput, QStringLiteral("--timeout takes a number of seconds up to 3600"));

    Quiet quiet;
    const std::unique_ptr<BonjourHandler> handler = BonjourHandler::create(&quiet, std::make_unique<AvahiBrowser>());
    if (!handler)
        return fail(Failure, QStringLiteral("DNS-SD browsing is not available"));
    QTimer::singleShot(static_cast<int>(seconds * 1000), QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();

    const QList<Value> cameras = handler->detectedCameras();
    if (parser.isSet(QStringLiteral("plist"))) {
        Value list = Value::array();
        for (const Value &camera : cameras) {
            // The live service handle stays behind: it has no written form.
            Value copy = camera.deepCopy();
            copy.remove(QStringLiteral("service"));
            list.append(copy);
        }
        QString error;
        const QByteArray xml = PropertyList::toXml(list, &error);
        std::fwrite(xml.constData(), 1, static_cast<size_t>(xml.size()), stdout);
        return Ok;
    }
    QTextStream out(stdout);
    if (cameras.isEmpty())
        out << "no cameras found\n";
    for (const Value &camera : cameras) {
        out << camera.value(QStringLiteral("title")).toString() << '\t' << field(camera, "video.parameters", "video.type")
            << '\t' << field(camera, "video.parameters", "video.host") << '\t'
            << field(camera, "video.parameters", "video.port") << '\t'
            << field(camera, "control.parameters", "control.protocol") << '\n';
    }
    return Ok;
}

} // namespace vyoctl
