#pragma once

#include <QString>

// What a camera is doing, as its views tell the user.
enum class CameraState {
    Idle,                 // not started, or stopped
    Connecting,           // started, no picture yet
    Playing,              // pictures arrive
    Unreachable,          // refused, host not found, no route, timed out
    Unauthorized,         // HTTP 401/403, a refused server login
    NotFound,             // HTTP 404
    Silent,               // connected, but no picture for a while
    NotVideo,             // parts arrive that do not decode
    UntrustedCertificate, // TLS certificate not trusted yet
    CertificateChanged,   // TLS certificate differs from the trusted one
};

// The words a view shows for a state; empty for states that show no caption.
// Silent counts up in the view, so its words take the seconds without a picture.
QString cameraStateText(CameraState state, int silentSeconds = 0);
// The states in which the camera shows nothing until someone acts or it recovers;
// Idle and Connecting say nothing yet.
bool isCameraFailing(CameraState state);
