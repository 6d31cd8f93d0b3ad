#include "camsim/SoapWriter.h"

namespace {

const char *const Uris[] = {
    "http://www.w3.org/2003/05/soap-envelope",
    "http://www.onvif.org/ver10/device/wsdl",
    "http://www.onvif.org/ver10/media/wsdl",
    "http://www.onvif.org/ver20/ptz/wsdl",
    "http://www.onvif.org/ver10/schema",
    "http://www.onvif.org/ver10/error",
    "http://schemas.xmlsoap.org/ws/2004/08/addressing",
    "http://schemas.xmlsoap.org/ws/2005/04/discovery",
    "http://www.onvif.org/ver10/network/wsdl",
};
const char *const Named[] = { "SOAP-ENV", "tds", "trt", "tptz", "tt", "ter", "wsa", "d", "dn" };
const char *const Numbered[] = { "env", "ns1", "ns2", "ns3", "ns4", "ns5", "ns6", "ns7", "ns8" };
static_assert(std::size(Uris) == SoapWriter::NsCount && std::size(Named) == SoapWriter::NsCount
              && std::size(Numbered) == SoapWriter::NsCount);

} // namespace

SoapWriter::SoapWriter(const QString &prefixStyle)
    : m_style(prefixStyle)
    , m_writer(&m_out)
{
}

QString SoapWriter::uri(Ns ns)
{
    return QString::fromLatin1(Uris[ns]);
}

QString SoapWriter::prefix(Ns ns) const
{
    return QString::fromLatin1(m_style == QLatin1StringView("numbered") ? Numbered[ns] : Named[ns]);
}

void SoapWriter::begin()
{
    m_writer.writeStartDocument();
    for (int ns = 0; ns < NsCount; ++ns)
        m_writer.writeNamespace(uri(Ns(ns)), prefix(Ns(ns)));
    start(Envelope, "Envelope");
    start(Envelope, "Header");
}

void SoapWriter::body()
{
    end();
    start(Envelope, "Body");
}

QByteArray SoapWriter::finish()
{
    m_writer.writeEndDocument();
    return m_out;
}

void SoapWriter::start(Ns ns, const char *name)
{
    m_writer.writeStartElement(uri(ns), QString::fromLatin1(name));
}

void SoapWriter::element(Ns ns, const char *name, const QString &value)
{
    m_writer.writeTextElement(uri(ns), QString::fromLatin1(name), value);
}

void SoapWriter::attribute(const char *name, const QString &value)
{
    m_writer.writeAttribute(QString::fromLatin1(name), value);
}

QByteArray SoapWriter::fault(const QString &prefixStyle, const char *code, const char *subcode, const QString &reason)
{
    SoapWriter w(prefixStyle);
    w.begin();
    w.body();
    w.start(Envelope, "Fault");
    w.start(Envelope, "Code");
    w.element(Envelope, "Value", w.prefix(Envelope) + QLatin1Char(':') + QString::fromLatin1(code));
    w.start(Envelope, "Subcode");
    w.element(Envelope, "Value", w.prefix(Error) + QLatin1Char(':') + QString::fromLatin1(subcode));
    w.end();
    w.end();
    w.start(Envelope, "Reason");
    w.start(Envelope, "Text");
    w.m_writer.writeAttribute(QStringLiteral("http://www.w3.org/XML/1998/namespace"), QStringLiteral("lang"),
                              QStringLiteral("en"));
    w.text(reason);
    w.end();
    w.end();
    w.end();
    return w.finish();
}
