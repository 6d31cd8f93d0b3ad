#pragma once

#include "config/Value.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

// Reads the binary property-list format (bplist00) into records. Stored files,
// links and the local socket carry it, so it is hostile input: every offset,
// reference and length is checked against the data before it is used, nesting is
// walked with an explicit stack, and each object is decoded once, so that time and
// memory grow in proportion to the input. Any thread; one reader per call.
class BinaryPropertyListReader final
{
public:
    // Absent result and *error set for anything that is not a whole, well-formed list.
    static Value read(const QByteArray &data, QString *error);

private:
    struct Frame
    {
        Value container;
        qsizetype refs; // offset of the first object reference
        quint64 count;
        quint64 next = 0;
        bool dictionary;
        int depth;
    };

    explicit BinaryPropertyListReader(const QByteArray &data);

    Value run();
    bool readTrailer();
    bool fail(const QString &why);
    bool reference(qsizetype at, quint64 *object);
    bool offsetOf(quint64 object, qsizetype *offset);
    bool lengthAfter(qsizetype marker, quint64 *length, qsizetype *body);
    bool open(quint64 object, int depth, Value *out);
    bool leaf(qsizetype offset, Value *out, qint64 *size);
    bool key(quint64 object, QString *out);
    bool charge(qint64 bytes);

    const uchar *m_bytes;
    qsizetype m_size;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_top = 0;
    qsizetype m_tableOffset = 0;
    qint64 m_budget;
    QHash<quint64, std::pair<Value, qint64>> m_leaves;
    std::vector<bool> m_opened;
    std::vector<Frame> m_stack;
    QString m_error;
};
