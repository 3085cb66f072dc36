#pragma once
// The host's end of the page bridge of one browser page. Every frame document's bridge (in the
// application's script world) talks to it directly, with requests to the quib-bridge: scheme:
// it asks for an identity with the page's secret, then proves that identity (a key made here for
// that document alone) with every request, and takes the host's commands as the answers to a
// request it keeps open. Commands wait for their reply in a local event loop, so they are
// synchronous (and therefore in order) for their caller.
#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <deque>
#include <map>
#include <optional>
#include <set>

class QEventLoop;
class QWebEnginePage;
class QWebEngineUrlRequestJob;

namespace quib {

// One frame document: the id the host gave it (new for every document a frame shows, including
// one rewritten by document.open) and its frame, 0 for the top frame.
struct FrameAddress {
    QString document;
    int frame = 0;
};

class PageBridge : public QObject {
    Q_OBJECT
public:
    // Installs the bridge script into page (into every frame, at document creation);
    // withExternal gives page scripts window.external.WebInvoke.
    PageBridge(QWebEnginePage& page, bool withExternal);
    ~PageBridge() override;

    void SetTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // Runs code in the frame's global scope; false when the document is gone or did not answer,
    // or the code did not run (it does not compile, the page's policy forbids it, or the page
    // holds a window.clipboardData or window.navigate of its own that cannot be lent out).
    bool Exec(const FrameAddress& where, const QString& code, const QString& clipboard);
    // The value of the first element by that name (input, select, text area); none when there
    // is no such element or the document did not answer.
    std::optional<QString> Value(const FrameAddress& where, const QString& name);
    bool SetValue(const FrameAddress& where, const QString& name, const QString& value);

    // The href and host name the document reported when it completed; empty before.
    std::pair<QString, QString> Location(const FrameAddress& where) const;
    // The key that proves the document; for tests that play a page which got hold of one.
    QByteArray DocumentKey(const FrameAddress& where) const;

    enum class Served { Accepted, Refused, NotMine };
    // A request of a document's bridge, handed on by the scheme handler; NotMine when the
    // document is none of this page's.
    Served Serve(QWebEngineUrlRequestJob* job, const QString& document);
    void Hello(QWebEngineUrlRequestJob* job);
    // The site (origin) flooded the bridge: its documents here lose their identities, and its
    // frames are sent to a blank page.
    void CutOff(const QUrl& origin, long long refused);

signals:
    void DocumentCompleted(FrameAddress where, QString href, QString hostname);
    void WebInvoked(FrameAddress where, QStringList args);
    // Documents of this page were cut off for flooding the bridge; for the host's log.
    void Flooded(QString origin, QString detail);

private:
    struct Document {
        QByteArray key;
        QUrl origin;  // the origin its identity was asked from; every request must come from it
        int frame = 0;
        QString href;
        QString hostname;
        QPointer<QWebEngineUrlRequestJob> poll;
        quint64 pollSerial = 0;
        std::deque<QJsonObject> commands;  // waiting for its next open request
    };
    struct Pending {
        QString document;
        int frame = 0;
        QEventLoop* loop = nullptr;
        std::optional<QJsonObject> answer;
    };

    std::optional<QJsonObject> Request(const FrameAddress& where, QJsonObject command);
    QString NewDocument(const QUrl& origin, int frame);
    void Deliver(Document& document);
    void Hold(QWebEngineUrlRequestJob* job, const QString& id, Document& document);
    void Retire(const QString& id);
    void FailPending(const QString& id);
    void Answer(const QString& id, const QUrl& url);

    QWebEnginePage& m_page;
    QPointer<QObject> m_handler;  // the profile's scheme handler
    QByteArray m_pageKey;
    std::map<QString, Document> m_documents;
    std::map<qint64, Pending*> m_pending;
    qint64 m_nextRequest = 1;
    int m_nextFrame = 1;
    std::chrono::milliseconds m_timeout{5000};
    std::set<QUrl> m_origins;  // of every document that had an identity here
};

// Registers the quib-bridge: scheme; must run before the application object exists.
void RegisterBridgeScheme();
// The bridge script with the page's secret and the page scripts' external object filled in
// (exposed for tests of the script text).
QByteArray BridgeScript(const QByteArray& pageKey, const QByteArray& external = {});

}  // namespace quib
