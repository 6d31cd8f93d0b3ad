#include "config/PropertyList.h"

#include <plist/plist.h>


#include <limits>
#include <memory>

namespace {

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
const QDateTime &referenceDate()
{
    static const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return epoch;
}

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
        if (v.toString().contains(QChar(0))) {
            *error = QStringLiteral("text with a NUL character cannot be stored");
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
        const qint64 ms = referenceDate().msecsTo(v.toDate());
        const qint64 sec = ms / 1000;
        const qint64 msRest = ms % 1000;
        if (sec < std::numeric_limits<int32_t>::min() || sec > std::numeric_limits<int32_t>::max()) {
            *error = QStringLiteral("date %1 is out of range").arg(v.description());
            return nullptr;
        }
        return PlistPtr(plist_new_date(static_cast<int32_t>(sec), static_cast<int32_t>(msRest * 1000)));
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

bool fromNode(plist_t node, int depth, Value *out, QString *error)
{
    if (depth > PropertyList::MaxDepth) {
        *error = QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::MaxDepth);
        return false;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        *out = Value(b != 0);
        return true;
    }
    case PLIST_UINT: {
        uint64_t u = 0;
        plist_get_uint_val(node, &u);
        *out = Value(static_cast<qint64>(u));
        return true;
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        *out = Value(d);
        return true;
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(node, &length);
        *out = Value(QString::fromUtf8(text, static_cast<qsizetype>(length)));
        return true;
    }
    case PLIST_DATE: {
        int32_t sec = 0;
        int32_t usec = 0;
        plist_get_date_val(node, &sec, &usec);
        // libplist hands back the fraction without its sign.
        const qint64 fraction = sec < 0 ? -(usec / 1000) : usec / 1000;
        *out = Value::date(referenceDate().addMSecs(static_cast<qint64>(sec) * 1000 + fraction));
        return true;
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char *bytes = plist_get_data_ptr(node, &length);
        *out = Value::data(QByteArray(bytes, static_cast<qsizetype>(length)));
        return true;
    }
    case PLIST_UID: {
        uint64_t u = 0;
        plist_get_uid_val(node, &u);
        *out = Value(static_cast<qint64>(u));
        return true;
    }
    case PLIST_DICT: {
        Value dict = Value::dictionary();
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        const uint32_t count = plist_dict_get_size(node);
        for (uint32_t i = 0; i < count && it; ++i) {
            char *key = nullptr;
            plist_t child = nullptr;
            plist_dict_next_item(node, it, &key, &child);
            if (!key || !child) {
                free(key);
                break;
            }
            const QString name = QString::fromUtf8(key);
            free(key);
            Value v;
            if (!fromNode(child, depth + 1, &v, error)) {
                free(it);
                return false;
            }
            dict.insert(name, v);
        }
        free(it);
        *out = dict;
        return true;
    }
    case PLIST_ARRAY: {
        Value array = Value::array();
        const uint32_t count = plist_array_get_size(node);
        for (uint32_t i = 0; i < count; ++i) {
            Value v;
            if (!fromNode(plist_array_get_item(node, i), depth + 1, &v, error))
                return false;
            array.append(v);
        }
        *out = array;
        return true;
    }
    case PLIST_NONE:
        break;
    }
    *error = QStringLiteral("unsupported property-list node");
    return false;
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
    QString message;
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return Value();
    };
    if (data.isEmpty())
        return fail(QStringLiteral("no data"));
    if (data.size() > std::numeric_limits<int32_t>::max())
        return fail(QStringLiteral("property list too large"));

    plist_t root = nullptr;
    const auto length = static_cast<uint32_t>(data.size());
    if (plist_is_binary(data.constData(), length)) {
        plist_from_bin(data.constData(), length, &root);
    } else {
        // The XML reader expects text; a stray NUL would end it early.
        if (data.contains('\0'))
            return fail(QStringLiteral("not a property list: binary data without the bplist00 signature"));
        plist_from_xml(data.constData(), length, &root);
    }
    if (!root)
        return fail(plist_is_binary(data.constData(), length)
                        ? QStringLiteral("not a property list: damaged binary property list")
                        : QStringLiteral("not a property list: the XML could not be parsed"));
    PlistPtr owner(root);
    Value result;
    if (!fromNode(root, 0, &result, &message))
        return fail(message);
    if (error)
        error->clear();
    return result;
}
