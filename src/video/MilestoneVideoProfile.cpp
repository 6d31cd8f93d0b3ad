#include "video/MilestoneVideoProfile.h"

#include "config/FormHost.h"
#include "ptz/MilestonePTZProfile.h"

#include "video/MilestoneMJPEGStreamReader.h"

#include <QCoreApplication>
#include <QUrl>

QString MilestoneVideoProfile::description() const
{
    return QStringLiteral("Milestone - Motion JPEG");
}

QString MilestoneVideoProfile::canHandleType() const
{
    return QStringLiteral("MILESTONEMJPEG");
}

std::unique_ptr<FrameProducer> MilestoneVideoProfile::streamFromParms(const Value &params, bool thumbnail,
                                                                      QThread *thread) const
{
    // The reader checks for a host when it connects.
    auto reader = std::make_unique<MilestoneMJPEGStreamReader>(thread);
    reader->setConnectionParameters(params, QUrl());
    reader->setThumbnailMode(thumbnail);
    return reader;
}

void MilestoneVideoProfile::populateForm(FormHost &form, const Value &params) const
{
    form.setTitle(description());
    const FormSectionRef server = addTitledSection(form, QStringLiteral("server"),
                                                   QCoreApplication::translate("VideoProfile", "Server Options"));
    addTextRow(form, server, params, QStringLiteral("video.camera_name"),
               QCoreApplication::translate("VideoProfile", "Camera"), Field::Wide,
               QCoreApplication::translate("VideoProfile", "camera name"));
    addHostRow(form, server, params);
    addPortRow(form, server, params, FormTextEntry::Keyboard::NumbersAndPunctuation);
    addCredentialRows(form, server, params);
}

Value MilestoneVideoProfile::readFromForm(const FormHost &form) const
{
    return readKeys(form, {QStringLiteral("video.host"), QStringLiteral("video.port"),
                           QStringLiteral("video.camera_name"), QStringLiteral("video.username"),
                           QStringLiteral("video.password")});
}

QList<const PTZProfile *> MilestoneVideoProfile::compatiblePTZList() const
{
    return {&MilestonePTZProfile::instance()};
}
