// The shared helpers: Base64 both ways, the C-string search, memmem, the text
// readers of the record model, URL user information and the log mask. The first
// byte splits the rest into two inputs.

#include "config/LogMask.h"
#include "config/Value.h"
#include "fuzz/FuzzCheck.h"
#include "util/Utilities.h"
#include "video/JpegEndFinder.h"

#include <QUrl>

#include <algorithm>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    const qsizetype at = std::min<qsizetype>(data[0], rest.size());
    const QByteArray first = rest.left(at);
    const QByteArray second = rest.mid(at);
    const QString text = QString::fromUtf8(rest);

    const QByteArray decoded = Utilities::base64Decode(QString::fromLatin1(rest));
    FUZZ_CHECK(decoded.size() <= rest.size() / 4 * 3);
    FUZZ_CHECK(Utilities::base64Decode(Utilities::base64Encode(rest)) == rest);

    const void *hit = vyo::memmem(second.constData(), size_t(second.size()), first.constData(), size_t(first.size()));
    const auto found = std::search(second.cbegin(), second.cend(), first.cbegin(), first.cend());
    const char *want = found == second.cend() ? nullptr : second.constData() + (found - second.cbegin());
    FUZZ_CHECK(hit == (first.isEmpty() ? second.constData() : want));
    Utilities::indexOfString(QString::fromUtf8(first), QString::fromUtf8(second));

    Value::truthOf(text);
    Value::integerOf(text);

    if (!text.contains(QLatin1StringView("://")))
        FUZZ_CHECK(LogMask::text(text) == text);
    const QString user = QString::fromUtf8(first);
    const QString password = QString::fromUtf8(second);
    // QUrl keeps Unicode noncharacters percent-encoded even when asked to decode.
    const auto plain = [](const QString &s) {
        const QList<uint> points = s.toUcs4();
        return std::none_of(points.cbegin(), points.cend(), [](uint c) { return QChar::isNonCharacter(c); });
    };
    if (!user.isEmpty() && plain(user) && plain(password)) {
        const QUrl url(QStringLiteral("http://%1127.0.0.1/").arg(Utilities::urlUserInfo(user, password)), QUrl::StrictMode);
        FUZZ_CHECK(url.isValid());
        FUZZ_CHECK(url.userName(QUrl::FullyDecoded) == user);
        FUZZ_CHECK(url.password(QUrl::FullyDecoded) == password);
        FUZZ_CHECK(password.isEmpty() || LogMask::url(url).contains(QLatin1StringView(":****@")));
    }

    // The end of a picture does not depend on how its bytes come.
    JpegEndFinder whole;
    JpegEndFinder piecewise;
    const qsizetype end = whole.feed(rest.constData(), rest.size());
    const qsizetype firstEnd = piecewise.feed(first.constData(), first.size());
    const qsizetype secondEnd = firstEnd >= 0 ? -1 : piecewise.feed(second.constData(), second.size());
    FUZZ_CHECK(end == (firstEnd >= 0 ? firstEnd : secondEnd >= 0 ? at + secondEnd : -1));
    return 0;
}
