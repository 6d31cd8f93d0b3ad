#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <variant>

// A node of the keyed record trees that camera and group definitions are made of.
//
// Leaves (text, integer, real, boolean, date, data) are plain values. Dictionaries
// and arrays are shared, mutable nodes: copying a Value copies the reference, so
// every holder sees changes made in place, as editors and the updater expect. An
// opaque handle carries an in-memory object (a discovered service) that never
// serialises. A default-constructed Value is "absent".
class Value final
{
public:
    enum class Type { Null, String, Integer, Real, Boolean, Date, Data, Dictionary, Array, Handle };

    using Dictionary = QMap<QString, Value>;
    using Array = QList<Value>;

    Value() = default;
    Value(const QString &text);
    Value(const char *utf8);
    Value(int number);
    Value(qint64 number);
    Value(double number);
    Value(bool flag);

    static Value date(const QDateTime &when);
    static Value data(const QByteArray &bytes);
    static Value dictionary();
    static Value array();
    static Value array(const Array &items);
    static Value handle(std::shared_ptr<void> object);

    Type type() const;
    bool isNull() const { return type() == Type::Null; }
    bool isString() const { return type() == Type::String; }
    bool isDictionary() const { return type() == Type::Dictionary; }
    bool isArray() const { return type() == Type::Array; }
    bool isHandle() const { return type() == Type::Handle; }

    // Leaf readers. Text is read by the shared conventions: a truth value is true when,
    // after blanks, a sign and leading zeros, it begins with Y, y, T, t or 1 to 9;
    // an integer is its leading decimal digits (0 when there are none).
    QString toString() const;
    qint64 toInteger() const;
    double toReal() const;
    bool toBool() const;
    QDateTime toDate() const;
    QByteArray toData() const;
    std::shared_ptr<void> toHandle() const;

    static bool truthOf(const QString &text);
    static qint64 integerOf(const QString &text);

    // Dictionary access; on anything else reads give absent and writes do nothing.
    Value value(const QString &key) const;
    Value operator[](const QString &key) const { return value(key); }
    bool contains(const QString &key) const;
    void insert(const QString &key, const Value &v);
    void remove(const QString &key);
    QStringList keys() const;
    // A key counts as present only with a non-empty text (or any non-text value).
    bool hasText(const QString &key) const;

    // Array access; out-of-range reads give absent.
    Value at(qsizetype index) const;
    void append(const Value &v);
    void insertAt(qsizetype index, const Value &v);
    void replace(qsizetype index, const Value &v);
    void removeAt(qsizetype index);
    // Position of this very node (identity), or -1.
    qsizetype indexOfIdentical(const Value &v) const;
    Array items() const;

    // Entries of a dictionary or items of an array; 0 for leaves.
    qsizetype size() const;

    // Identity: the same shared node (containers, handles); equal content for leaves.
    bool isSameObject(const Value &other) const;
    // Content equality, recursively; integers and reals compare by number.
    bool operator==(const Value &other) const;
    bool operator!=(const Value &other) const { return !(*this == other); }

    // A fresh tree with the same content; handles are shared, not copied.
    Value deepCopy() const;

    // Readable one-line form for log lines, e.g. {title = "Door"; uid = 3}.
    QString description() const;

private:
    struct Handle
    {
        std::shared_ptr<void> object;
        bool operator==(const Handle &other) const { return object == other.object; }
    };
    using Storage = std::variant<std::monostate, QString, qint64, double, bool, QDateTime,
                                 QByteArray, std::shared_ptr<Dictionary>, std::shared_ptr<Array>,
                                 Handle>;

    Dictionary *dict() const;
    Array *list() const;

    Storage m_data;
};

size_t qHash(const Value &value, size_t seed = 0);

Q_DECLARE_METATYPE(Value)
