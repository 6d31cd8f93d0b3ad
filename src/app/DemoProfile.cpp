#include "app/DemoProfile.h"

#include "config/DefaultSettings.h"
#include "config/DefinitionCheck.h"
#include "config/GroupStore.h"
#include "config/PropertyList.h"
#include "platform/Preferences.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>

DemoProfile::DemoProfile() = default;

DemoProfile::~DemoProfile()
{
    m_simulator.terminate();
    if (!m_simulator.waitForFinished(3000))
        m_simulator.kill();
    m_simulator.waitForFinished(3000);
}

QString DemoProfile::simulatorPath()
{
    const QString fromEnvironment = qEnvironmentVariable("VYO_CAMSIM");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/vyo-camsim");
    if (QFileInfo::exists(installed))
        return installed;
    return QStringLiteral(VYO_CAMSIM_BUILD_PATH);
}

bool DemoProfile::start(QString *error)
{
    if (!m_dir.isValid()) {
        *error = QStringLiteral("cannot create a temporary profile");
        return false;
    }
    m_simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_simulator.start(simulatorPath(), { QStringLiteral("--demo"), QStringLiteral("--print-group"),
                                         QStringLiteral("--announce") });
    if (!m_simulator.waitForStarted(10000)) {
        *error = QStringLiteral("cannot start %1: %2").arg(simulatorPath(), m_simulator.errorString());
        return false;
    }
    QByteArray out;
    const QDeadlineTimer deadline(30000);
    while (!out.contains("</plist>") && !deadline.hasExpired() && m_simulator.state() == QProcess::Running) {
        m_simulator.waitForReadyRead(200);
        out += m_simulator.readAllStandardOutput();
    }
    const Value groups = PropertyList::fromData(out, error);
    if (groups.isNull() || !DefinitionCheck::groupListProblem(groups).isEmpty()) {
        *error = QStringLiteral("the simulator printed no usable group: %1").arg(*error);
        return false;
    }
    Preferences preferences(m_dir.filePath(QStringLiteral("preferences.conf")));
    DefaultSettings::initializeDefaultSettings(preferences);
    GroupStore store(preferences, m_dir.path());
    for (const Value &group : groups.items())
        store.addGroup(group);
    store.persistGroupSelection();
    // The demo opens straight on the live view.
    preferences.setRegistrationShown(true);
    return store.persistBulkData();
}
