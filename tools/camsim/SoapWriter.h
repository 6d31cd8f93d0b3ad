#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

// Writes SOAP 1.2 envelopes the way devices do, with one of two prefix sets so
// that a client matching by prefix instead of namespace fails against one of them.
class SoapWriter final
{
public:
    enum Ns { Envelope, Device, Media, Ptz, Schema, Error, Addressing, Discovery, DiscoveryTypes, NsCount };
    // "named" (SOAP-ENV, tds, trt, tptz, tt...) or "numbered" (env, ns1, ns2...).
    explicit SoapWriter(const QString &prefixStyle);

    static QString uri(Ns ns);
    QString prefix(Ns ns) const;

    // Opens Envelope (every namespace declared on it) and Header; body() closes
    // the Header and opens Body; finish() closes what is open.
    void begin();
    void body();
    QByteArray finish();

    void start(Ns ns, const char *name);
    void end() { m_writer.writeEndElement(); }
    void element(Ns ns, const char *name, const QString &text);
    void attribute(const char *name, const QString &value);
    void text(const QString &value) { m_writer.writeCharacters(value); }

    // A whole fault body: the code (Sender or Receiver), the subcode in the error
    // namespace and the reason.
    static QByteArray fault(const QString &prefixStyle, const char *code, const char *subcode, const QString &reason);

private:
    QString m_style;
    QByteArray m_out;
    QXmlStreamWriter m_writer;
};
