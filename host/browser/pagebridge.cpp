#include "host/browser/pagebridge.h"

#include "host/browser/refusalmeter.h"

#include <QBuffer>
#include <QDebug>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrlQuery>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

#include <stdexcept>

namespace quib {

namespace {

const QByteArray kScheme = "quib-bridge";
const QByteArray kKeyHeader = "x-quib-key";

QByteArray ReadResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("missing browser resource " + path.toStdString());
    return file.readAll();
}

QByteArray NewSecret()
{
    QByteArray secret;
    for (int i = 0; i < 4; ++i)
        secret += QByteArray::number(QRandomGenerator::system()->generate64(), 16).rightJustified(16, '0');
    return secret;
}

// Compares without an early exit, so the time taken says nothing about how much of a guess was right.
bool SameKey(const QByteArray& a, const QByteArray& b)
{
    if (a.isEmpty() || a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

QByteArray KeyOf(const QWebEngineUrlRequestJob& job)
{
    const auto headers = job.requestHeaders();
    for (auto it = headers.cbegin(); it != headers.cend(); ++it)
        if (it.key().toLower() == kKeyHeader)
            return it.value();
    return {};
}

// An address a document of that origin may have: its own origin, or about:blank and
// about:srcdoc, which take their creator's.
bool FitsOrigin(const QUrl& href, const QUrl& origin)
{
    if (href.scheme() == QLatin1String("about"))
        return true;
    if (!origin.isValid() || origin.host().isEmpty())
        return false;
    const int port = href.scheme() == QLatin1String("https") ? 443 : 80;
    return href.scheme() == origin.scheme() && href.host() == origin.host() && href.port(port) == origin.port(port);
}

void Reply(QWebEngineUrlRequestJob* job, const QByteArray& body)
{
    auto* buffer = new QBuffer(job);  // the job owns the body and outlives its reading
    buffer->setData(body);
    buffer->open(QIODevice::ReadOnly);
    job->reply("application/json", buffer);
}

void Refuse(QWebEngineUrlRequestJob* job) { job->fail(QWebEngineUrlRequestJob::RequestDenied); }

// The site a request comes from, as the meters and the log name it.
QString OriginOf(const QUrl& initiator)
{
    return initiator.isValid() && !initiator.isEmpty() ? initiator.toString() : QStringLiteral("null");
}

QWebEngineScript Script(const QString& name, const QByteArray& source, quint32 world)
{
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(QString::fromUtf8(source));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setRunsOnSubFrames(true);
    script.setWorldId(world);
    return script;
}

// One per profile: hands each request to the page whose secret it carries (an identity asked
// for) or to the page that owns the document it names.
class BridgeSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    static BridgeSchemeHandler& Of(QWebEngineProfile& profile)
    {
        auto* installed = const_cast<QWebEngineUrlSchemeHandler*>(profile.urlSchemeHandler(kScheme));
        if (auto* handler = dynamic_cast<BridgeSchemeHandler*>(installed))
            return *handler;
        auto* handler = new BridgeSchemeHandler(&profile);
        profile.installUrlSchemeHandler(kScheme, handler);
        return *handler;
    }

    void Add(const QByteArray& pageKey, PageBridge* bridge) { m_pages.insert(pageKey, bridge); }
    void Remove(const QByteArray& pageKey) { m_pages.remove(pageKey); }

    // Every request is answered or refused here and now: the browser keeps a data pipe for each
    // one until then. A site that goes on sending refused requests beyond its budget is cut off
    // (RefusalMeter): its documents lose their identities and its requests are refused unseen.
    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        const auto now = RefusalMeter::Clock::now();
        const QUrl initiator = job->initiator();
        const QString origin = OriginOf(initiator);
        const auto meter = m_meters.find(origin);
        if (meter != m_meters.end() && meter->Now(now) == RefusalMeter::State::CutOff) {
            Refuse(job);
            return;
        }
        if (!Accepted(job))
            Count(m_meters[origin], initiator, now);
    }

private:
    bool Accepted(QWebEngineUrlRequestJob* job)
    {
        const QUrl url = job->requestUrl();
        if (url.path() == QLatin1String("hello")) {
            const auto page = m_pages.constFind(KeyOf(*job));
            if (page != m_pages.constEnd() && *page) {
                (*page)->Hello(job);
                return true;
            }
            Refuse(job);
            return false;
        }
        const QString document = QUrlQuery(url).queryItemValue(QStringLiteral("d"), QUrl::FullyDecoded);
        for (const auto& page : std::as_const(m_pages)) {
            const PageBridge::Served served = page ? page->Serve(job, document) : PageBridge::Served::NotMine;
            if (served != PageBridge::Served::NotMine)
                return served == PageBridge::Served::Accepted;
        }
        Refuse(job);
        return false;
    }

    void Count(RefusalMeter& meter, const QUrl& initiator, RefusalMeter::Clock::time_point now)
    {
        if (meter.Refused(now) != RefusalMeter::State::CutOff || m_cutOff.contains(OriginOf(initiator)))
            return;
        m_cutOff.insert(OriginOf(initiator));
        for (const auto& page : std::as_const(m_pages))
            if (page)
                page->CutOff(initiator, meter.Count());
    }

    QHash<QByteArray, QPointer<PageBridge>> m_pages;
    QHash<QString, RefusalMeter> m_meters;  // by origin
    QSet<QString> m_cutOff;
};

}  // namespace

void RegisterBridgeScheme()
{
    if (!QWebEngineUrlScheme::schemeByName(kScheme).name().isEmpty())
        return;
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Reachable with XMLHttpRequest from every frame, whatever the page's own policy.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QByteArray BridgeScript(const QByteArray& pageKey, const QByteArray& external)
{
    QByteArray bridge = ReadResource(QStringLiteral(":/quib/browser/js/bridge.js"));
    bridge.replace("QUIB_PAGE_KEY", pageKey);
    // A JSON string is a JavaScript string literal.
    const QByteArray literal = QJsonDocument(QJsonArray{QString::fromUtf8(external)}).toJson(QJsonDocument::Compact);
    bridge.replace("/*QUIB_EXTERNAL*/''", literal.mid(1, literal.size() - 2));
    return bridge;
}

PageBridge::PageBridge(QWebEnginePage& page, bool withExternal) : QObject(&page), m_page(page), m_pageKey(NewSecret())
{
    if (QWebEngineUrlScheme::schemeByName(kScheme).name().isEmpty())
        qWarning("the page bridge's scheme is not registered (PrepareEmbeddedBrowser): pages get no bridge");
    BridgeSchemeHandler& handler = BridgeSchemeHandler::Of(*page.profile());
    handler.Add(m_pageKey, this);
    m_handler = &handler;
    const QByteArray external =
        withExternal ? ReadResource(QStringLiteral(":/quib/browser/js/external.js")) : QByteArray();
    page.scripts().insert(
        Script(QStringLiteral("quib-bridge"), BridgeScript(m_pageKey, external), QWebEngineScript::ApplicationWorld));
    if (withExternal)
        page.scripts().insert(Script(QStringLiteral("quib-external"), external, QWebEngineScript::MainWorld));
}

PageBridge::~PageBridge()
{
    // The page (and with it every open request) is going; only the waiting callers are told.
    if (auto* handler = qobject_cast<BridgeSchemeHandler*>(m_handler.data()))
        handler->Remove(m_pageKey);
    for (auto& [seq, pending] : m_pending)
        pending->loop->quit();
}

QString PageBridge::NewDocument(const QUrl& origin, int frame)
{
    QString id = QString::fromLatin1(NewSecret().left(24));
    Document& document = m_documents[id];
    document.key = NewSecret();
    document.origin = origin;
    document.frame = frame;
    m_origins.insert(origin);
    return id;
}

void PageBridge::Hello(QWebEngineUrlRequestJob* job)
{
    const bool top = QUrlQuery(job->requestUrl()).queryItemValue(QStringLiteral("top")) == QLatin1String("1");
    const QString id = NewDocument(job->initiator(), top ? 0 : m_nextFrame++);
    const QJsonObject answer{{"id", id}, {"key", QString::fromLatin1(m_documents[id].key)}};
    Reply(job, QJsonDocument(answer).toJson(QJsonDocument::Compact));
}

PageBridge::Served PageBridge::Serve(QWebEngineUrlRequestJob* job, const QString& id)
{
    const auto found = m_documents.find(id);
    if (found == m_documents.end())
        return Served::NotMine;
    Document& document = found->second;
    if (!SameKey(document.key, KeyOf(*job)) || job->initiator() != document.origin) {
        Refuse(job);
        return Served::Refused;
    }
    const QUrl url = job->requestUrl();
    const QString op = url.path();
    if (op == QLatin1String("poll")) {
        Hold(job, id, document);
    } else if (op == QLatin1String("renew")) {
        // The document was rewritten by document.open: the new one gets an identity of its own,
        // the old one's is void from now on.
        const QString next = NewDocument(document.origin, document.frame);
        Retire(id);
        const QJsonObject answer{{"id", next}, {"key", QString::fromLatin1(m_documents[next].key)}};
        Reply(job, QJsonDocument(answer).toJson(QJsonDocument::Compact));
    } else {
        Reply(job, QByteArray());
        Answer(id, url);
    }
    return Served::Accepted;
}

void PageBridge::Answer(const QString& id, const QUrl& url)
{
    const QUrlQuery query(url);
    const auto value = [&](const char* name) { return query.queryItemValue(QLatin1String(name), QUrl::FullyDecoded); };
    const QString op = url.path();
    Document& document = m_documents.at(id);
    const FrameAddress where{id, document.frame};
    if (op == QLatin1String("reply")) {
        bool valid = false;
        const qint64 seq = value("s").toLongLong(&valid);
        const auto pending = m_pending.find(seq);
        // A reply counts only for the request that went to this very document.
        if (!valid || pending == m_pending.end() || pending->second->document != id ||
            pending->second->frame != document.frame)
            return;
        QJsonObject answer{{"ok", value("ok") == QLatin1String("1")}};
        if (query.hasQueryItem(QStringLiteral("v")))
            answer.insert(QStringLiteral("value"), value("v"));
        pending->second->answer = answer;
        pending->second->loop->quit();
    } else if (op == QLatin1String("complete")) {
        const QString href = value("href");
        if (!FitsOrigin(QUrl(href), document.origin))
            return;
        document.href = href;
        document.hostname = value("host");
        emit DocumentCompleted(where, document.href, document.hostname);
    } else if (op == QLatin1String("invoke")) {
        emit WebInvoked(where, query.allQueryItemValues(QStringLiteral("a"), QUrl::FullyDecoded));
    }
}

void PageBridge::Hold(QWebEngineUrlRequestJob* job, const QString& id, Document& document)
{
    if (document.poll)
        Refuse(document.poll);
    document.poll = job;
    const quint64 serial = ++document.pollSerial;
    // The browser drops the open request when the document unloads (an answered one is let go
    // first): the document is gone, and its identity with it.
    connect(job, &QObject::destroyed, this, [this, id, serial] {
        const auto found = m_documents.find(id);
        if (found != m_documents.end() && found->second.pollSerial == serial) {
            found->second.poll = nullptr;
            Retire(id);
        }
    });
    Deliver(document);
}

void PageBridge::Deliver(Document& document)
{
    if (!document.poll || document.commands.empty())
        return;
    QWebEngineUrlRequestJob* job = document.poll;
    document.poll = nullptr;
    ++document.pollSerial;
    const QJsonObject command = document.commands.front();
    document.commands.pop_front();
    Reply(job, QJsonDocument(command).toJson(QJsonDocument::Compact));
}

void PageBridge::CutOff(const QUrl& origin, long long refused)
{
    std::vector<QString> flooding;
    for (auto& [id, document] : m_documents) {
        if (document.origin != origin)
            continue;
        flooding.push_back(id);
        // A flooding frame is sent away (to a blank page), which ends its flood; the top
        // document stays, as the frames it holds are not the flood's.
        if (document.frame != 0 && document.poll) {
            QWebEngineUrlRequestJob* job = document.poll;
            document.poll = nullptr;
            ++document.pollSerial;
            Reply(job, QJsonDocument(QJsonObject{{"op", "leave"}, {"doc", id}}).toJson(QJsonDocument::Compact));
        }
    }
    for (const QString& id : flooding)
        Retire(id);
    // Its documents may have gone already.
    if (m_origins.count(origin))
        emit Flooded(
            OriginOf(origin),
            QStringLiteral(
                "%1 refused bridge requests from %2: its documents in this tab are cut off (%3 still had a bridge)")
                .arg(refused)
                .arg(OriginOf(origin))
                .arg(flooding.size()));
}

void PageBridge::Retire(const QString& id)
{
    const auto found = m_documents.find(id);
    if (found == m_documents.end())
        return;
    if (found->second.poll)
        Refuse(found->second.poll);
    m_documents.erase(found);
    FailPending(id);
}

void PageBridge::FailPending(const QString& id)
{
    for (auto& [seq, pending] : m_pending)
        if (pending->document == id)
            pending->loop->quit();
}

std::pair<QString, QString> PageBridge::Location(const FrameAddress& where) const
{
    const auto found = m_documents.find(where.document);
    if (found == m_documents.end())
        return {};
    return {found->second.href, found->second.hostname};
}

QByteArray PageBridge::DocumentKey(const FrameAddress& where) const
{
    const auto found = m_documents.find(where.document);
    return found == m_documents.end() ? QByteArray() : found->second.key;
}

std::optional<QJsonObject> PageBridge::Request(const FrameAddress& where, QJsonObject command)
{
    const auto found = m_documents.find(where.document);
    if (found == m_documents.end() || found->second.frame != where.frame)
        return std::nullopt;
    const qint64 id = m_nextRequest++;
    command.insert(QStringLiteral("seq"), static_cast<double>(id));
    command.insert(QStringLiteral("doc"), where.document);

    QEventLoop loop;
    Pending pending{where.document, where.frame, &loop, std::nullopt};
    m_pending.emplace(id, &pending);
    QTimer::singleShot(m_timeout, &loop, &QEventLoop::quit);
    found->second.commands.push_back(command);
    Deliver(found->second);
    const QPointer<PageBridge> alive(this);
    loop.exec();
    if (!alive)  // the tab went while the page was asked
        return std::nullopt;
    m_pending.erase(id);
    // Not yet taken (no answer in time): it must not run later.
    const auto still = m_documents.find(where.document);
    if (still != m_documents.end()) {
        auto& commands = still->second.commands;
        for (auto it = commands.begin(); it != commands.end(); ++it)
            if (static_cast<qint64>(it->value(QStringLiteral("seq")).toDouble()) == id) {
                commands.erase(it);
                break;
            }
    }
    if (!pending.answer || !pending.answer->value(QStringLiteral("ok")).toBool())
        return std::nullopt;
    return pending.answer;
}

bool PageBridge::Exec(const FrameAddress& where, const QString& code, const QString& clipboard)
{
    return Request(where, {{"op", "exec"}, {"code", code}, {"clipboard", clipboard}}).has_value();
}

std::optional<QString> PageBridge::Value(const FrameAddress& where, const QString& name)
{
    const auto answer = Request(where, {{"op", "get"}, {"name", name}});
    if (!answer)
        return std::nullopt;
    return answer->value(QStringLiteral("value")).toString();
}

bool PageBridge::SetValue(const FrameAddress& where, const QString& name, const QString& value)
{
    return Request(where, {{"op", "set"}, {"name", name}, {"value", value}}).has_value();
}

}  // namespace quib

#include "pagebridge.moc"
