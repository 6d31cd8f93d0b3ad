#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QXmlStreamAttributes>

#include <initializer_list>
#include <optional>
#include <vector>

class QXmlStreamReader;

// One element of a parsed reply: its namespace URI, local name, attributes, direct
// text (trimmed) and children. Lookups go by namespace URI and local name, so a
// reply reads the same whatever prefixes the device picked. A plain value, safe to
// copy between threads.
class XmlElement final
{
public:
    // Deeper documents are refused rather than walked.
    static constexpr int MaxDepth = 48;
    // With the reply size cap this bounds the tree; a flood of empty elements is refused.
    static constexpr int MaxElements = 20000;

    // The document's root element, or nothing with *error set when the bytes are not
    // well-formed XML or go past the limits above. DTDs are refused.
    static std::optional<XmlElement> parse(const QByteArray &document, QString *error);

    const QString &namespaceUri() const { return m_namespaceUri; }
    const QString &name() const { return m_name; }
    const QString &text() const { return m_text; }
    bool is(const QString &namespaceUri, const QString &name) const
    {
        return m_name == name && m_namespaceUri == namespaceUri;
    }
    // The value of the attribute with this local name, in no namespace or any.
    QString attribute(const QString &name) const;

    const std::vector<XmlElement> &children() const { return m_children; }
    // The first child so named, or null.
    const XmlElement *child(const QString &namespaceUri, const QString &name) const;
    // Every child so named, in document order.
    QList<const XmlElement *> children(const QString &namespaceUri, const QString &name) const;
    // The first child so named, of any namespace: for the few places where devices
    // disagree on the namespace of an element (SOAP 1.1 fault parts have none).
    const XmlElement *childNamed(const QString &name) const;
    // The text of the first child so named, empty when there is none.
    QString childText(const QString &namespaceUri, const QString &name) const;
    // The text at the end of a chain of children named by local name alone, empty when a
    // link is missing: for requests whose senders pick their own namespaces.
    QString textAt(std::initializer_list<const char *> names) const;
    // The first element so named at any depth below this one (depth first), or null.
    const XmlElement *find(const QString &namespaceUri, const QString &name) const;

private:
    XmlElement() = default;

    // Fills this element from the start tag the reader is on up to its end tag.
    bool read(QXmlStreamReader &reader, int depth, int &elements, QString *error);

    QString m_namespaceUri;
    QString m_name;
    QString m_text;
    QXmlStreamAttributes m_attributes;
    std::vector<XmlElement> m_children;
};
