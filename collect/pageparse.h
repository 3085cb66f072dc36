#pragma once
// The worker thread of every paged, feed and Xunlei collection: fetches one page after another
// and hands each to its site parser, reporting items, a failure and its end on the
// user-interface thread while it waits.
#include "host/core/httpconnection.h"
#include "host/core/workerthread.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <unordered_set>
#include <vector>

namespace quib::collect {

class PagesAhead;

// Not a parser: the worker each site's scanner (ParseHTMLDocument) runs on. The name is kept.
class TPageParse : public WorkerThread {
public:
    // The callbacks keep the module's names, typo included (TOnPaseEndEvent: parse end). OnGetUrl
    // is the row callback: its Html is the item's data (the row's Url), its Url the item's link,
    // its Index the item's number on its page (ItemCount), not the worker's page Index. The texts
    // are the callback's own: a queued item's fields move into its row instead of being copied.
    using TOnGetUrlEvent = std::function<void(std::string Html, std::string Url, std::string Caption, std::string Date,
                                              int Index, TPageParse& PP)>;
    using TOnParseErrorEvent =
        std::function<void(const std::exception& E, const std::string& Url, int Index, TPageParse& PP)>;
    using TOnPaseEndEvent = std::function<void(TPageParse& PP)>;
    using TCheckTerminatedEvent = std::function<void(TPageParse& PP)>;

    // Settings the host gives every connection of the worker.
    TPageParse(const NetworkSettings& network, const std::string& url, const std::string& id, int index,
               TOnGetUrlEvent onGetUrl, TOnParseErrorEvent onParseError, TOnPaseEndEvent onParseEnd,
               TCheckTerminatedEvent onCheckTerminated);
    ~TPageParse() override;

    // The stop query of both connections: a pending stop request reaches a transfer in flight.
    void SocketTerminate(bool& terminated);

    int GetIndex() const { return Index; }
    // The page being fetched or scanned now, counted from 1 (Index counts from 0), 0 before the
    // first. Shared apart from the worker, so a watcher on another thread reads it without keeping
    // the worker alive.
    using PageGauge = std::shared_ptr<const std::atomic<int>>;
    PageGauge PageInProgress() const { return m_pageInProgress; }
    const std::string& GetBaseUrl() const { return BaseUrl; }

    // The seconds a page or item transfer may stall.
    static constexpr int kFetchLimit = 16;

protected:
    void Execute() override;
    void ParsePage();
    // The site parser: receives one page, reports its items, then sets Url to the next page's
    // address (adding 1 to Index) or clears it.
    virtual void ParseHTMLDocument(const std::string& page) = 0;
    // The address of the page at an index, where the site's addresses follow from the index alone;
    // the pages are then fetched ahead of the walk (see PagesAhead). Nothing by default.
    virtual std::optional<std::string> PageAddress(int) const { return std::nullopt; }
    // The index of the album's last page, where the first page's pager states how many there
    // are; it keeps the pages fetched ahead from going past the end. Nothing by default.
    virtual std::optional<int> StatedLastIndex(const std::string&) const { return std::nullopt; }

    void CallGetUrl();
    void CallParseError();
    // Queues the current item (ItemData, ItemLink, ItemCaption, ItemDate, ItemCount) for the row
    // callback. The queue goes to the user-interface thread in one hand-over (HandOverRows) once
    // it holds kRowsPerHandOver items, after a page when its first row has waited
    // kHandOverInterval or no page follows, during a slow transfer once that long has passed,
    // and before the worker ends. Pages that arrive quickly so cost one wake-up of the user
    // interface between them, not one per row or page, and the worker never waits for it.
    void HandOverItem();
    static constexpr std::size_t kRowsPerHandOver = 1000;
    static constexpr std::chrono::milliseconds kHandOverInterval{100};
    bool HandOverDue() const;
    // Hands the queued items over in order. Each passed the parser's own stop check before it
    // was queued, so every one is appended; a stop asked for while a row is appended drops the
    // rows after it, in this hand-over and the later ones, as the parser would have stopped
    // there, unless the list is kept whole (KeepWholeList). A row callback that throws ends the
    // collection with its error, and no later row is appended. The worker reads on meanwhile
    // and stops at its next stop check. Called when due (see HandOverItem).
    void HandOverRows();
    void CallParseEnd();
    // Asks the form whether to stop; true when the thread has a terminate request.
    bool StopRequestedNow();
    // The scan of a page of items that every paged site shares: each item begins after itemMarker
    // (and, when given, after thenPast that follows it); a stop request before an item ends the
    // collection. Items are counted in ItemCount; only when someone receives them are their fields
    // cut, by cutItem(rest), which sets ItemLink, ItemData, ItemCaption and ItemDate or returns
    // false when the collection cannot go on (its item page is lost). listGoesOn(rest), after
    // each item, says whether another may follow. False when the collection ended here (Url
    // cleared); then the page's pager is not read.
    template <class Cursor, class CutItem, class ListGoesOn>
    bool ScanItems(Cursor& rest, std::string_view itemMarker, std::string_view thenPast, CutItem&& cutItem,
                   ListGoesOn&& listGoesOn)
    {
        ItemCount = 0;
        while (rest.Contains(itemMarker)) {
            if (StopRequestedNow()) {
                Url.clear();
                return false;
            }
            rest.SkipPast(itemMarker);
            if (!thenPast.empty())
                rest.SkipPast(thenPast);
            ++ItemCount;
            if (OnGetUrl) {
                if (!cutItem(rest)) {
                    Url.clear();
                    return false;
                }
                HandOverItem();
            }
            if (!listGoesOn(rest))
                break;
        }
        return true;
    }
    template <class Cursor, class CutItem>
    bool ScanItems(Cursor& rest, std::string_view itemMarker, CutItem&& cutItem)
    {
        return ScanItems(rest, itemMarker, {}, std::forward<CutItem>(cutItem), [](const Cursor&) { return true; });
    }
    // An item's own page, as FetchItemPage gives it: beside the pages fetched ahead when there
    // are, so they go on meanwhile. upcoming: the links of the items that follow on the page, in
    // order, up to ItemPagesAhead() of them: their pages go out at once.
    std::optional<std::string> ItemPage(const std::string& url, const std::vector<std::string>& upcoming = {});
    // How many upcoming item links ItemPage can use: none without pages fetched ahead.
    std::size_t ItemPagesAhead() const;
    // Takes one item of a document read whole as the current one, counts it and queues it.
    void ReportItem(std::string caption, std::string link, std::string data, std::string date);

    std::unique_ptr<THttpConnection> Connection;
    std::unique_ptr<THttpConnection> DetailConnection;
    int Index = 0;
    int ItemCount = 0;
    std::string Url;
    std::string Id;
    std::string BaseUrl;
    std::string ItemLink;
    std::string ItemData;
    std::string ItemCaption;
    std::string ItemDate;
    std::exception_ptr LastError;
    struct QueuedItem {
        std::string data, link, caption, date;
        int index;
    };
    std::vector<QueuedItem> QueuedItems;
    // The feeds and Xunlei documents are read to their end whatever the stop requests: no stop
    // shortens their list, even one asked for while their rows are appended.
    bool KeepWholeList = false;
    TOnGetUrlEvent OnGetUrl;
    TOnParseErrorEvent OnParseError;
    TOnPaseEndEvent OnParseEnd;
    TCheckTerminatedEvent OnCheckTerminated;
    // Page addresses fetched in this collection, asked for and arrived at; a pager that leads back
    // to one of them would go round for ever.
    std::unordered_set<std::string> FetchedPages;
    int MaxPages = 0;
    int PagesFetched = 0;

private:
    // On the user-interface thread: a row callback failed; reports it and stops the worker.
    void FailHandOver(const std::exception& error, const std::string& url, int index);
    // The page at Url, fetched ahead or now; arrived is where it ended after redirects.
    const std::string& FetchPage(std::string& arrived);

    // Pages fetched at once (NetworkSettings::pageJobs) and the fetches ahead, on the worker's
    // thread only.
    NetworkSettings m_network;
    std::unique_ptr<PagesAhead> m_ahead;
    std::string m_pageAhead;  // the page in hand when it was fetched ahead

    // A stop asked for, or a failure, while rows were appended: no later row is. Read and
    // written on the user-interface thread only.
    bool m_listEnded = false;
    std::chrono::steady_clock::time_point m_firstQueuedAt;
    std::shared_ptr<std::atomic<int>> m_pageInProgress = std::make_shared<std::atomic<int>>(0);
};

}  // namespace quib::collect
