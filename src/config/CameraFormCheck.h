#pragma once

#include <QString>

class FormHost;

// What the camera editor refuses to save: an empty host, a port that is not a
// number from 1 to 65535, a frame rate or a resolution that does not parse. Only
// the rows the form has are checked; empty optional rows mean their default.
class CameraFormCheck final
{
public:
    CameraFormCheck() = delete;

    // Why the form cannot be saved, naming the field; empty when it can.
    static QString problem(const FormHost &form);
};
