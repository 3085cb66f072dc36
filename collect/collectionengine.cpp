#include "collect/collectionengine.h"

#include "host/core/gbk.h"
#include "results/memdata.h"
#include "host/core/simpleparser.h"
#include "collect/textcursor.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>

namespace quib::collect {

using namespace quib::results;

CollectionEngine::CollectionEngine(IApp& app, MemData& data, QObject* parent)
    : QObject(parent), m_app(app), m_data(data), m_albumTable(std::make_unique<TStringHashTable>())
{
    m_simpleParser = new quib::SimpleParser(m_app.GetNetwork(), this);
    m_simpleParser->SetOnElement([this](const HtmlElement& element) { SimpleParserElement(element); });
    m_launcher = [](CollectionEngine& engine, const WorkerStart& start) { engine.LaunchSiteWorker(start); };
}

CollectionEngine::~CollectionEngine()
{
    // A worker still running stops at its next check; its callbacks no longer find the engine.
    m_stopRequested.Set();
    *m_alive = nullptr;
}

bool CollectionEngine::Collect(const CollectRequest& request)
{
    const std::string address = Trim(request.address);
    if (address.empty()) {
        Info(QStringLiteral("请输入地址！"));
        return false;
    }
    if (!request.site.empty())
        m_siteKey = request.site;
    if (m_siteKey.empty()) {
        Info(QStringLiteral("请选择采集网站！"));
        return true;
    }

    m_page = request.startPage;
    m_album = request.album;
    m_source = request.source;
    const AddressClass target = ClassifyAddress(m_siteKey, address);
    if (target.action == AddressClass::Action::SinglePage) {
        StartProcess(request.append);
        RunSinglePage(target, address);
        return true;
    }
    if (target.action == AddressClass::Action::Id)
        m_collectId = target.id;
    StartProcess(request.append);
    Launch(StarterFor(m_siteKey, request.fast));
    if (m_collectId.empty())
        Info(QStringLiteral("无法解析到正确的ID！"));
    return true;
}

CollectionEngine::Result CollectionEngine::CollectAndWait(const CollectRequest& request)
{
    // Connected before the start: a single page ends inside Collect itself.
    QEventLoop loop;
    Result result;
    bool ended = false;
    const auto started = connect(this, &CollectionEngine::Started, &loop, [&] { result.started = true; });
    const auto stopped = connect(this, &CollectionEngine::Ended, &loop, [&] {
        ended = true;
        loop.quit();
    });
    const QPointer<CollectionEngine> alive(this);
    Collect(request);
    if (alive && !ended && IsRunning())
        loop.exec();
    if (!alive)
        return result;
    disconnect(started);
    disconnect(stopped);
    result.end = m_lastEnd;
    result.rows = m_rowsStored;
    return result;
}

void CollectionEngine::RunSinglePage(const AddressClass& target, const std::string& address)
{
    const QPointer<CollectionEngine> alive(this);
    try {
        RunSimpleParserFor(target.parser, address, target.pageKind, kAppend);
    } catch (const std::exception& e) {
        // The parsers report their own failures; anything else must not leave the form running.
        m_lastEnd = EndKind::Failed;
        Alert(QString::fromUtf8(e.what()));
    }
    if (alive)
        EndProcess();
}

void CollectionEngine::Launch(Starter starter)
{
    WorkerStart start{starter,
                      FirstAddress(starter, m_collectId, m_page, std::uniform_int_distribution<int>(0, 99)(m_random)),
                      m_collectId, FirstIndex(starter, m_page)};
    m_address = start.url;
    try {
        m_launcher(*this, start);
    } catch (const std::exception& e) {
        // No worker runs, so no end callback will come: return to idle here.
        m_lastEnd = EndKind::Failed;
        Alert(QStringLiteral("在采集的过程中发生错误：") + QString::fromUtf8(e.what()));
        EndProcess();
    }
}

void CollectionEngine::StartProcess(bool append)
{
    if (!append) {
        m_data.Close();
        QCoreApplication::processEvents();
    }
    m_data.Open();
    m_running = true;
    // Rows kept from a collection that broke off keep the list incomplete.
    if (!append)
        m_lastEnd = EndKind::Finished;
    m_stopRequested.Clear();
    m_pageGauge.reset();
    m_rowsStored = 0;
    m_clock.start();
    emit Started();
}

void CollectionEngine::EndProcess()
{
    if (!m_running)
        return;  // one end per collection, however many ways it was reached
    m_running = false;
    emit Ended();
}

CollectionProgress CollectionEngine::Progress() const
{
    CollectionProgress progress;
    if (m_pageGauge)
        progress.page = m_pageGauge->load(std::memory_order_relaxed);
    progress.rows = m_rowsStored;
    progress.elapsedMs = m_clock.isValid() ? m_clock.elapsed() : 0;
    return progress;
}

void CollectionEngine::RequestStop()
{
    if (m_running && m_lastEnd == EndKind::Finished)
        m_lastEnd = EndKind::Stopped;
    m_stopRequested.Set();
    if (m_simpleParser->Busy())
        m_simpleParser->Stop();
}

TPageParse::TCheckTerminatedEvent CollectionEngine::StopCheck() const
{
    // Runs on the worker thread, so it holds the flag itself rather than the engine.
    return [stop = m_stopRequested](TPageParse& thread) {
        if (stop.IsSet())
            thread.Terminate();
    };
}

void CollectionEngine::ParseEnd(TPageParse&) { EndProcess(); }

void CollectionEngine::ParseError(const std::exception& E, const std::string& Url, int, TPageParse&)
{
    // A transfer cut short by a stop request is the stop, not a fault of the site.
    if (m_lastEnd != EndKind::Stopped)
        m_lastEnd = EndKind::Failed;
    Alert(QStringLiteral("在采集的过程中发生错误：") + QString::fromUtf8(E.what()), Url);
}

void CollectionEngine::Alert(const QString& text, const std::string& url)
{
    // An error while a collection runs leaves its rows incomplete, whichever parser met it.
    if (m_running && m_lastEnd == EndKind::Finished)
        m_lastEnd = EndKind::Failed;
    m_app.WriteLog(text, gbk::ToUnicode(url.empty() ? m_address : url), QString::fromStdString(m_siteKey));
    emit Message(MessageKind::Alert, text);
}

int CollectionEngine::AddRow(RowFields fields)
{
    int index = -1;
    try {
        fields.Status = true;
        index = m_data.Append(std::move(fields));
    } catch (...) {
        // A row that cannot be stored is dropped; the collection goes on.
        return -1;
    }
    if (index >= 0) {
        ++m_rowsStored;
        emit RowAdded(index);
    }
    return index;
}

void CollectionEngine::AppendCutRow(const std::function<RowFields()>& cut)
{
    RowFields fields;
    try {
        fields = cut();
    } catch (...) {
        // The row is still added, empty: the item was there even if its fields could not be read.
        fields = RowFields{};
    }
    AddRow(std::move(fields));
}

void CollectionEngine::GetPlainUrl(const std::string& Html, const std::string& Url, const std::string& Caption,
                                   const std::string& Date, int, TPageParse&)
{
    AddRow(RowFields{Caption, Html, Date, Url, true});
}

}  // namespace quib::collect
