#include "onvif/SoapEnvelope.h"

#include "onvif/OnvifNamespaces.h"
#include "onvif/UsernameToken.h"

#include <QXmlStreamWriter>

namespace {

// "ter:NotAuthorized" names a QName; its local part is what callers compare.
QString localPart(const QString &qualifiedName)
{
    const qsizetype colon = qualifiedName.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? qualifiedName : qualifiedName.mid(colon + 1);
}

bool refusesCredentials(const QString &code)
{
    return code == QLatin1String("NotAuthorized") || code == QLatin1String("FailedAuthentication")
           || code == QLatin1String("InvalidSecurityToken") || code == QLatin1String("InvalidSecurity");
}

void readFault(const XmlElement &fault, SoapResult &result)
{
    result.status = SoapResult::Status::Fault;
    if (fault.namespaceUri() == OnvifNs::Soap12) {
        // The innermost subcode says most; devices nest one or two.
        const XmlElement *code = fault.child(OnvifNs::Soap12, QStringLiteral("Code"));
        for (int depth = 0; code && depth < 4; ++depth) {
            const QString value = localPart(code->childText(OnvifNs::Soap12, QStringLiteral("Value")));
            if (!value.isEmpty())
                result.faultCode = value;
            if (refusesCredentials(value))
                result.status = SoapResult::Status::NotAuthorized;
            code = code->child(OnvifNs::Soap12, QStringLiteral("Subcode"));
        }
        if (const XmlElement *reason = fault.child(OnvifNs::Soap12, QStringLiteral("Reason")))
            result.reason = reason->childText(OnvifNs::Soap12, QStringLiteral("Text"));
    } else {
        // SOAP 1.1 fault parts are unqualified.
        if (const XmlElement *code = fault.childNamed(QStringLiteral("faultcode")))
            result.faultCode = localPart(code->text());
        if (refusesCredentials(result.faultCode))
            result.status = SoapResult::Status::NotAuthorized;
        if (const XmlElement *reason = fault.childNamed(QStringLiteral("faultstring")))
            result.reason = reason->text();
    }
    if (result.reason.isEmpty())
        result.reason = result.faultCode.isEmpty() ? QStringLiteral("SOAP fault without a reason") : result.faultCode;
}

SoapResult readReply(const QByteArray &bytes, int httpStatus)
{
    SoapResult result;
    result.httpStatus = httpStatus;
    QString error;
    std::optional<XmlElement> root = XmlElement::parse(bytes, &error);
    if (!root) {
        result.status = SoapResult::Status::Malformed;
        result.reason = error;
        return result;
    }
    const QString &soap = root->namespaceUri();
    if (root->name() != QLatin1String("Envelope") || (soap != OnvifNs::Soap12 && soap != OnvifNs::Soap11)) {
        result.status = SoapResult::Status::Malformed;
        result.reason = QStringLiteral("not a SOAP envelope");
        return result;
    }
    const XmlElement *body = root->child(soap, QStringLiteral("Body"));
    if (!body) {
        result.status = SoapResult::Status::Malformed;
        result.reason = QStringLiteral("SOAP envelope without a body");
        return result;
    }
    if (const XmlElement *fault = body->child(soap, QStringLiteral("Fault"))) {
        readFault(*fault, result);
        result.body = *fault;
        return result;
    }
    if (body->children().empty()) {
        // Some operations answer with an empty response element; none answer with nothing.
        result.status = SoapResult::Status::Malformed;
        result.reason = QStringLiteral("empty SOAP body");
        return result;
    }
    if (httpStatus >= 300) {
        result.status = SoapResult::Status::NetworkError;
        result.reason = QStringLiteral("HTTP status %1").arg(httpStatus);
        return result;
    }
    result.status = SoapResult::Status::Ok;
    result.body = body->children().front();
    return result;
}

} // namespace

QByteArray SoapEnvelope::request(const SoapBodyWriter &body, const QString &user, const QString &password,
                                 const QByteArray &nonce, const QDateTime &createdUtc)
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.writeStartDocument();
    writer.writeNamespace(OnvifNs::Soap12, QStringLiteral("s"));
    writer.writeNamespace(OnvifNs::Device, QStringLiteral("tds"));
    writer.writeNamespace(OnvifNs::Media, QStringLiteral("trt"));
    writer.writeNamespace(OnvifNs::Media2, QStringLiteral("tr2"));
    writer.writeNamespace(OnvifNs::Schema, QStringLiteral("tt"));
    writer.writeNamespace(OnvifNs::PTZ, QStringLiteral("tptz"));
    writer.writeStartElement(OnvifNs::Soap12, QStringLiteral("Envelope"));
    if (!user.isEmpty()) {
        writer.writeNamespace(OnvifNs::Wsse, QStringLiteral("wsse"));
        writer.writeNamespace(OnvifNs::Wsu, QStringLiteral("wsu"));
        writer.writeStartElement(OnvifNs::Soap12, QStringLiteral("Header"));
        UsernameToken::write(writer, user, password, nonce, createdUtc);
        writer.writeEndElement();
    }
    writer.writeStartElement(OnvifNs::Soap12, QStringLiteral("Body"));
    if (body)
        body(writer);
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

SoapResult SoapEnvelope::reply(const QByteArray &bytes, int httpStatus)
{
    SoapResult result = readReply(bytes, httpStatus);
    // A 401 means the credentials, whatever came with it.
    if (httpStatus == 401)
        result.status = SoapResult::Status::NotAuthorized;
    return result;
}
