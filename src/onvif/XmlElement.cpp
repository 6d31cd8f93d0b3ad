#include "onvif/XmlElement.h"

#include <QXmlStreamReader>

std::optional<XmlElement> XmlElement::parse(const QByteArray &document, QString *error)
{
    QXmlStreamReader reader(document);
    // Entity declarations would let a small reply expand; no device needs them.
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD) {
            *error = QStringLiteral("document type declarations are not accepted");
            return std::nullopt;
        }
        if (token == QXmlStreamReader::StartElement) {
            XmlElement root;
            int elements = 0;
            if (!root.read(reader, 1, elements, error))
                return std::nullopt;
            // The rest must still be well-formed: trailing garbage is an error.
            while (!reader.atEnd()) {
                if (reader.readNext() == QXmlStreamReader::StartElement) {
                    *error = QStringLiteral("more than one root element");
                    return std::nullopt;
                }
            }
            if (reader.hasError()) {
                *error = reader.errorString();
                return std::nullopt;
            }
            return root;
        }
    }
    *error = reader.hasError() ? reader.errorString() : QStringLiteral("no root element");
    return std::nullopt;
}

bool XmlElement::read(QXmlStreamReader &reader, int depth, int &elements, QString *error)
{
    if (depth > MaxDepth) {
        *error = QStringLiteral("elements nested too deeply");
        return false;
    }
    if (++elements > MaxElements) {
        *error = QStringLiteral("too many elements");
        return false;
    }
    m_namespaceUri = reader.namespaceUri().toString();
    m_name = reader.name().toString();
    m_attributes = reader.attributes();
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            XmlElement child;
            if (!child.read(reader, depth + 1, elements, error))
                return false;
            m_children.push_back(std::move(child));
            break;
        }
        case QXmlStreamReader::Characters:
            m_text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            m_text = m_text.trimmed();
            return true;
        case QXmlStreamReader::DTD:
            *error = QStringLiteral("document type declarations are not accepted");
            return false;
        default:
            break;
        }
    }
    *error = reader.hasError() ? reader.errorString() : QStringLiteral("document ends inside an element");
    return false;
}

QString XmlElement::attribute(const QString &name) const
{
    for (const QXmlStreamAttribute &attribute : m_attributes) {
        if (attribute.name() == name)
            return attribute.value().toString();
    }
    return {};
}

const XmlElement *XmlElement::child(const QString &namespaceUri, const QString &name) const
{
    for (const XmlElement &child : m_children) {
        if (child.is(namespaceUri, name))
            return &child;
    }
    return nullptr;
}

QList<const XmlElement *> XmlElement::children(const QString &namespaceUri, const QString &name) const
{
    QList<const XmlElement *> found;
    for (const XmlElement &child : m_children) {
        if (child.is(namespaceUri, name))
            found.append(&child);
    }
    return found;
}

const XmlElement *XmlElement::childNamed(const QString &name) const
{
    for (const XmlElement &child : m_children) {
        if (child.m_name == name)
            return &child;
    }
    return nullptr;
}

QString XmlElement::childText(const QString &namespaceUri, const QString &name) const
{
    const XmlElement *found = child(namespaceUri, name);
    return found ? found->m_text : QString();
}

QString XmlElement::textAt(std::initializer_list<const char *> names) const
{
    const XmlElement *element = this;
    for (const char *name : names) {
        element = element->childNamed(QString::fromLatin1(name));
        if (!element)
            return {};
    }
    return element->m_text;
}

const XmlElement *XmlElement::find(const QString &namespaceUri, const QString &name) const
{
    for (const XmlElement &child : m_children) {
        if (child.is(namespaceUri, name))
            return &child;
        if (const XmlElement *below = child.find(namespaceUri, name))
            return below;
    }
    return nullptr;
}
