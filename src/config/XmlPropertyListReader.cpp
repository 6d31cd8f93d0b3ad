#include "config/XmlPropertyListReader.h"

#include "config/PropertyList.h"

#include <QXmlStreamReader>

#include <limits>
#include <vector>

namespace {

struct Frame
{
    Value container;
    QString key;
    bool haveKey = false;
};

Value integerOf(QStringView text)
{
    bool ok = false;
    qint64 n = 0;
    if (text.startsWith(u'-'))
        n = text.toLongLong(&ok, 10);
    else if (text.startsWith(u"0x") || text.startsWith(u"0X"))
        n = static_cast<qint64>(text.mid(2).toULongLong(&ok, 16));
    else
        // Values above the signed range come back as the two's complement they were written from.
        n = static_cast<qint64>(text.toULongLong(&ok, 10));
    return ok ? Value(n) : Value();
}

Value realOf(QStringView text)
{
    if (text.compare(u"nan", Qt::CaseInsensitive) == 0)
        return Value(std::numeric_limits<double>::quiet_NaN());
    const bool negative = text.startsWith(u'-');
    const QStringView magnitude = text.startsWith(u'-') || text.startsWith(u'+') ? text.mid(1) : text;
    if (magnitude.compare(u"infinity", Qt::CaseInsensitive) == 0 || magnitude.compare(u"inf", Qt::CaseInsensitive) == 0)
        return Value(negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity());
    bool ok = false;
    const double d = text.toDouble(&ok);
    return ok ? Value(d) : Value();
}

Value dateOf(QStringView text)
{
    QDateTime when = QDateTime::fromString(text.toString(), Qt::ISODate);
    if (!when.isValid())
        return {};
    if (when.timeSpec() == Qt::LocalTime)
        when.setTimeSpec(Qt::UTC);
    const std::optional<QDateTime> stored = PropertyList::dateAt(PropertyList::referenceDate().msecsTo(when));
    return stored ? Value::date(*stored) : Value();
}

Value dataOf(QStringView text)
{
    QByteArray base64;
    base64.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace())
            base64.append(c.unicode() < 0x80 ? char(c.unicode()) : '?');
    }
    const QByteArray::FromBase64Result decoded
        = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? Value::data(*decoded) : Value();
}

// The value a leaf element names, or absent.
Value leafOf(QStringView name, const QString &text)
{
    const QStringView trimmed = QStringView(text).trimmed();
    if (name == u"string")
        return PropertyList::isStorableText(text) ? Value(text) : Value();
    if (name == u"integer")
        return integerOf(trimmed);
    if (name == u"real")
        return realOf(trimmed);
    if (name == u"true" || name == u"false")
        return Value(name == u"true");
    if (name == u"date")
        return dateOf(trimmed);
    if (name == u"data")
        return dataOf(trimmed);
    return {};
}

} // namespace

Value XmlPropertyListReader::read(const QByteArray &data, QString *error)
{
    QXmlStreamReader xml(data);
    std::vector<Frame> stack;
    Value root;
    QString why;
    bool inPlist = false;
    while (why.isEmpty() && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QString name = xml.name().toString();
            if (name == u"plist" && !inPlist && root.isNull()) {
                inPlist = true;
                break;
            }
            Frame *parent = stack.empty() ? nullptr : &stack.back();
            const bool inDictionary = parent && parent->container.isDictionary();
            if (name == u"key") {
                if (!inDictionary || parent->haveKey) {
                    why = QStringLiteral("a key outside a dictionary on line %1").arg(xml.lineNumber());
                    break;
                }
                parent->key = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
                parent->haveKey = true;
                if (!PropertyList::isStorableText(parent->key))
                    why = QStringLiteral("a key with a NUL character on line %1").arg(xml.lineNumber());
                break;
            }
            if ((inDictionary && !parent->haveKey) || (!parent && !root.isNull())) {
                why = QStringLiteral("a value without a place on line %1").arg(xml.lineNumber());
                break;
            }
            if (stack.size() > size_t(PropertyList::MaxDepth)) {
                why = QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::MaxDepth);
                break;
            }
            const bool container = name == u"dict" || name == u"array";
            Value v;
            if (name == u"dict")
                v = Value::dictionary();
            else if (name == u"array")
                v = Value::array();
            else
                v = leafOf(name, xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement));
            if (xml.hasError())
                break;
            if (v.isNull()) {
                why = QStringLiteral("an unreadable <%1> on line %2").arg(name).arg(xml.lineNumber());
                break;
            }
            if (!parent)
                root = v;
            else if (inDictionary)
                parent->container.insert(parent->key, v);
            else
                parent->container.append(v);
            if (parent)
                parent->haveKey = false;
            if (container)
                stack.push_back(Frame{ v, QString(), false });
            break;
        }
        case QXmlStreamReader::EndElement:
            if (xml.name() == u"dict" || xml.name() == u"array") {
                if (stack.back().haveKey)
                    why = QStringLiteral("a key without a value on line %1").arg(xml.lineNumber());
                stack.pop_back();
            }
            break;
        case QXmlStreamReader::Characters:
            if (!xml.isWhitespace())
                why = QStringLiteral("text outside an element on line %1").arg(xml.lineNumber());
            break;
        default:
            break;
        }
    }
    if (why.isEmpty() && xml.hasError())
        why = xml.errorString();
    if (why.isEmpty() && root.isNull())
        why = QStringLiteral("no value");
    if (error)
        *error = why.isEmpty() ? QString() : QStringLiteral("not a property list: %1").arg(why);
    return why.isEmpty() ? root : Value();
}
