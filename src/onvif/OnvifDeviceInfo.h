#pragma once

#include <QList>
#include <QString>
#include <QUrl>

// One media profile of a device, as its GetProfiles reply describes it.
struct OnvifMediaProfile
{
    QString token;
    QString name;
    // "H264", "H265", "JPEG", "MPEG4" or what else the device says, upper case.
    QString encoding;
    int width = 0;
    int height = 0;

    bool isH26x() const { return encoding == QLatin1String("H264") || encoding == QLatin1String("H265"); }
    // "Name (H.264, 1920x1080)" for the editor and vyoctl.
    QString summary() const;
};

// What resolving a device found: its services, profiles and the chosen streams.
struct OnvifDeviceInfo
{
    QUrl deviceService;
    QUrl mediaService;
    // Empty when the device offers no Media2 service.
    QUrl media2Service;
    QUrl ptzService;
    qint64 clockOffsetMs = 0;
    QList<OnvifMediaProfile> profiles;
    int mainIndex = -1;
    int gridIndex = -1;
    QString mainUri;
    QString gridUri;
    // Empty when the device has none or refuses to say.
    QString snapshotUri;

    bool usesMedia2() const { return !media2Service.isEmpty(); }
    const OnvifMediaProfile *mainProfile() const { return profile(mainIndex); }
    const OnvifMediaProfile *gridProfile() const { return profile(gridIndex); }
    const OnvifMediaProfile *profile(int index) const
    {
        return index >= 0 && index < profiles.size() ? &profiles.at(index) : nullptr;
    }
    // The index of the profile with this token, or -1.
    int indexOf(const QString &token) const;

    // The largest H.264/H.265 profile as main and the smallest as grid (any codec when
    // none is H.264/H.265); a preferred token that names a profile wins.
    void chooseStreams(const QString &preferredMain, const QString &preferredGrid);
};
