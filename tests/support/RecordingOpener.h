#pragma once

#include "platform/UrlOpener.h"

#include <QList>

// Keeps the URLs the code under test would hand to the desktop.
class RecordingOpener final : public UrlOpener
{
public:
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return true;
    }
    QList<QUrl> opened;
};
