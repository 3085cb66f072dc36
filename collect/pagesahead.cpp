#include "collect/pagesahead.h"

#include <algorithm>
#include <exception>

namespace quib::collect {

PagesAhead::PagesAhead(const NetworkSettings& settings, int window, int lastIndex, PageAddress address,
                       TStopQuery stopQuery)
    // The window, pages and item pages ahead alike, and the item page asked for now.
    : m_transfers(settings, std::max(1, window) + 1, std::move(stopQuery)), m_window(std::max(1, window)),
      m_lastIndex(lastIndex), m_address(std::move(address))
{
}

void PagesAhead::FillAfter(int index, int limit)
{
    m_nextIndex = std::max(m_nextIndex, index + 1);
    // A page the walk reached past the stated last one proves the statement wrong.
    const int last = m_statedLast && index <= *m_statedLast ? std::min(m_lastIndex, *m_statedLast) : m_lastIndex;
    // The window reaches no further than its size past the page in hand, so a list that ends
    // there costs no more requests than that.
    while (!m_ended && m_nextIndex <= std::min(index + m_window, last) && m_transfers.Running() < m_window) {
        const std::optional<std::string> url = m_address(m_nextIndex);
        if (!url || !m_transfers.Start(m_nextIndex, *url, limit)) {
            m_ended = true;
            break;
        }
        ++m_nextIndex;
    }
    m_transfers.Pump();
}

void PagesAhead::ExpectBeside(const std::string& url, int limit)
{
    if (m_transfers.Running() >= m_window || m_beside.contains(url))
        return;
    if (m_transfers.Start(m_nextBesideKey, url, limit))
        m_beside.emplace(url, m_nextBesideKey--);
}

std::optional<THttpMulti::Result> PagesAhead::FetchBeside(const std::string& url, int limit)
{
    int key = 0;
    if (const auto expected = m_beside.find(url); expected != m_beside.end()) {
        key = expected->second;
        m_beside.erase(expected);
    } else {
        key = m_nextBesideKey--;
        if (!m_transfers.Start(key, url, limit))
            return std::nullopt;
    }
    THttpMulti::Result result = m_transfers.Take(key);
    if (result.error)
        std::rethrow_exception(result.error);
    return result;
}

void PagesAhead::DropBeside()
{
    for (const auto& [url, key] : m_beside)
        m_transfers.Drop(key);
    m_beside.clear();
}

void PagesAhead::SetStatedLast(int index)
{
    m_statedLast = index;
    for (int past = index + 1; past < m_nextIndex; ++past)
        m_transfers.Drop(past);
    m_nextIndex = std::min(m_nextIndex, index + 1);
}

std::optional<THttpMulti::Result> PagesAhead::Take(int index, const std::string& url)
{
    if (!m_transfers.Has(index))
        return std::nullopt;
    if (m_address(index) != url) {
        // The walk went where the addresses did not say: what was fetched ahead is no use.
        m_transfers.DropAll();
        m_ended = true;
        return std::nullopt;
    }
    THttpMulti::Result result = m_transfers.Take(index);
    // A failed page, or one that arrived where an earlier one did, ends the list here: the
    // pages behind it are not asked for.
    if (result.error || !m_seen.insert(result.effectiveUrl).second)
        m_ended = true;
    if (result.error)
        std::rethrow_exception(result.error);
    return result;
}

}  // namespace quib::collect
