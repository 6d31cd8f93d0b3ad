#include "config/QelCrypto.h"

#include "util/QelLog.h"

#include <nettle/cbc.h>
#include <nettle/des.h>

namespace {

constexpr qsizetype BlockSize = DES_BLOCK_SIZE;

bool makeContext(des_ctx *ctx)
{
    // des_set_key fails only for the weak keys, and MASTER_KEY is not one.
    return des_set_key(ctx, QelCrypto::MASTER_KEY.data()) != 0;
}

// Adapters with the exact signature the CBC mode calls through.
void desEncrypt(const void *ctx, size_t length, uint8_t *dst, const uint8_t *src)
{
    des_encrypt(static_cast<const des_ctx *>(ctx), length, dst, src);
}

void desDecrypt(const void *ctx, size_t length, uint8_t *dst, const uint8_t *src)
{
    des_decrypt(static_cast<const des_ctx *>(ctx), length, dst, src);
}

} // namespace

std::optional<QByteArray> QelCrypto::encryptBlob(const QByteArray &plain, const Block &iv)
{
    des_ctx ctx;
    if (!makeContext(&ctx)) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("Failed to encrypt data: %1").arg(int(ParamError)));
        return std::nullopt;
    }
    // PKCS#7 always pads, with 1 to 8 bytes that each hold the pad length.
    const qsizetype pad = BlockSize - plain.size() % BlockSize;
    QByteArray buffer = plain;
    buffer.append(pad, static_cast<char>(pad));

    Block chain = iv;
    auto *bytes = reinterpret_cast<uint8_t *>(buffer.data());
    cbc_encrypt(&ctx, desEncrypt, BlockSize, chain.data(),
                static_cast<size_t>(buffer.size()), bytes, bytes);
    return buffer;
}

std::optional<QByteArray> QelCrypto::decryptBlob(const QByteArray &cipher, const Block &iv)
{
    des_ctx ctx;
    if (!makeContext(&ctx)) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("Failed to decrypt data: %1").arg(int(ParamError)));
        return std::nullopt;
    }
    if (cipher.isEmpty() || cipher.size() % BlockSize != 0) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("Failed to decrypt data: %1").arg(int(AlignmentError)));
        return std::nullopt;
    }
    QByteArray buffer = cipher;
    Block chain = iv;
    auto *bytes = reinterpret_cast<uint8_t *>(buffer.data());
    cbc_decrypt(&ctx, desDecrypt, BlockSize, chain.data(),
                static_cast<size_t>(buffer.size()), bytes, bytes);

    const auto pad = static_cast<unsigned char>(buffer.back());
    bool valid = pad >= 1 && pad <= BlockSize;
    for (qsizetype i = 1; valid && i <= pad; ++i)
        valid = static_cast<unsigned char>(buffer[buffer.size() - i]) == pad;
    if (!valid) {
        QEL_LOG(LogLevel::Debug, QStringLiteral("Failed to decrypt data: %1").arg(int(DecodeError)));
        return std::nullopt;
    }
    buffer.chop(pad);
    return buffer;
}
