#include "results/copyjoiner.h"

#include <algorithm>

namespace quib::results {

CopyJoiner::CopyJoiner(int mergeCount) : m_merge(std::clamp(mergeCount, kMinMerge, kMaxMerge)) {}

void CopyJoiner::Add(std::string_view item)
{
    if (m_written)
        m_text += (m_count % m_merge == 0) ? "\r\n" : "|";
    m_text += item;
    m_written = m_written || !item.empty();
    ++m_count;
}

void CopyJoiner::DropFront(std::size_t bytes) { m_text.erase(0, bytes); }

}  // namespace quib::results
