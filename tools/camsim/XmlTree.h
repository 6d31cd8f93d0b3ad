#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

#include <optional>
#include <vector>

// A small namespace-aware tree of an incoming SOAP message. Elements are found by
// namespace URI and local name, never by prefix; the size of the tree is bounded.
struct XmlTree
{
    static constexpr int MaxDepth = 24;
    static constexpr int MaxElements = 2000;

    QString ns;
    QString name;
    QMap<QString, QString> attributes; // by local name
    QString text;                      // the element's own character data, trimmed
    QMap<QString, QString> prefixes;   // namespace declarations in scope: prefix -> URI
    std::vector<XmlTree> children;

    // None (with *error set) when the text is not well-formed or too large.
    static std::optional<XmlTree> parse(const QByteArray &xml, QString *error);

    // The first child with that name, in namespace ns or any namespace when ns is empty.
    const XmlTree *child(const QString &name, const QString &ns = QString()) const;
    // The first element of the chain child/grandchild/... by local names.
    const XmlTree *path(std::initializer_list<const char *> names) const;
    QString textAt(std::initializer_list<const char *> names) const;
    // The namespace URI of a prefixed name in text (xs:QName), by the declarations in scope.
    QString namespaceOf(const QString &qualifiedName) const;
};
