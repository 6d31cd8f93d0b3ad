#include "config/BinaryPropertyListReader.h"

#include "config/PropertyList.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr qsizetype HeaderSize = 8;
constexpr qsizetype TrailerSize = 32;

enum Kind : uchar {
    Simple = 0x0,
    Integer = 0x1,
    Real = 0x2,
    Date = 0x3,
    Data = 0x4,
    Ascii = 0x5,
    Utf16 = 0x6,
    Uid = 0x8,
    Array = 0xA,
    Dictionary = 0xD,
};

quint64 bigEndian(const uchar *p, int size)
{
    quint64 v = 0;
    for (int i = 0; i < size; ++i)
        v = (v << 8) | p[i];
    return v;
}

} // namespace

BinaryPropertyListReader::BinaryPropertyListReader(const QByteArray &data)
    : m_bytes(reinterpret_cast<const uchar *>(data.constData()))
    , m_size(data.size())
    , m_budget(PropertyList::MaxExpandedBytes)
{
}

Value BinaryPropertyListReader::read(const QByteArray &data, QString *error)
{
    BinaryPropertyListReader reader(data);
    const Value result = reader.run();
    if (error)
        *error = result.isNull() ? QStringLiteral("damaged binary property list: %1").arg(reader.m_error) : QString();
    return result;
}

bool BinaryPropertyListReader::fail(const QString &why)
{
    m_error = why;
    return false;
}

Value BinaryPropertyListReader::run()
{
    if (!readTrailer())
        return {};
    m_opened.assign(m_objectCount, false);
    Value root;
    if (!open(m_top, 0, &root))
        return {};
    while (!m_stack.empty()) {
        Frame &frame = m_stack.back();
        if (frame.next == frame.count) {
            m_stack.pop_back();
            continue;
        }
        // Everything needed is copied out: open() may push and move the frames.
        const quint64 index = frame.next++;
        Value parent = frame.container;
        const int depth = frame.depth + 1;
        const qsizetype at = frame.refs + qsizetype(index) * m_refSize;
        const qsizetype valueAt = frame.dictionary ? at + qsizetype(frame.count) * m_refSize : at;
        QString name;
        quint64 keyObject = 0;
        if (frame.dictionary && !(reference(at, &keyObject) && key(keyObject, &name)))
            return {};
        quint64 object = 0;
        Value child;
        if (!reference(valueAt, &object) || !open(object, depth, &child))
            return {};
        if (parent.isDictionary())
            parent.insert(name, child);
        else
            parent.append(child);
    }
    return root;
}

bool BinaryPropertyListReader::readTrailer()
{
    if (m_size < HeaderSize + 1 + TrailerSize || std::memcmp(m_bytes, "bplist00", HeaderSize) != 0)
        return fail(QStringLiteral("no bplist00 signature, or too short"));
    const uchar *trailer = m_bytes + m_size - TrailerSize;
    m_offsetSize = trailer[6];
    m_refSize = trailer[7];
    const quint64 count = bigEndian(trailer + 8, 8);
    const quint64 top = bigEndian(trailer + 16, 8);
    const quint64 table = bigEndian(trailer + 24, 8);
    if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8)
        return fail(QStringLiteral("bad integer sizes in the trailer"));
    const auto tableEnd = quint64(m_size - TrailerSize);
    if (table < quint64(HeaderSize) || table > tableEnd || count == 0 || count > (tableEnd - table) / quint64(m_offsetSize))
        return fail(QStringLiteral("the offset table lies outside the data"));
    if (top >= count)
        return fail(QStringLiteral("the top object is not in the offset table"));
    m_objectCount = count;
    m_top = top;
    m_tableOffset = qsizetype(table);
    return true;
}

bool BinaryPropertyListReader::reference(qsizetype at, quint64 *object)
{
    *object = bigEndian(m_bytes + at, m_refSize);
    return *object < m_objectCount || fail(QStringLiteral("a reference to object %1 of %2").arg(*object).arg(m_objectCount));
}

bool BinaryPropertyListReader::offsetOf(quint64 object, qsizetype *offset)
{
    const quint64 at = bigEndian(m_bytes + m_tableOffset + qsizetype(object) * m_offsetSize, m_offsetSize);
    if (at < quint64(HeaderSize) || at >= quint64(m_tableOffset))
        return fail(QStringLiteral("object %1 lies outside the data").arg(object));
    *offset = qsizetype(at);
    return true;
}

bool BinaryPropertyListReader::lengthAfter(qsizetype marker, quint64 *length, qsizetype *body)
{
    const int nibble = m_bytes[marker] & 0x0F;
    if (nibble != 0x0F) {
        *length = quint64(nibble);
        *body = marker + 1;
        return true;
    }
    // A longer length follows as an integer object of 1, 2, 4 or 8 bytes.
    if (marker + 1 >= m_tableOffset || (m_bytes[marker + 1] & 0xF0) != Integer << 4 || (m_bytes[marker + 1] & 0x0F) > 3)
        return fail(QStringLiteral("a bad length at %1").arg(marker));
    const int size = 1 << (m_bytes[marker + 1] & 0x0F);
    if (marker + 2 + size > m_tableOffset)
        return fail(QStringLiteral("a length past the objects at %1").arg(marker));
    *length = bigEndian(m_bytes + marker + 2, size);
    *body = marker + 2 + size;
    return true;
}

bool BinaryPropertyListReader::charge(qint64 bytes)
{
    m_budget -= bytes;
    return m_budget >= 0 || fail(QStringLiteral("expands beyond %1 bytes").arg(PropertyList::MaxExpandedBytes));
}

bool BinaryPropertyListReader::open(quint64 object, int depth, Value *out)
{
    if (depth > PropertyList::MaxDepth)
        return fail(QStringLiteral("nesting deeper than %1 levels").arg(PropertyList::MaxDepth));
    qsizetype offset = 0;
    if (!offsetOf(object, &offset))
        return false;
    const int kind = m_bytes[offset] >> 4;
    if (kind == Array || kind == Dictionary) {
        // Each container stands in one place of the tree: this also refuses cycles,
        // and keeps the tree no larger than the references that describe it.
        if (m_opened[object])
            return fail(QStringLiteral("container %1 is referenced twice").arg(object));
        m_opened[object] = true;
        quint64 count = 0;
        qsizetype body = 0;
        if (!lengthAfter(offset, &count, &body))
            return false;
        const qsizetype perEntry = kind == Dictionary ? 2 * m_refSize : m_refSize;
        if (count > quint64(m_tableOffset - body) / quint64(perEntry))
            return fail(QStringLiteral("container %1 runs past the objects").arg(object));
        if (!charge(1))
            return false;
        *out = kind == Dictionary ? Value::dictionary() : Value::array();
        m_stack.push_back({ *out, body, count, 0, kind == Dictionary, depth });
        return true;
    }
    // Leaves may be shared (writers keep one copy of repeated keys and text).
    auto it = m_leaves.constFind(object);
    if (it == m_leaves.constEnd()) {
        Value v;
        qint64 size = 0;
        if (!leaf(offset, &v, &size))
            return false;
        it = m_leaves.insert(object, { v, size });
    }
    if (!charge(1 + it->second))
        return false;
    *out = it->first;
    return true;
}

bool BinaryPropertyListReader::key(quint64 object, QString *out)
{
    qsizetype offset = 0;
    if (!offsetOf(object, &offset))
        return false;
    const int kind = m_bytes[offset] >> 4;
    if (kind != Ascii && kind != Utf16)
        return fail(QStringLiteral("dictionary key %1 is not text").arg(object));
    Value name;
    if (!open(object, 0, &name))
        return false;
    *out = name.toString();
    return true;
}

bool BinaryPropertyListReader::leaf(qsizetype offset, Value *out, qint64 *size)
{
    const uchar marker = m_bytes[offset];
    const int nibble = marker & 0x0F;
    const qsizetype room = m_tableOffset - offset - 1;
    const uchar *body = m_bytes + offset + 1;
    *size = 0;
    switch (marker >> 4) {
    case Simple:
        if (marker != 0x08 && marker != 0x09)
            break;
        *out = Value(marker == 0x09);
        return true;
    case Integer: {
        if (nibble > 4 || room < (1 << nibble))
            break;
        // 16-byte integers carry the values above the signed range; the low half is the value.
        const int bytes = 1 << nibble;
        *out = Value(static_cast<qint64>(bigEndian(body + bytes - qMin(bytes, 8), qMin(bytes, 8))));
        return true;
    }
    case Real:
        if (nibble == 2 && room >= 4) {
            const auto bits = static_cast<quint32>(bigEndian(body, 4));
            float f = 0;
            std::memcpy(&f, &bits, sizeof f);
            *out = Value(double(f));
            return true;
        }
        if (nibble == 3 && room >= 8) {
            const quint64 bits = bigEndian(body, 8);
            double d = 0;
            std::memcpy(&d, &bits, sizeof d);
            *out = Value(d);
            return true;
        }
        break;
    case Date: {
        if (nibble != 3 || room < 8)
            break;
        const quint64 bits = bigEndian(body, 8);
        double seconds = 0;
        std::memcpy(&seconds, &bits, sizeof seconds);
        // Rounded, not truncated: a stored date reads back as the one written.
        const std::optional<QDateTime> when = std::isfinite(seconds) && std::fabs(seconds) < 1e12
            ? PropertyList::dateAt(std::llround(seconds * 1000))
            : std::nullopt;
        if (!when)
            return fail(QStringLiteral("a date out of range at %1").arg(offset));
        *out = Value::date(*when);
        return true;
    }
    case Uid:
        if (nibble > 7 || room < nibble + 1)
            break;
        *out = Value(static_cast<qint64>(bigEndian(body, nibble + 1)));
        return true;
    case Data:
    case Ascii:
    case Utf16: {
        quint64 length = 0;
        qsizetype start = 0;
        if (!lengthAfter(offset, &length, &start))
            return false;
        const int unit = (marker >> 4) == Utf16 ? 2 : 1;
        if (length > quint64(m_tableOffset - start) / quint64(unit))
            return fail(QStringLiteral("an object runs past the data at %1").arg(offset));
        const auto n = qsizetype(length);
        const auto *p = m_bytes + start;
        *size = n * unit;
        if ((marker >> 4) == Data) {
            *out = Value::data(QByteArray(reinterpret_cast<const char *>(p), n));
            return true;
        }
        QString text;
        if (unit == 1) {
            if (std::any_of(p, p + n, [](uchar c) { return c >= 0x80; }))
                return fail(QStringLiteral("non-ASCII bytes in ASCII text at %1").arg(offset));
            text = QString::fromLatin1(reinterpret_cast<const char *>(p), n);
        } else {
            text.resize(n);
            for (qsizetype i = 0; i < n; ++i)
                text[i] = QChar(char16_t(p[2 * i] << 8 | p[2 * i + 1]));
        }
        if (!PropertyList::isStorableText(text))
            return fail(QStringLiteral("text with a NUL character or broken UTF-16 at %1").arg(offset));
        *out = Value(text);
        return true;
    }
    default:
        break;
    }
    return fail(QStringLiteral("an unsupported or truncated object 0x%1 at %2")
                    .arg(marker, 2, 16, QLatin1Char('0'))
                    .arg(offset));
}
