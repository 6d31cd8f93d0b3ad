#include "video/CameraState.h"

#include <QCoreApplication>

QString cameraStateText(CameraState state, int silentSeconds)
{
    switch (state) {
    case CameraState::Idle:
    case CameraState::Playing:
        return {};
    case CameraState::Connecting:
        return QCoreApplication::translate("CameraState", "Connecting…");
    case CameraState::Unreachable:
        return QCoreApplication::translate("CameraState", "Camera unreachable");
    case CameraState::Unauthorized:
        return QCoreApplication::translate("CameraState", "Wrong user name or password");
    case CameraState::NotFound:
        return QCoreApplication::translate("CameraState", "Not found on the camera");
    case CameraState::Silent:
        return QCoreApplication::translate("CameraState", "No picture for %1 s").arg(silentSeconds);
    case CameraState::NotVideo:
        return QCoreApplication::translate("CameraState", "Not a video stream");
    case CameraState::UntrustedCertificate:
        return QCoreApplication::translate("CameraState", "Untrusted certificate");
    case CameraState::CertificateChanged:
        return QCoreApplication::translate("CameraState", "Certificate changed");
    }
    return {};
}

bool isCameraFailing(CameraState state)
{
    switch (state) {
    case CameraState::Idle:
    case CameraState::Connecting:
    case CameraState::Playing:
        return false;
    default:
        return true;
    }
}
