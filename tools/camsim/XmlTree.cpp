#include "camsim/XmlTree.h"

#include <QXmlStreamReader>

std::optional<XmlTree> XmlTree::parse(const QByteArray &xml, QString *error)
{
    QXmlStreamReader reader(xml);
    std::optional<XmlTree> root;
    // Pointers stay valid: a parent's children only grow while it is innermost.
    std::vector<XmlTree *> open;
    int elements = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            if (++elements > MaxElements || open.size() >= MaxDepth) {
                *error = QStringLiteral("message too large or too deep");
                return std::nullopt;
            }
            XmlTree node;
            node.ns = reader.namespaceUri().toString();
            node.name = reader.name().toString();
            node.prefixes = open.empty() ? QMap<QString, QString>() : open.back()->prefixes;
            for (const QXmlStreamNamespaceDeclaration &d : reader.namespaceDeclarations())
                node.prefixes.insert(d.prefix().toString(), d.namespaceUri().toString());
            for (const QXmlStreamAttribute &a : reader.attributes())
                node.attributes.insert(a.name().toString(), a.value().toString());
            if (open.empty()) {
                if (root) {
                    *error = QStringLiteral("more than one root element");
                    return std::nullopt;
                }
                root = std::move(node);
                open.push_back(&*root);
            } else {
                open.back()->children.push_back(std::move(node));
                open.push_back(&open.back()->children.back());
            }
        } else if (reader.isEndElement()) {
            open.back()->text = open.back()->text.trimmed();
            open.pop_back();
        } else if (reader.isCharacters() && !open.empty()) {
            open.back()->text += reader.text();
        }
    }
    if (reader.hasError() || !root) {
        *error = reader.hasError() ? reader.errorString() : QStringLiteral("no element");
        return std::nullopt;
    }
    return root;
}

const XmlTree *XmlTree::child(const QString &childName, const QString &childNs) const
{
    for (const XmlTree &c : children) {
        if (c.name == childName && (childNs.isEmpty() || c.ns == childNs))
            return &c;
    }
    return nullptr;
}

const XmlTree *XmlTree::path(std::initializer_list<const char *> names) const
{
    const XmlTree *node = this;
    for (const char *n : names) {
        node = node->child(QString::fromLatin1(n));
        if (!node)
            return nullptr;
    }
    return node;
}

QString XmlTree::textAt(std::initializer_list<const char *> names) const
{
    const XmlTree *node = path(names);
    return node ? node->text : QString();
}

QString XmlTree::namespaceOf(const QString &qualifiedName) const
{
    const qsizetype colon = qualifiedName.indexOf(QLatin1Char(':'));
    return prefixes.value(colon < 0 ? QString() : qualifiedName.left(colon));
}
