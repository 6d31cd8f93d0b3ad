#include "config/PropertyList.h"

#include "config/BinaryPropertyListReader.h"
#include "config/XmlPropertyListReader.h"

#include <plist/plist.h>

#include <limits>
#include <memory>

namespace {

struct PlistDeleter
{
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

PlistPtr toNode(const Value &v, int depth, QString *error)
{
    if (depth > PropertyList::MaxDepth) {
        *error = QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::MaxDepth);
        return nullptr;
    }
    switch (v.type()) {
    case Value::Type::Null:
        *error = QStringLiteral("an absent value has no property-list form");
        return nullptr;
    case Value::Type::Handle:
        *error = QStringLiteral("an in-memory handle %1 has no property-list form").arg(v.description());
        return nullptr;
    case Value::Type::String:
        if (!PropertyList::isStorableText(v.toString())) {
            *error = QStringLiteral("text with a NUL character or broken UTF-16 cannot be stored");
            return nullptr;
        }
        return PlistPtr(plist_new_string(v.toString().toUtf8().constData()));
    case Value::Type::Integer:
        // libplist knows only unsigned integers: negatives travel as two's complement.
        return PlistPtr(plist_new_uint(static_cast<uint64_t>(v.toInteger())));
    case Value::Type::Real:
        return PlistPtr(plist_new_real(v.toReal()));
    case Value::Type::Boolean:
        return PlistPtr(plist_new_bool(v.toBool() ? 1 : 0));
    case Value::Type::Date: {
        // libplist adds the two parts as a double, so both carry the sign.
        const qint64 ms = PropertyList::referenceDate().msecsTo(v.toDate());
        if (!PropertyList::dateAt(ms)) {
            *error = QStringLiteral("date %1 is out of range").arg(v.description());
            return nullptr;
        }
        return PlistPtr(plist_new_date(static_cast<int32_t>(ms / 1000), static_cast<int32_t>(ms % 1000 * 1000)));
    }
    case Value::Type::Data: {
        const QByteArray bytes = v.toData();
        return PlistPtr(plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size())));
    }
    case Value::Type::Dictionary: {
        PlistPtr dict(plist_new_dict());
        for (const QString &key : v.keys()) {
            PlistPtr child = toNode(v.value(key), depth + 1, error);
            if (!child)
                return nullptr;
            plist_dict_set_item(dict.get(), key.toUtf8().constData(), child.release());
        }
        return dict;
    }
    case Value::Type::Array: {
        PlistPtr array(plist_new_array());
        for (const Value &item : v.items()) {
            PlistPtr child = toNode(item, depth + 1, error);
            if (!child)
                return nullptr;
            plist_array_append_item(array.get(), child.release());
        }
        return array;
    }
    }
    *error = QStringLiteral("unknown value type");
    return nullptr;
}

QByteArray serialise(const Value &root, QString *error, bool xml)
{
    QString message;
    PlistPtr node = toNode(root, 0, &message);
    if (!node) {
        if (error)
            *error = message;
        return {};
    }
    char *bytes = nullptr;
    uint32_t length = 0;
    if (xml)
        plist_to_xml(node.get(), &bytes, &length);
    else
        plist_to_bin(node.get(), &bytes, &length);
    if (!bytes || length == 0) {
        free(bytes);
        if (error)
            *error = QStringLiteral("the property-list writer produced nothing");
        return {};
    }
    QByteArray result(bytes, static_cast<qsizetype>(length));
    free(bytes);
    if (error)
        error->clear();
    return result;
}

} // namespace

QByteArray PropertyList::toBinary(const Value &root, QString *error)
{
    return serialise(root, error, false);
}

QByteArray PropertyList::toXml(const Value &root, QString *error)
{
    return serialise(root, error, true);
}

Value PropertyList::fromData(const QByteArray &data, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return Value();
    };
    if (data.isEmpty())
        return fail(QStringLiteral("no data"));
    if (data.startsWith("bplist"))
        return BinaryPropertyListReader::read(data, error);
    // The XML form is text; a NUL means binary data of some other kind.
    if (data.contains('\0'))
        return fail(QStringLiteral("not a property list: binary data without the bplist00 signature"));
    return XmlPropertyListReader::read(data, error);
}

bool PropertyList::isStorableText(const QString &text)
{
    return !text.contains(QChar(0)) && text.isValidUtf16();
}

QDateTime PropertyList::referenceDate()
{
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
}

std::optional<QDateTime> PropertyList::dateAt(qint64 msecsSinceReference)
{
    const qint64 seconds = msecsSinceReference / 1000;
    if (seconds < std::numeric_limits<int32_t>::min() || seconds > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return referenceDate().addMSecs(msecsSinceReference);
}
