#include "util/Utilities.h"

#include <QUrl>

#include <cstring>

namespace {

constexpr char ASCII_VALS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

QByteArray untilNul(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return bytes;
}

} // namespace

int getDecimalValue(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return 0;
}

QString Utilities::base64Encode(const QByteArray &data)
{
    const auto *in = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype n = data.size();
    QString out;
    out.reserve(static_cast<qsizetype>(static_cast<double>(n) * 1.37) + 4);
    const auto put = [&out](unsigned v) { out.append(QLatin1Char(ASCII_VALS[v & 0x3F])); };
    for (qsizetype i = 0; i < n; i += 3) {
        const qsizetype r = n - i;
        const unsigned b0 = in[i];
        if (r == 1) {
            put(b0 >> 2);
            put(b0 << 4);
            out.append(QLatin1StringView("=="));
        } else if (r == 2) {
            const unsigned b1 = in[i + 1];
            put(b0 >> 2);
            put((b0 << 4) | (b1 >> 4));
            put(b1 << 2);
            out.append(QLatin1Char('='));
        } else {
            const unsigned b1 = in[i + 1];
            const unsigned b2 = in[i + 2];
            put(b0 >> 2);
            put((b0 << 4) | (b1 >> 4));
            put((b1 << 2) | (b2 >> 6));
            put(b2);
        }
    }
    return out;
}

QByteArray Utilities::base64Decode(const QString &text)
{
    // Base64 text is ASCII; anything else decodes as 0 like any foreign character.
    const QByteArray p = text.toLatin1();
    const qsizetype textLength = p.size();
    qsizetype n = textLength;
    qsizetype outLength = (n / 4) * 3;
    if (n >= 2 && p[n - 2] == '=') {
        n -= 2;
        outLength -= 2;
    } else if (n >= 1 && p[n - 1] == '=') {
        n -= 1;
        outLength -= 1;
    }
    if (outLength < 0)
        outLength = 0;

    QByteArray out(outLength, '\0');
    // Characters past the end of short or unaligned text read as 0.
    const auto v = [&p, textLength](qsizetype k) {
        return k < textLength ? getDecimalValue(p[k]) : 0;
    };
    const auto store = [&out, outLength](qsizetype pos, int value) {
        if (pos < outLength)
            out[pos] = static_cast<char>(value & 0xFF);
    };
    qsizetype pos = 0;
    for (qsizetype i = 0; i < n; i += 4, pos += 3) {
        const qsizetype left = n - i;
        store(pos, (v(i) << 2) | (v(i + 1) >> 4));
        if (left > 2)
            store(pos + 1, (v(i + 1) << 4) | (v(i + 2) >> 2));
        if (left > 3)
            store(pos + 2, (v(i + 2) << 6) | v(i + 3));
    }
    return out;
}

qsizetype Utilities::indexOfString(const QString &needle, const QString &haystack)
{
    return untilNul(haystack).indexOf(untilNul(needle));
}

const void *vyo::memmem(const void *haystack, std::size_t haystackLength, const void *needle,
                        std::size_t needleLength)
{
    if (needleLength == 0)
        return haystack;
    if (haystackLength < needleLength)
        return nullptr;
    const auto *h = static_cast<const unsigned char *>(haystack);
    const auto *s = static_cast<const unsigned char *>(needle);
    for (std::size_t i = 0; i <= haystackLength - needleLength; ++i) {
        if (h[i] == s[0] && std::memcmp(h + i, s, needleLength) == 0)
            return h + i;
    }
    return nullptr;
}

QString Utilities::urlUserInfo(const QString &user, const QString &password)
{
    if (user.isEmpty())
        return {};
    QString info = QString::fromLatin1(QUrl::toPercentEncoding(user));
    if (!password.isEmpty())
        info += QLatin1Char(':') + QString::fromLatin1(QUrl::toPercentEncoding(password));
    return info + QLatin1Char('@');
}
