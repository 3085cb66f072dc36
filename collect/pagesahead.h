#pragma once
// An album's pages fetched ahead of the worker that scans them, a window of them at once, where
// the site's page addresses can be computed. The worker still walks the pages one after another
// and decides from each whether another follows; it only finds the page it asks for already on
// its way. So the rows come in the walk's order, and a page past the end costs at most the
// window's worth of requests that nobody takes.
#include "host/core/httpmulti.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>

namespace quib::collect {

class PagesAhead {
public:
    // The address of the page at an index, nothing where it cannot be known beforehand.
    using PageAddress = std::function<std::optional<std::string>(int index)>;

    // window: pages fetched at once; lastIndex: no page past it is asked for.
    PagesAhead(const NetworkSettings& settings, int window, int lastIndex, PageAddress address, TStopQuery stopQuery);

    // Fills the window with the pages that follow index (the page in hand).
    void FillAfter(int index, int limit);
    // The last page's index, as the album's first page states it: no page past it is asked for,
    // and those already on their way are ended. A walk that goes on past it shows the statement
    // wrong; from there the window runs ahead again (see FillAfter).
    void SetStatedLast(int index);
    // The page at index, when it was fetched ahead at this very address; waits for it. Nothing
    // when it was not (then the caller fetches it itself). A stop ends every transfer at once and
    // throws HttpError Aborted; so does a transfer's own failure, with its own error.
    std::optional<THttpMulti::Result> Take(int index, const std::string& url);
    // Moves the transfers on without waiting: they go out while the page in hand is scanned.
    void Pump() { m_transfers.Pump(); }
    // Items' own pages, fetched beside the album pages, so that all move on together: on a
    // connection of its own an item page would leave the pages ahead unattended for as long as it
    // took, and a slow one would let their connect or stall limit run out.
    // ExpectBeside starts an item page that will be asked for soon, while fewer transfers than
    // the window run; FetchBeside takes it, or fetches it now, and throws the transfer's HttpError
    // (Aborted on a stop), or gives nothing when no transfer is free (the caller then fetches it
    // itself); DropBeside ends those not asked for (the page's list ended before them).
    void ExpectBeside(const std::string& url, int limit);
    std::optional<THttpMulti::Result> FetchBeside(const std::string& url, int limit);
    void DropBeside();

private:
    THttpMulti m_transfers;
    int m_window;
    int m_lastIndex;
    std::optional<int> m_statedLast;
    PageAddress m_address;
    int m_nextIndex = -1;  // the next page to ask for; -1 before the first
    // Nothing more is asked for: a page failed or led back to one seen.
    bool m_ended = false;
    std::unordered_set<std::string> m_seen;  // the addresses pages arrived at
    std::map<std::string, int> m_beside;     // item pages started, by address; keys below 0
    int m_nextBesideKey = -1;
};

}  // namespace quib::collect
