#pragma once
// The collection engine: the run state of one collection form and everything that fills its
// table. It starts the site workers and the single-page walk, receives their callbacks on the
// user-interface thread and tells its form (and whoever hosts the form) through signals. It
// knows no widget, so a dialog, the window and the command-line tool drive the same code.
#include "collect/addressrules.h"
#include "host/core/app.h"
#include "collect/collectionprogress.h"
#include "collect/pageparse.h"
#include "collect/resourceapi.h"
#include "results/resultrow.h"
#include "collect/simplerules.h"
#include "collect/sites.h"
#include "collect/stopflag.h"
#include "host/core/workerthread.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace quib {
class HtmlElement;
}
namespace quib::results {
class MemData;
}
namespace quib {
class SimpleParser;
}

namespace quib::collect {

// A collection asked for, by the form, the collection dialog or the command line.
struct CollectRequest {
    std::string address;  // GBK, as typed; surrounding blanks do not count
    std::string site;     // a site key (see sites.h); empty: the site of the last collection
    bool fast = true;     // feeds instead of playlist pages where a site has them
    bool append = false;  // keep the rows already in the table
    int startPage = 1;    // the playlist page to start from
    // Which of a Xunlei movie's albums to collect, counted from 1; unset: the album chooser asks.
    std::optional<int> album;
    // Which play source of a resource site's record to collect, by name; empty: the source
    // chooser asks when the record has several (the first one without a chooser).
    QString source;
};

class CollectionEngine : public QObject {
    Q_OBJECT
public:
    enum class MessageKind { Info, Alert };
    Q_ENUM(MessageKind)
    // How the last collection ended: ran to its end, broke off with an error, or was stopped.
    enum class EndKind { Finished, Failed, Stopped };

    CollectionEngine(IApp& app, results::MemData& data, QObject* parent = nullptr);
    ~CollectionEngine() override;

    IApp& App() { return m_app; }
    results::MemData& Data() { return m_data; }
    bool IsRunning() const { return m_running; }
    // How the running or last collection ended (Finished while it runs without trouble); with
    // rows added to those of a collection that broke off, how that one ended.
    EndKind LastEnd() const { return m_lastEnd; }
    // Where the running (or last) collection stands: its worker's page, rows stored, time spent.
    CollectionProgress Progress() const;

    // Starts the collection a request describes: a single page at once, an album through its
    // site's worker. False when there is no address to collect from (nothing was started).
    bool Collect(const CollectRequest& request);
    // What a collection came to.
    struct Result {
        bool started = false;  // false: the request named no address or no site, and said so
        EndKind end = EndKind::Finished;
        int rows = 0;  // rows stored by this collection
    };
    // Collects and returns once the collection has ended, the event loop running meanwhile.
    Result CollectAndWait(const CollectRequest& request);
    // Asks a running collection to stop: the workers at their next check, a page walk at once.
    void RequestStop();
    // Enters and leaves the running state; the table is emptied first unless rows are added to it.
    void StartProcess(bool append);
    void EndProcess();

    // Collects a row again from its Link and overwrites it in place.
    void RetryRow(int row);
    // Retries every checked row whose Url is empty, in storage order, and says what came of it.
    void AutoRetry();

    // The run state: the album's ID, the site of the last collection (kept when no site radio is
    // checked), the stop request the workers read, and a Xunlei movie's albums.
    const std::string& CollectId() const { return m_collectId; }
    const std::string& SiteKey() const { return m_siteKey; }
    const StopFlag& StopRequested() const { return m_stopRequested; }
    TStringHashTable& AlbumTable() { return *m_albumTable; }
    quib::SimpleParser& Loader() { return *m_simpleParser; }

    // How a starter's worker is launched. By default each starter's own site worker; the seam
    // lets a caller run the same engine with a worker of its own.
    struct WorkerStart {
        Starter starter;
        std::string url;
        std::string id;
        int index;
    };
    using WorkerLauncher = std::function<void(CollectionEngine& engine, const WorkerStart& start)>;
    void SetWorkerLauncher(WorkerLauncher launcher) { m_launcher = std::move(launcher); }
    // Picks one of a movie's albums; returns its position, or -1 when none was chosen.
    using AlbumChooser = std::function<int(const std::vector<QString>& lines)>;
    void SetAlbumChooser(AlbumChooser chooser) { m_chooser = std::move(chooser); }
    // Picks one play source of a resource site's record (base: the site's base address, for a
    // choice remembered per site); returns its index into record.sources, or -1 for none.
    using SourceChooser = std::function<int(const QString& base, const ResourceRecord& record)>;
    void SetSourceChooser(SourceChooser chooser) { m_sourceChooser = std::move(chooser); }

    using RowMethod = void (CollectionEngine::*)(const std::string& Html, const std::string& Url,
                                                 const std::string& Caption, const std::string& Date, int Index,
                                                 TPageParse& PP);
    using EndMethod = void (CollectionEngine::*)(TPageParse& PP);

    // Starts a worker of class Worker whose callbacks reach this engine only while it exists.
    template <class Worker>
    std::shared_ptr<Worker> StartWorker(const std::string& url, const std::string& id, int index, RowMethod onRow,
                                        EndMethod onEnd = &CollectionEngine::ParseEnd)
    {
        auto worker =
            WorkerThread::Start<Worker>(m_app.GetWorkers(), m_app.GetNetwork(), url, id, index, Guarded(onRow),
                                        Guarded(&CollectionEngine::ParseError), Guarded(onEnd), StopCheck());
        m_pageGauge = worker->PageInProgress();
        return worker;
    }

    // The workers' end and error callbacks.
    void ParseEnd(TPageParse& thread);
    void ParseError(const std::exception& E, const std::string& Url, int Index, TPageParse& thread);

    // The row callback of a site's way of collecting: each item becomes the row its cut gives.
    TPageParse::TOnGetUrlEvent ItemRows(const SiteRecord& site, const CollectionWay& way);

    static constexpr int kAppend = -1;  // the row argument of a single-page collection that appends
    // The single-page engine: loads url in the loader and runs the element rules of data.Site
    // over it (scripts on for this load when runScripts); returns when the walk has ended.
    void RunSimpleParser(const std::string& url, TParseData& data, bool runScripts);

    // Xunlei collection: the movie's launcher, its album step and the rows of the chosen album.
    void ParseXunleiMovie(const std::string& url, const std::string& id, int index);
    void ParseXunleiByAlbumList();
    void ParseXunleiAlbumList(const std::string& url, const std::string& id, int index);
    void GetXunleiAlbumUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                           const std::string& Date, int Index, TPageParse& PP);
    void GetXunleiUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                      const std::string& Date, int Index, TPageParse& PP);
    void ParseXunleiMovieEnd(TPageParse& thread);

    // Resource sites: the record's worker, and its end, where a source is chosen and its episodes
    // become rows.
    void ParseResourceRecord(const std::string& url, const std::string& id, int index);
    void ParseResourceRecordEnd(TPageParse& thread);

    // Row callback that takes an item as it comes: data to Url, link to Link.
    void GetPlainUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                     const std::string& Date, int Index, TPageParse& PP);

signals:
    // A collection began; the table is open (and empty unless rows are added to it).
    void Started();
    // A row was stored at this storage index (its fields may still be completed by the cut).
    void RowAdded(int row);
    // A row is about to be collected again (the form moves its focus there).
    void Retrying(int row);
    // Something to tell the person collecting.
    void Message(CollectionEngine::MessageKind kind, const QString& text);
    // The collection ended, however it ended; exactly once per Started. The form connects first,
    // so its own end handling has run when any later receiver hears of it.
    void Ended();

private:
    // The one way collected rows reach the table: stored checked, a failure swallowed, and
    // announced. Returns the storage index, -1 when nothing was stored.
    int AddRow(results::RowFields fields);
    // The row-append rule for rows cut out of an item: the checked row is appended whatever the
    // cut gives, empty when the cut fails.
    void AppendCutRow(const std::function<results::RowFields()>& cut);
    void Info(const QString& text) { emit Message(MessageKind::Info, text); }
    // Shown and kept in the host's log with the address and the site; url, when given, is the
    // page that failed, otherwise the address being collected.
    void Alert(const QString& text, const std::string& url = {});

    void Launch(Starter starter);
    void LaunchSiteWorker(const WorkerStart& start);
    void RunSinglePage(const AddressClass& target, const std::string& address);
    void RunSimpleParserFor(SinglePageParser parser, const std::string& url, int kind, int row);
    // One item of a site's worker as its row: appended, or for 6rooms without a title read again.
    void AddItemRow(const SiteRecord& site, const CollectionWay& way, const SiteItem& item);
    void ReadUntitledItem(const SiteRecord& site, const std::string& link);
    void ChooseXunleiAlbum();
    int ChooseResourceSource(const QString& base, const ResourceRecord& record);
    TPageParse::TCheckTerminatedEvent StopCheck() const;
    std::string FetchPage(const std::string& url);

    // False when the engine was destroyed during the load; the caller must then return at once.
    bool WalkSimplePage(const std::string& url, TParseData& data, bool runScripts);
    void SimpleParserElement(const HtmlElement& element);
    // Appends a row for the page at link, or on retry overwrites row `row` with the given fields.
    void WriteSimpleRow(const std::string& link, int row, results::RowFields fields);

    // Callbacks run on the user-interface thread but are destroyed with their worker on its own
    // thread, so they hold a plain shared token, cleared when the engine goes, not a QPointer.
    template <class... Args>
    std::function<void(Args...)> Guarded(void (CollectionEngine::*method)(Args...))
    {
        return [alive = m_alive, method](Args... args) {
            if (CollectionEngine* engine = *alive)
                (engine->*method)(std::forward<Args>(args)...);
        };
    }

    IApp& m_app;
    results::MemData& m_data;
    bool m_running = false;
    EndKind m_lastEnd = EndKind::Finished;
    int m_page = 1;
    // For Progress: the page of the collection's latest worker, rows stored since it started, and
    // its clock.
    TPageParse::PageGauge m_pageGauge;
    int m_rowsStored = 0;
    QElapsedTimer m_clock;
    std::string m_collectId;
    std::string m_siteKey;
    std::string m_address;  // what is being collected, for the log
    StopFlag m_stopRequested;
    std::unique_ptr<TStringHashTable> m_albumTable;
    quib::SimpleParser* m_simpleParser = nullptr;  // a child of the engine
    WorkerLauncher m_launcher;
    AlbumChooser m_chooser;
    std::optional<int> m_album;  // the request's album, when it named one
    SourceChooser m_sourceChooser;
    QString m_source;  // the request's play source, when it named one
    std::mt19937 m_random{std::random_device{}()};
    std::shared_ptr<CollectionEngine*> m_alive = std::make_shared<CollectionEngine*>(this);
    // The walk RunSimpleParser runs: the address loaded and the record its rules fill.
    const std::string* m_walkAddress = nullptr;
    TParseData* m_walkData = nullptr;
};

}  // namespace quib::collect
