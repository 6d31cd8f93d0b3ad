#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>

// DES-CBC with PKCS#7 padding under the one compiled-in key. These byte values are
// part of the file and link formats: every build must use exactly these.
class QelCrypto final
{
public:
    QelCrypto() = delete;

    using Block = std::array<std::uint8_t, 8>;

    static constexpr Block MASTER_KEY = { 0x5A, 0x3C, 0x96, 0xE1, 0x0F, 0x7B, 0xD2, 0x48 };
    static constexpr Block STORAGE_IV = { 0xA7, 0x19, 0x6E, 0xC3, 0x52, 0x8D, 0x04, 0xF6 };
    // Indexed by link type: 0 camera, 1 group, 2 ad-hoc camera.
    static constexpr std::array<Block, 3> URL_INIT_VECS = { {
        { 0x3E, 0xB1, 0x75, 0x0A, 0xD9, 0x64, 0x2F, 0x8C },
        { 0xC8, 0x57, 0x1D, 0xA2, 0x6B, 0xF0, 0x93, 0x35 },
        { 0x14, 0xE9, 0x8A, 0x7F, 0x31, 0xC6, 0x5D, 0xB2 },
    } };

    // Status codes of the cipher, as logged on failure.
    enum Status : int {
        Success = 0,
        ParamError = -4300,
        BufferTooSmall = -4301,
        AlignmentError = -4303,
        DecodeError = -4304,
    };

    // Absent on failure, after one level-1 log line with the status code.
    static std::optional<QByteArray> encryptBlob(const QByteArray &plain, const Block &iv);
    static std::optional<QByteArray> decryptBlob(const QByteArray &cipher, const Block &iv);
};
