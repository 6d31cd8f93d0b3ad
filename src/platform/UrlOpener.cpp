#include "platform/UrlOpener.h"

#include "util/QelLog.h"

#include <QDesktopServices>

namespace {

class DesktopUrlOpener final : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        if (QDesktopServices::openUrl(url))
            return true;
        QEL_LOG(LogLevel::Error, QStringLiteral("Could not open %1 on this desktop").arg(url.scheme()));
        return false;
    }
};

UrlOpener *installed = nullptr;

} // namespace

UrlOpener &UrlOpener::shared()
{
    static DesktopUrlOpener desktop;
    return installed ? *installed : desktop;
}

void UrlOpener::setShared(UrlOpener *opener)
{
    installed = opener;
}
