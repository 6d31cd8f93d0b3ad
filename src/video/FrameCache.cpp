#include "video/FrameCache.h"

#include <algorithm>
#include <vector>

FrameCache::FrameCache(int capacity, Clock &clock)
    : m_clock(clock)
    , m_maxImages(capacity)
{
}

std::optional<CachedFrame> FrameCache::cachedFrameForSource(const Value &source) const
{
    const QMutexLocker lock(&m_mutex);
    const auto it = m_imageCache.constFind(source);
    if (it == m_imageCache.cend())
        return std::nullopt;
    return *it;
}

qsizetype FrameCache::count() const
{
    const QMutexLocker lock(&m_mutex);
    return m_imageCache.size();
}

void FrameCache::consumeFrame(const QImage &picture, const Value &source, int)
{
    const qint64 now = m_clock.now();
    const QMutexLocker lock(&m_mutex);
    const auto it = m_imageCache.find(source);
    if (it != m_imageCache.end()) {
        it->setImage(picture);
        it->setTimeStamp(now);
        return;
    }
    if (m_imageCache.size() >= m_maxImages) {
        // Evict the sources silent longest, leaving room for exactly one more.
        std::vector<std::pair<CachedFrame, Value>> byAge;
        byAge.reserve(static_cast<size_t>(m_imageCache.size()));
        for (auto entry = m_imageCache.cbegin(); entry != m_imageCache.cend(); ++entry)
            byAge.emplace_back(entry.value(), entry.key());
        std::sort(byAge.begin(), byAge.end(),
                  [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
        const qsizetype excess = std::min<qsizetype>(m_imageCache.size() - m_maxImages + 1, m_imageCache.size());
        for (qsizetype i = 0; i < excess; ++i)
            m_imageCache.remove(byAge[static_cast<size_t>(i)].second);
    }
    // The cache keeps its own copy of the key, so no holder can change it in place.
    m_imageCache.insert(source.deepCopy(), CachedFrame(picture, now));
}
