#pragma once
// The host's end of the page bridge: the object the top frame's bridge talks to over the web
// channel, and through it to every frame document of one browser page. Requests are answered
// asynchronously by the page; the calls here wait for the answer in a local event loop, so they
// are synchronous (and therefore in order) for their caller.
#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <map>
#include <optional>

class QEventLoop;
class QWebChannel;
class QWebEnginePage;

// Where a frame document lives: the top document's token and the frame's number within it.
struct FrameAddress {
    QString topDocument;
    int frame = 0;
};

// The one object the page sees over the channel: the page's messages to the host.
class BridgeEndpoint : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    Q_INVOKABLE void fromPage(const QString& message) { emit received(message); }

signals:
    void received(const QString& message);
};

class PageBridge : public QObject {
    Q_OBJECT
public:
    // Installs the bridge scripts into page (into every frame, at document creation) and its
    // channel; withExternal gives page scripts window.external.WebInvoke.
    PageBridge(QWebEnginePage& page, bool withExternal);

    void SetTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

    // Runs code in the frame's global scope; false when the frame is gone or did not answer, or
    // the code did not run (it does not compile, or the page's policy forbids it).
    bool Exec(const FrameAddress& where, const QString& code, const QString& clipboard);
    // The value of the first element by that name (input, select, text area); none when there
    // is no such element or the frame did not answer.
    std::optional<QString> Value(const FrameAddress& where, const QString& name);
    bool SetValue(const FrameAddress& where, const QString& name, const QString& value);

signals:
    void DocumentCompleted(FrameAddress where, QString href, QString hostname);
    void WebInvoked(FrameAddress where, QStringList args);

private:
    std::optional<QJsonObject> Request(const FrameAddress& where, QJsonObject command);
    void Received(const QString& message);
    void Reply(const QJsonObject& message);

    struct Pending {
        QEventLoop* loop = nullptr;
        std::optional<QJsonObject> answer;
    };

    QWebEnginePage& page_;
    BridgeEndpoint* endpoint_;  // child
    QWebChannel* channel_;      // child
    std::map<qint64, Pending*> pending_;
    qint64 nextRequest_ = 1;
    std::chrono::milliseconds timeout_{5000};
};

// The bridge scripts with the page's secret filled in (exposed for tests of the script text).
QByteArray BridgeScript(const QByteArray& secret);
