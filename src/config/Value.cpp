#include "config/Value.h"

#include <QHash>

#include <cmath>
#include <limits>

Value::Value(const QString &text)
    : m_data(text)
{
}

Value::Value(const char *utf8)
    : m_data(QString::fromUtf8(utf8))
{
}

Value::Value(int number)
    : m_data(static_cast<qint64>(number))
{
}

Value::Value(qint64 number)
    : m_data(number)
{
}

Value::Value(double number)
    : m_data(number)
{
}

Value::Value(bool flag)
    : m_data(flag)
{
}

Value Value::date(const QDateTime &when)
{
    Value v;
    v.m_data = when;
    return v;
}

Value Value::data(const QByteArray &bytes)
{
    Value v;
    v.m_data = bytes;
    return v;
}

Value Value::dictionary()
{
    Value v;
    v.m_data = std::make_shared<Dictionary>();
    return v;
}

Value Value::array()
{
    Value v;
    v.m_data = std::make_shared<Array>();
    return v;
}

Value Value::array(const Array &items)
{
    Value v;
    v.m_data = std::make_shared<Array>(items);
    return v;
}

Value Value::handle(std::shared_ptr<void> object)
{
    Value v;
    v.m_data = Handle{ std::move(object) };
    return v;
}

Value::Type Value::type() const
{
    return static_cast<Type>(m_data.index());
}

Value::Dictionary *Value::dict() const
{
    const auto *p = std::get_if<std::shared_ptr<Dictionary>>(&m_data);
    return p ? p->get() : nullptr;
}

Value::Array *Value::list() const
{
    const auto *p = std::get_if<std::shared_ptr<Array>>(&m_data);
    return p ? p->get() : nullptr;
}

bool Value::truthOf(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')
                     || text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')))
        ++i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    while (i < n && text[i] == QLatin1Char('0'))
        ++i;
    if (i >= n)
        return false;
    const QChar c = text[i];
    return c == QLatin1Char('Y') || c == QLatin1Char('y') || c == QLatin1Char('T')
        || c == QLatin1Char('t') || (c >= QLatin1Char('1') && c <= QLatin1Char('9'));
}

qint64 Value::integerOf(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint64 result = 0;
    constexpr qint64 limit = std::numeric_limits<qint64>::max() / 10 - 1;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        // Saturates rather than overflowing on absurdly long digit runs.
        if (result > limit)
            return negative ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
        result = result * 10 + (text[i].unicode() - '0');
    }
    return negative ? -result : result;
}

QString Value::toString() const
{
    if (const auto *s = std::get_if<QString>(&m_data))
        return *s;
    if (const auto *i = std::get_if<qint64>(&m_data))
        return QString::number(*i);
    if (const auto *d = std::get_if<double>(&m_data))
        return QString::number(*d);
    return {};
}

qint64 Value::toInteger() const
{
    if (const auto *i = std::get_if<qint64>(&m_data))
        return *i;
    if (const auto *d = std::get_if<double>(&m_data)) {
        if (!std::isfinite(*d))
            return 0;
        if (*d >= 9.2e18)
            return std::numeric_limits<qint64>::max();
        if (*d <= -9.2e18)
            return std::numeric_limits<qint64>::min();
        return static_cast<qint64>(*d);
    }
    if (const auto *b = std::get_if<bool>(&m_data))
        return *b ? 1 : 0;
    if (const auto *s = std::get_if<QString>(&m_data))
        return integerOf(*s);
    return 0;
}

double Value::toReal() const
{
    if (const auto *d = std::get_if<double>(&m_data))
        return *d;
    if (const auto *s = std::get_if<QString>(&m_data)) {
        bool ok = false;
        const double d = s->trimmed().toDouble(&ok);
        return ok ? d : static_cast<double>(integerOf(*s));
    }
    return static_cast<double>(toInteger());
}

bool Value::toBool() const
{
    if (const auto *b = std::get_if<bool>(&m_data))
        return *b;
    if (const auto *s = std::get_if<QString>(&m_data))
        return truthOf(*s);
    if (const auto *i = std::get_if<qint64>(&m_data))
        return *i != 0;
    if (const auto *d = std::get_if<double>(&m_data))
        return *d != 0.0;
    return false;
}

QDateTime Value::toDate() const
{
    const auto *d = std::get_if<QDateTime>(&m_data);
    return d ? *d : QDateTime();
}

QByteArray Value::toData() const
{
    const auto *d = std::get_if<QByteArray>(&m_data);
    return d ? *d : QByteArray();
}

std::shared_ptr<void> Value::toHandle() const
{
    const auto *h = std::get_if<Handle>(&m_data);
    return h ? h->object : nullptr;
}

Value Value::value(const QString &key) const
{
    const Dictionary *d = dict();
    return d ? d->value(key) : Value();
}

bool Value::contains(const QString &key) const
{
    const Dictionary *d = dict();
    return d && d->contains(key);
}

void Value::insert(const QString &key, const Value &v)
{
    if (Dictionary *d = dict())
        d->insert(key, v);
}

void Value::remove(const QString &key)
{
    if (Dictionary *d = dict())
        d->remove(key);
}

QStringList Value::keys() const
{
    const Dictionary *d = dict();
    return d ? d->keys() : QStringList();
}

bool Value::hasText(const QString &key) const
{
    const Value v = value(key);
    return !v.isNull() && !(v.isString() && v.toString().isEmpty());
}

Value Value::at(qsizetype index) const
{
    const Array *a = list();
    return (a && index >= 0 && index < a->size()) ? a->at(index) : Value();
}

void Value::append(const Value &v)
{
    if (Array *a = list())
        a->append(v);
}

void Value::insertAt(qsizetype index, const Value &v)
{
    if (Array *a = list(); a && index >= 0 && index <= a->size())
        a->insert(index, v);
}

void Value::replace(qsizetype index, const Value &v)
{
    if (Array *a = list(); a && index >= 0 && index < a->size())
        a->replace(index, v);
}

void Value::removeAt(qsizetype index)
{
    if (Array *a = list(); a && index >= 0 && index < a->size())
        a->removeAt(index);
}

qsizetype Value::indexOfIdentical(const Value &v) const
{
    const Array *a = list();
    if (!a)
        return -1;
    for (qsizetype i = 0; i < a->size(); ++i) {
        if (a->at(i).isSameObject(v))
            return i;
    }
    return -1;
}

Value::Array Value::items() const
{
    const Array *a = list();
    return a ? *a : Array();
}

qsizetype Value::size() const
{
    if (const Dictionary *d = dict())
        return d->size();
    if (const Array *a = list())
        return a->size();
    return 0;
}

bool Value::isSameObject(const Value &other) const
{
    if (m_data.index() != other.m_data.index())
        return false;
    if (const Dictionary *d = dict())
        return d == other.dict();
    if (const Array *a = list())
        return a == other.list();
    if (const auto *h = std::get_if<Handle>(&m_data))
        return h->object == std::get<Handle>(other.m_data).object;
    return *this == other;
}

bool Value::operator==(const Value &other) const
{
    const bool thisNumber = std::holds_alternative<qint64>(m_data) || std::holds_alternative<double>(m_data);
    const bool otherNumber = std::holds_alternative<qint64>(other.m_data)
        || std::holds_alternative<double>(other.m_data);
    if (thisNumber && otherNumber && m_data.index() != other.m_data.index())
        return toReal() == other.toReal();
    if (m_data.index() != other.m_data.index())
        return false;
    if (const Dictionary *d = dict()) {
        const Dictionary *o = other.dict();
        return d == o || *d == *o;
    }
    if (const Array *a = list()) {
        const Array *o = other.list();
        return a == o || *a == *o;
    }
    if (const auto *h = std::get_if<Handle>(&m_data))
        return h->object == std::get<Handle>(other.m_data).object;
    return m_data == other.m_data;
}

Value Value::deepCopy() const
{
    if (const Dictionary *d = dict()) {
        Value copy = dictionary();
        for (auto it = d->cbegin(); it != d->cend(); ++it)
            copy.insert(it.key(), it.value().deepCopy());
        return copy;
    }
    if (const Array *a = list()) {
        Value copy = array();
        for (const Value &item : *a)
            copy.append(item.deepCopy());
        return copy;
    }
    return *this;
}

namespace {

QString quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1StringView("\\\\"));
    escaped.replace(QLatin1Char('"'), QLatin1StringView("\\\""));
    escaped.replace(QLatin1Char('\n'), QLatin1StringView("\\n"));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

} // namespace

QString Value::description() const
{
    switch (type()) {
    case Type::Null:
        return QStringLiteral("(null)");
    case Type::String:
        return quoted(std::get<QString>(m_data));
    case Type::Integer:
    case Type::Real:
        return toString();
    case Type::Boolean:
        return std::get<bool>(m_data) ? QStringLiteral("true") : QStringLiteral("false");
    case Type::Date:
        return std::get<QDateTime>(m_data).toUTC().toString(Qt::ISODateWithMs);
    case Type::Data:
        return QLatin1Char('<') + QString::fromLatin1(std::get<QByteArray>(m_data).toHex())
            + QLatin1Char('>');
    case Type::Handle:
        return QStringLiteral("<handle %1>")
            .arg(reinterpret_cast<quintptr>(std::get<Handle>(m_data).object.get()), 0, 16);
    case Type::Dictionary: {
        QStringList parts;
        const Dictionary *d = dict();
        for (auto it = d->cbegin(); it != d->cend(); ++it)
            parts.append(quoted(it.key()) + QStringLiteral(" = ") + it.value().description());
        return QStringLiteral("{") + parts.join(QStringLiteral("; ")) + QStringLiteral("}");
    }
    case Type::Array: {
        QStringList parts;
        for (const Value &item : *list())
            parts.append(item.description());
        return QStringLiteral("(") + parts.join(QStringLiteral(", ")) + QStringLiteral(")");
    }
    }
    return {};
}

size_t qHash(const Value &value, size_t seed)
{
    switch (value.type()) {
    case Value::Type::Null:
        return qHash(0, seed);
    case Value::Type::String:
        return qHash(value.toString(), seed);
    case Value::Type::Integer:
    case Value::Type::Real: {
        // Integers and reals that compare equal must hash alike.
        const double d = value.toReal();
        if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e18)
            return qHash(static_cast<qint64>(d), seed);
        return qHash(d, seed);
    }
    case Value::Type::Boolean:
        return qHash(value.toBool(), seed ^ 0x5bd1e995U);
    case Value::Type::Date:
        return qHash(value.toDate().toMSecsSinceEpoch(), seed);
    case Value::Type::Data:
        return qHash(value.toData(), seed);
    case Value::Type::Handle:
        return qHash(reinterpret_cast<quintptr>(value.toHandle().get()), seed);
    case Value::Type::Dictionary: {
        size_t h = seed ^ 0x9e3779b9U;
        for (const QString &key : value.keys())
            h = qHashMulti(h, key, value.value(key));
        return h;
    }
    case Value::Type::Array: {
        size_t h = seed ^ 0x7f4a7c15U;
        for (const Value &item : value.items())
            h = qHashMulti(h, item);
        return h;
    }
    }
    return seed;
}
