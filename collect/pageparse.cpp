#include "collect/pageparse.h"

#include "collect/itempagefetch.h"
#include "collect/pagesahead.h"

#include <stdexcept>
#include <utility>

namespace quib::collect {

namespace {

// True when the failure is the transfer abandoned for a stop request.
bool IsAbortedTransfer(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const HttpError& e) {
        return e.cause() == HttpError::Cause::Aborted;
    } catch (...) {
        return false;
    }
}

}  // namespace

TPageParse::TPageParse(const NetworkSettings& network, const std::string& url, const std::string& id, int index,
                       TOnGetUrlEvent onGetUrl, TOnParseErrorEvent onParseError, TOnPaseEndEvent onParseEnd,
                       TCheckTerminatedEvent onCheckTerminated)
    : Connection(std::make_unique<THttpConnection>(network, [this](bool& t) { SocketTerminate(t); })),
      DetailConnection(std::make_unique<THttpConnection>(network, [this](bool& t) { SocketTerminate(t); })),
      Index(index), Url(url), Id(id), OnGetUrl(std::move(onGetUrl)), OnParseError(std::move(onParseError)),
      OnParseEnd(std::move(onParseEnd)), OnCheckTerminated(std::move(onCheckTerminated)),
      MaxPages(network.maxPagesPerCollection > 0 ? network.maxPagesPerCollection : 10000), m_network(network)
{
    const std::size_t slash = url.rfind('/');
    if (slash != std::string::npos)
        BaseUrl = url.substr(0, slash + 1);
}

TPageParse::~TPageParse() = default;

void TPageParse::SocketTerminate(bool& terminated)
{
    // A transfer that takes its time does not keep the rows read before it from the table.
    if (HandOverDue())
        HandOverRows();
    if (OnCheckTerminated)
        OnCheckTerminated(*this);
    terminated = Terminated();
}

bool TPageParse::HandOverDue() const
{
    return !QueuedItems.empty() && std::chrono::steady_clock::now() - m_firstQueuedAt >= kHandOverInterval;
}

bool TPageParse::StopRequestedNow()
{
    if (OnCheckTerminated)
        OnCheckTerminated(*this);
    return Terminated();
}

void TPageParse::ReportItem(std::string caption, std::string link, std::string data, std::string date)
{
    ItemCaption = std::move(caption);
    ItemLink = std::move(link);
    ItemData = std::move(data);
    ItemDate = std::move(date);
    ++ItemCount;
    HandOverItem();
}

void TPageParse::HandOverItem()
{
    if (QueuedItems.empty())
        m_firstQueuedAt = std::chrono::steady_clock::now();
    // The fields are set afresh for every item, so they move into the queue.
    QueuedItems.push_back(
        {std::move(ItemData), std::move(ItemLink), std::move(ItemCaption), std::move(ItemDate), ItemCount});
    // A page of very many items goes over in parts, so its rows are never all held at once.
    if (QueuedItems.size() >= kRowsPerHandOver)
        HandOverRows();
}

void TPageParse::HandOverRows()
{
    if (QueuedItems.empty())
        return;
    // The worker goes on to the next page while the user interface appends these rows; the
    // calls after it (the next page's rows, an error, the end) come after them, in order.
    Post([this, items = std::exchange(QueuedItems, {}), url = Url, index = Index]() mutable {
        if (m_listEnded)
            return;  // a stop or a failure while earlier rows were appended ended the list there
        try {
            // A stop asked for before these rows were queued was seen by the parser, which
            // queued nothing after it: only one asked for while a row is appended ends the list.
            const bool stopAskedBefore = KeepWholeList || StopRequestedNow();
            for (QueuedItem& item : items) {
                if (OnGetUrl)
                    OnGetUrl(std::move(item.data), std::move(item.link), std::move(item.caption), std::move(item.date),
                             item.index, *this);
                if (!stopAskedBefore && StopRequestedNow()) {
                    m_listEnded = true;
                    break;
                }
            }
        } catch (const std::exception& e) {
            FailHandOver(e, url, index);
        } catch (...) {
            FailHandOver(std::runtime_error("未知错误"), url, index);
        }
    });
}

void TPageParse::FailHandOver(const std::exception& error, const std::string& url, int index)
{
    m_listEnded = true;
    Terminate();
    if (OnParseError)
        OnParseError(error, url, index, *this);
}

void TPageParse::Execute()
{
    try {
        // Only where the first page is where the site's addresses say: a walk that starts
        // elsewhere is not known to follow them.
        if (m_network.pageJobs > 1 && !Url.empty() && PageAddress(Index) == Url) {
            try {
                m_ahead = std::make_unique<PagesAhead>(
                    m_network, m_network.pageJobs, Index + MaxPages - 1,
                    [this](int index) { return PageAddress(index); }, [this](bool& t) { SocketTerminate(t); });
                m_ahead->FillAfter(Index - 1, kFetchLimit);
            } catch (...) {
                m_ahead.reset();  // no fetching ahead today: the walk fetches its pages itself
            }
        }
        while (!Url.empty())
            ParsePage();
    } catch (...) {
        // A failing error report must not keep the end callback from coming.
    }
    try {
        HandOverRows();
        Synchronize([this] { CallParseEnd(); });
    } catch (...) {
    }
    // Pages still on their way past the end, or cut off by a stop, end here.
    m_ahead.reset();
    Connection.reset();
    DetailConnection.reset();
}

const std::string& TPageParse::FetchPage(std::string& arrived)
{
    if (m_ahead) {
        if (auto page = m_ahead->Take(Index, Url)) {
            arrived = std::move(page->effectiveUrl);
            m_pageAhead = std::move(page->body);
            if (PagesFetched == 1)
                if (const std::optional<int> last = StatedLastIndex(m_pageAhead); last && *last >= Index)
                    m_ahead->SetStatedLast(*last);
            // The next pages go out before this one is scanned.
            m_ahead->FillAfter(Index, kFetchLimit);
            return m_pageAhead;
        }
        // A page not fetched ahead (the walk went past a stated last page): the window goes on
        // from here while this one is fetched.
        m_ahead->FillAfter(Index, kFetchLimit);
    }
    Connection->Get(Url, kFetchLimit);
    arrived = Connection->EffectiveUrl();
    return Connection->ResponseText();
}

std::size_t TPageParse::ItemPagesAhead() const { return m_ahead ? static_cast<std::size_t>(m_network.pageJobs) : 0; }

std::optional<std::string> TPageParse::ItemPage(const std::string& url, const std::vector<std::string>& upcoming)
{
    if (m_ahead) {
        m_ahead->ExpectBeside(url, kFetchLimit);
        for (const std::string& next : upcoming)
            m_ahead->ExpectBeside(next, kFetchLimit);
        try {
            if (std::optional<THttpMulti::Result> page = m_ahead->FetchBeside(url, kFetchLimit))
                return std::move(page->body);
        } catch (...) {
            // As FetchItemPage: a failed item page leaves its row without the page's data.
            if (Terminated())
                return std::nullopt;
            return std::string();
        }
    }
    return FetchItemPage(*DetailConnection, url, kFetchLimit, *this);
}

void TPageParse::ParsePage()
{
    try {
        if (StopRequestedNow()) {
            Url.clear();
            return;
        }
        if (PagesFetched++ >= MaxPages)
            throw std::runtime_error("已采集 " + std::to_string(MaxPages) +
                                     " 页，达到一次采集的页数上限，采集到此为止");
        if (!FetchedPages.insert(Url).second)
            throw std::runtime_error("页面 " + Url + " 已经采集过，下一页又回到了它，采集到此为止");
        m_pageInProgress->store(Index + 1, std::memory_order_relaxed);
        std::string arrived;
        const std::string& page = FetchPage(arrived);
        if (arrived != Url && !FetchedPages.insert(arrived).second)
            throw std::runtime_error("页面 " + Url + " 转到了已经采集过的 " + arrived + "，采集到此为止");
        ParseHTMLDocument(page);
        // Item pages fetched for items the list did not reach are of no use.
        if (m_ahead)
            m_ahead->DropBeside();
        // Pages read quickly go over together; the last one, or rows kept long enough, at once.
        if (Url.empty() || HandOverDue())
            HandOverRows();
    } catch (...) {
        // The rows the page gave before it failed come first, then the failure.
        try {
            HandOverRows();
        } catch (...) {
        }
        Url.clear();
        const std::exception_ptr error = std::current_exception();
        // A transfer abandoned because the user stopped is the stop, not a failure to report.
        if (Terminated() && IsAbortedTransfer(error))
            return;
        LastError = error;
        Synchronize([this] { CallParseError(); });
    }
}

void TPageParse::CallGetUrl()
{
    if (OnGetUrl)
        OnGetUrl(ItemData, ItemLink, ItemCaption, ItemDate, ItemCount, *this);
}

void TPageParse::CallParseError()
{
    if (!OnParseError || !LastError)
        return;
    try {
        std::rethrow_exception(LastError);
    } catch (const std::exception& e) {
        OnParseError(e, Url, Index, *this);
    } catch (...) {
        OnParseError(std::runtime_error("未知错误"), Url, Index, *this);
    }
}

void TPageParse::CallParseEnd()
{
    if (OnParseEnd)
        OnParseEnd(*this);
}

}  // namespace quib::collect
