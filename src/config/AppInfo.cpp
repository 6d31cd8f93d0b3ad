#include "config/AppInfo.h"

#include <QFile>
#include <QHash>
#include <QStandardPaths>

namespace {

const QString ConfigFile = QStringLiteral("vyo/app-info.conf");

QHash<QString, QString> builtIn()
{
    return {
        { AppInfo::HelpURL, QStringLiteral("vyo.example.org/help") },
        { AppInfo::HelpEmail, QStringLiteral("help@vyo.example.org") },
        { AppInfo::BundleVersion, QStringLiteral(VYO_VERSION) },
        { AppInfo::BundleIdentifier, QStringLiteral("org.example.vyo") },
        { AppInfo::BundleDisplayName, QStringLiteral("Vyo") },
        { AppInfo::Copyright, QStringLiteral("© 2026 The Vyo developers") },
    };
}

// "Key = value" lines in UTF-8; blank lines, "#" and ";" comments and section
// headers are skipped. Read by hand because QSettings turns commas into lists.
void readFile(const QString &path, QHash<QString, QString> &into)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    // A configuration file is a few lines; anything far larger is not one.
    const QByteArray content = file.read(64 * 1024);
    for (const QByteArray &raw : content.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';') || line.startsWith(u'['))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (value.isEmpty())
            into.remove(key);
        else
            into.insert(key, value);
    }
}

QHash<QString, QString> load()
{
    QHash<QString, QString> values = builtIn();
    // locateAll lists the user's file first; it is read last so that it wins.
    const QStringList files = QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation, ConfigFile);
    for (auto it = files.crbegin(); it != files.crend(); ++it)
        readFile(*it, values);
    const QList<std::pair<QLatin1StringView, const char *>> environment = {
        { AppInfo::HelpURL, "VYO_HELP_URL" },
        { AppInfo::HelpEmail, "VYO_HELP_EMAIL" },
        { AppInfo::RegURL, "VYO_REG_URL" },
    };
    for (const auto &[key, variable] : environment) {
        if (qEnvironmentVariableIsSet(variable))
            values.insert(key, qEnvironmentVariable(variable));
    }
    return values;
}

QHash<QString, QString> &values()
{
    static QHash<QString, QString> loaded = load();
    return loaded;
}

} // namespace

QString AppInfo::value(QLatin1StringView key)
{
    return values().value(key);
}

void AppInfo::setValue(QLatin1StringView key, const QString &value)
{
    if (value.isNull())
        values().remove(key);
    else
        values().insert(key, value);
}

void AppInfo::reload()
{
    values() = load();
}
