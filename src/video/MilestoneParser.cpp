#include "video/MilestoneParser.h"

#include "util/Utilities.h"

#include <algorithm>

namespace {

constexpr char Terminator[] = "\r\n\r\n";
constexpr qsizetype TerminatorSize = 4;
constexpr char ContentLength[] = "Content-length: ";
constexpr qsizetype ContentLengthSize = sizeof(ContentLength) - 1;

// The number after "Content-length: ": blanks skipped, an optional sign, digits up to
// the first non-digit. Values beyond limit come back as limit + 1.
qint64 contentLengthValue(const char *p, const char *end, qint64 limit)
{
    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    qint64 value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p)
        value = std::min(value * 10 + (*p - '0'), limit + 1);
    return negative ? -value : value;
}

} // namespace

MilestoneParser::MilestoneParser(qint64 maxLength)
    : m_maxLength(maxLength)
{
}

void MilestoneParser::reset()
{
    m_bytesNeeded = 0;
    m_searchFrom = 0;
}

MilestoneParser::Pass MilestoneParser::parse(const QByteArray &input)
{
    Pass pass;
    const char *base = input.constData();
    const qsizetype end = input.size();
    qsizetype p = 0;
    while (p < end) {
        if (m_bytesNeeded > 0) {
            if (end - p < m_bytesNeeded)
                break;
            // Only the newest complete picture of a pass is offered.
            if (pass.frameStart >= 0)
                ++pass.superseded;
            pass.frameStart = p;
            pass.frameLength = static_cast<qsizetype>(m_bytesNeeded);
            p += pass.frameLength;
            m_bytesNeeded = 0;
        }
        bool incomplete = false;
        while (p < end && m_bytesNeeded == 0) {
            // Bytes already searched in an earlier pass hold no terminator.
            const qsizetype from = std::max(p, m_searchFrom);
            const auto *term = static_cast<const char *>(
                vyo::memmem(base + from, static_cast<size_t>(end - from), Terminator, TerminatorSize));
            if (!term) {
                m_searchFrom = std::max(p, end - (TerminatorSize - 1));
                incomplete = true;
                break;
            }
            if (!pass.sawBlock)
                pass.firstBlockEnd = term - base;
            pass.sawBlock = true;
            const auto *length = static_cast<const char *>(
                vyo::memmem(base + p, static_cast<size_t>(term - (base + p)), ContentLength, ContentLengthSize));
            if (length) {
                const qint64 value = contentLengthValue(length + ContentLengthSize, term, m_maxLength);
                if (value < 0 || value > m_maxLength) {
                    pass.badLength = true;
                    pass.length = value;
                    return pass;
                }
                m_bytesNeeded = value;
            }
            p = term + TerminatorSize - base;
        }
        if (incomplete || m_bytesNeeded <= 0)
            break;
    }
    pass.consumed = p;
    m_searchFrom = std::max<qsizetype>(0, m_searchFrom - p);
    return pass;
}
