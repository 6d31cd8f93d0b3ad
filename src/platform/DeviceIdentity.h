#pragma once

#include <QString>

// This device's unique identifier: an application-specific hash of the systemd
// machine id, so the raw machine id never leaves the machine.
class DeviceIdentity final
{
public:
    DeviceIdentity() = delete;

    // Forty upper-case hexadecimal digits, stable across runs.
    static QString uniqueIdentifier();
    static QString identifierFor(const QByteArray &machineId);
};
