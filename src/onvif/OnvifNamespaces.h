#pragma once

#include <QString>

// The namespace URIs ONVIF messages use. Replies are matched by these, never by the
// prefixes a device happens to choose.
namespace OnvifNs {
inline const QString Soap12 = QStringLiteral("http://www.w3.org/2003/05/soap-envelope");
inline const QString Soap11 = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
inline const QString Wsse = QStringLiteral("http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd");
inline const QString Wsu = QStringLiteral("http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd");
inline const QString Addressing = QStringLiteral("http://schemas.xmlsoap.org/ws/2004/08/addressing");
inline const QString Discovery = QStringLiteral("http://schemas.xmlsoap.org/ws/2005/04/discovery");
inline const QString Schema = QStringLiteral("http://www.onvif.org/ver10/schema");
inline const QString Device = QStringLiteral("http://www.onvif.org/ver10/device/wsdl");
inline const QString Media = QStringLiteral("http://www.onvif.org/ver10/media/wsdl");
inline const QString Media2 = QStringLiteral("http://www.onvif.org/ver20/media/wsdl");
inline const QString PTZ = QStringLiteral("http://www.onvif.org/ver20/ptz/wsdl");
inline const QString Error = QStringLiteral("http://www.onvif.org/ver10/error");
inline const QString NetworkWsdl = QStringLiteral("http://www.onvif.org/ver10/network/wsdl");
} // namespace OnvifNs
