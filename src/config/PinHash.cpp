#include "config/PinHash.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QStringList>

#include <nettle/pbkdf2.h>

namespace {

const QString Scheme = QStringLiteral("pbkdf2-sha256");
constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;
// A hand-edited count could make every check take minutes.
constexpr qint64 MaxIterations = 10'000'000;

QByteArray derive(const QString &pin, const QByteArray &salt, int iterations)
{
    const QByteArray key = pin.toUtf8();
    QByteArray out(HashBytes, '\0');
    pbkdf2_hmac_sha256(static_cast<size_t>(key.size()), reinterpret_cast<const uint8_t *>(key.constData()),
                       static_cast<unsigned>(iterations), static_cast<size_t>(salt.size()),
                       reinterpret_cast<const uint8_t *>(salt.constData()), HashBytes,
                       reinterpret_cast<uint8_t *>(out.data()));
    return out;
}

// Every byte compared, so that the time taken says nothing about where they differ.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

} // namespace

QString PinHash::hash(const QString &pin)
{
    QByteArray salt(SaltBytes, '\0');
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    return QStringList{ Scheme, QString::number(Iterations), QString::fromLatin1(salt.toBase64()),
                        QString::fromLatin1(derive(pin, salt, Iterations).toBase64()) }
        .join(QLatin1Char('$'));
}

bool PinHash::matches(const QString &pin, const QString &stored)
{
    const QStringList fields = stored.split(QLatin1Char('$'));
    if (fields.size() != 4 || fields.at(0) != Scheme)
        return false;
    bool ok = false;
    const qint64 iterations = fields.at(1).toLongLong(&ok);
    if (!ok || iterations < 1 || iterations > MaxIterations)
        return false;
    const auto decode = [](const QString &field) {
        return QByteArray::fromBase64Encoding(field.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    };
    const auto salt = decode(fields.at(2));
    const auto expected = decode(fields.at(3));
    if (!salt || !expected || salt.decoded.isEmpty() || expected.decoded.size() != HashBytes)
        return false;
    return sameBytes(derive(pin, salt.decoded, int(iterations)), expected.decoded);
}
