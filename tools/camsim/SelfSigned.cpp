#include "camsim/SelfSigned.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>

#include <functional>
#include <memory>

namespace {

template<typename T, void (*Free)(T *)>
struct Deleter
{
    void operator()(T *p) const { Free(p); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, Deleter<X509, X509_free>>;
void freeBio(BIO *bio)
{
    BIO_free(bio);
}
using BioPtr = std::unique_ptr<BIO, Deleter<BIO, freeBio>>;

QByteArray pem(const std::function<int(BIO *)> &write)
{
    const BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || write(bio.get()) != 1)
        return {};
    char *data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return QByteArray(data, static_cast<qsizetype>(size));
}

} // namespace

SelfSigned SelfSigned::make(const QString &commonName)
{
    const KeyPtr key(EVP_EC_gen("P-256"));
    const CertPtr cert(X509_new());
    if (!key || !cert)
        return SelfSigned();
    unsigned char serial[8];
    if (RAND_bytes(serial, sizeof serial) != 1)
        return SelfSigned();
    serial[0] &= 0x7f;
    ASN1_INTEGER *number = X509_get_serialNumber(cert.get());
    BIGNUM *value = BN_bin2bn(serial, sizeof serial, nullptr);
    const bool serialSet = value && BN_to_ASN1_INTEGER(value, number);
    BN_free(value);
    X509_NAME *name = X509_get_subject_name(cert.get());
    const QByteArray cn = commonName.toUtf8();
    const bool ok = serialSet && X509_set_version(cert.get(), 2) == 1
        && X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600)
        && X509_gmtime_adj(X509_getm_notAfter(cert.get()), 365L * 24 * 3600)
        && X509_set_pubkey(cert.get(), key.get()) == 1
        && X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8, reinterpret_cast<const unsigned char *>(cn.constData()),
                                      static_cast<int>(cn.size()), -1, 0)
            == 1
        && X509_set_issuer_name(cert.get(), name) == 1 && X509_sign(cert.get(), key.get(), EVP_sha256()) > 0;
    if (!ok)
        return SelfSigned();
    const QByteArray keyPem = pem([&key](BIO *bio) {
        return PEM_write_bio_PrivateKey(bio, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    });
    const QByteArray certPem = pem([&cert](BIO *bio) { return PEM_write_bio_X509(bio, cert.get()); });
    return { QSslKey(keyPem, QSsl::Ec), QSslCertificate(certPem) };
}
