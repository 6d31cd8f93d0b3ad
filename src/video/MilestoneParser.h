#pragma once

#include <QByteArray>

// Cuts the replies of a Milestone image server out of its byte stream: header
// blocks ending in CR LF CR LF, where a block that names a "Content-length: " is
// followed by that many bytes of picture. It remembers across passes what it still
// needs and how far it has searched, so that each byte is looked at about once.
class MilestoneParser final
{
public:
    struct Pass
    {
        // Bytes at the front of the input that are done with.
        qsizetype consumed = 0;
        // The newest complete picture of the pass, when there is one.
        qsizetype frameStart = -1;
        qsizetype frameLength = 0;
        // Complete pictures of the pass that a newer one replaced.
        int superseded = 0;
        // A header block ended: the first one answers the login.
        bool sawBlock = false;
        // Where the pass's first header block ends (its terminator), when it saw one.
        qsizetype firstBlockEnd = -1;
        // A Content-length below 0 or above the limit: the stream is unusable.
        bool badLength = false;
        qint64 length = 0;
    };

    explicit MilestoneParser(qint64 maxLength);

    // Reads input from its start, which is what the last pass left unconsumed plus
    // new bytes.
    Pass parse(const QByteArray &input);
    void reset();

private:
    qint64 m_maxLength;
    qint64 m_bytesNeeded = 0;
    qsizetype m_searchFrom = 0;
};
