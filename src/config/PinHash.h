#pragma once

#include <QString>

// The settings PIN as the preferences keep it: PBKDF2-HMAC-SHA256 over a random
// salt, written "pbkdf2-sha256$iterations$salt$hash" with Base64 fields, so that
// the file never holds the PIN and a copied file does not give it away cheaply.
class PinHash final
{
public:
    PinHash() = delete;

    static constexpr int Iterations = 100000;

    // A fresh salt each time: the same PIN hashes differently.
    static QString hash(const QString &pin);
    // False for a wrong PIN and for a stored text that is not such a hash.
    static bool matches(const QString &pin, const QString &stored);
};
