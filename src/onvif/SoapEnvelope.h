#pragma once

#include "onvif/XmlElement.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class QXmlStreamWriter;

// Writes the body's elements. The envelope declares the prefixes of the usual ONVIF
// namespaces (s, tds, trt, tr2, tt, tptz), so writers just name the namespace URI.
using SoapBodyWriter = std::function<void(QXmlStreamWriter &writer)>;

// What came of one SOAP exchange.
struct SoapResult
{
    enum class Status {
        Ok,
        Fault,         // the device answered with a SOAP fault other than the two below
        NotAuthorized, // credentials refused (fault or HTTP 401)
        TimedOut,
        TooLarge,      // the reply passed the size cap and was cut off
        Malformed,     // not a SOAP envelope
        NetworkError,  // no connection, refused, reset, HTTP error without an envelope
    };

    Status status = Status::NetworkError;
    // The fault's reason text, or what went wrong; never a credential.
    QString reason;
    // The local name of the most specific fault code ("NotAuthorized", "ActionNotSupported").
    QString faultCode;
    int httpStatus = 0;
    // The Body's first element: the response on success, the Fault on a fault.
    std::optional<XmlElement> body;

    bool ok() const { return status == Status::Ok; }
};

// The SOAP 1.2 envelope of requests, and the reading of replies in SOAP 1.2 or 1.1.
class SoapEnvelope final
{
public:
    SoapEnvelope() = delete;

    // A request; with a user name, a UsernameToken header made of nonce and createdUtc.
    static QByteArray request(const SoapBodyWriter &body, const QString &user, const QString &password,
                              const QByteArray &nonce, const QDateTime &createdUtc);
    // Reads a reply body that came with this HTTP status (0 when unknown).
    static SoapResult reply(const QByteArray &bytes, int httpStatus);
};
