// Link intake from the URL on, as a link from a mail or a second start arrives:
// parsed, decoded, checked, restricted and upgraded. A link that reads must make
// a link again that reads to the same definition.

#include "config/CameraProfileUpdater.h"
#include "config/PropertyList.h"
#include "fuzz/FuzzCheck.h"
#include "sharing/ConfigLink.h"

#include <QDateTime>
#include <QUrl>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QUrl url(QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1StringView("vyo"))
        return 0;
    const std::optional<ConfigLink::Type> type = ConfigLink::typeOfHost(url.host());
    if (!type)
        return 0;
    const Value definition = ConfigLink::extractConfigFromEncodedData(ConfigLink::payloadOf(url), *type);
    if (definition.isNull())
        return 0;

    QString error;
    const QString link = ConfigLink::makeLink(*type, definition, &error);
    FUZZ_CHECK(!link.isEmpty());
    const QUrl made(link, QUrl::StrictMode);
    FUZZ_CHECK(made.isValid());
    const Value again = ConfigLink::extractConfigFromEncodedData(ConfigLink::payloadOf(made), *type);
    FUZZ_CHECK(PropertyList::toBinary(again, nullptr) == PropertyList::toBinary(definition, nullptr));

    ConfigLink::checkRestriction(definition, QStringLiteral("device"), QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
    if (*type == ConfigLink::Group)
        CameraProfileUpdater::convertGroupDefinition(definition);
    else
        CameraProfileUpdater::convertCameraDefinition(definition);
    return 0;
}
