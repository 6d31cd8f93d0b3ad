#pragma once

#include "config/Value.h"

// Brings camera definitions of older layouts (whole "video.url" and "control.url")
// up to the current one, in place. Definitions already current pass untouched.
class CameraProfileUpdater final
{
public:
    CameraProfileUpdater() = delete;

    static constexpr int CurrentDefinitionVersion = 1;

    // Each returns the very object it was given.
    static Value convertCameraDefinition(Value camera);
    static Value convertGroupDefinition(const Value &group);
    static Value loadFilter(const Value &groups);
};
