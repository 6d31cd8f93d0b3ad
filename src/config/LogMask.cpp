#include "config/LogMask.h"

namespace {

const QString Mask = QStringLiteral("****");

void maskTree(Value &node)
{
    if (node.isArray()) {
        for (qsizetype i = 0; i < node.size(); ++i) {
            Value item = node.at(i);
            if (item.isString())
                node.replace(i, LogMask::text(item.toString()));
            else
                maskTree(item);
        }
        return;
    }
    for (const QString &key : node.keys()) {
        Value item = node.value(key);
        const bool leaf = !item.isDictionary() && !item.isArray();
        if (leaf && key.contains(QLatin1StringView("password"), Qt::CaseInsensitive))
            node.insert(key, item.isString() && item.toString().isEmpty() ? QString() : Mask);
        else if (item.isString())
            node.insert(key, LogMask::text(item.toString()));
        else
            maskTree(item);
    }
}

} // namespace

QString LogMask::url(const QUrl &url)
{
    QUrl shown = url;
    if (!shown.password().isEmpty())
        shown.setPassword(Mask);
    return shown.toString();
}

QString LogMask::text(const QString &text)
{
    QString result;
    result.reserve(text.size());
    qsizetype copied = 0;
    for (qsizetype scheme = text.indexOf(QLatin1StringView("://")); scheme >= 0;
         scheme = text.indexOf(QLatin1StringView("://"), scheme + 3)) {
        // The user information ends at the last "@" before the path; a password with
        // blanks or "%" (which make the URL unparseable) is masked all the same. Each
        // authority ends before the next "://", so the scan stays linear.
        const qsizetype start = scheme + 3;
        qsizetype pathStart = text.indexOf(QLatin1Char('/'), start);
        if (pathStart < 0)
            pathStart = text.size();
        const QStringView authority = QStringView(text).sliced(start, pathStart - start);
        const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
        const qsizetype colon = at > 0 ? authority.first(at).indexOf(QLatin1Char(':')) : -1;
        if (colon < 0)
            continue;
        result += QStringView(text).sliced(copied, start + colon + 1 - copied);
        result += Mask;
        copied = start + at;
    }
    result += QStringView(text).sliced(copied);
    return result;
}

QString LogMask::definition(const Value &definition)
{
    Value copy = definition.deepCopy();
    maskTree(copy);
    return copy.description();
}
