// vyo-camsim's HTTP request heads and their Basic and Digest credentials.

#include "camsim/HttpAuth.h"
#include "camsim/HttpConnection.h"
#include "fuzz/FuzzCheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray head(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<HttpRequest> request = HttpConnection::parseHead(head);
    if (!request)
        return 0;
    FUZZ_CHECK(!request->method.contains(' ') && !request->target.contains(' '));
    static const HttpAuth basic(QStringLiteral("basic"), QStringLiteral("u"), QStringLiteral("p"));
    static const HttpAuth digest(QStringLiteral("digest"), QStringLiteral("u"), QStringLiteral("p"));
    basic.accepts(*request);
    digest.accepts(*request);
    return 0;
}
