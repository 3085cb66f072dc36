#include "copyjoiner.h"

#include <algorithm>

CopyJoiner::CopyJoiner(int mergeCount) : m_merge(std::clamp(mergeCount, kMinMerge, kMaxMerge)) {}

void CopyJoiner::Add(std::string_view item)
{
    if (m_text.empty()) {
        m_text = item;
    } else {
        m_text += (m_count % m_merge == 0) ? "\r\n" : "|";
        m_text += item;
    }
    ++m_count;
}
