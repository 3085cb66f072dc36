#include "pagebridge.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <stdexcept>

namespace {

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
        secret += QByteArray::number(QRandomGenerator::system()->generate64(), 16);
    return secret;
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

}  // namespace

QByteArray BridgeScript(const QByteArray& secret)
{
    QByteArray source = ReadResource(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    QByteArray bridge = ReadResource(QStringLiteral(":/quib/browser/js/bridge.js"));
    bridge.replace("QUIB_FRAME_KEY", secret);
    return source + "\n" + bridge;
}

PageBridge::PageBridge(QWebEnginePage& page, bool withExternal)
    : QObject(&page), page_(page), endpoint_(new BridgeEndpoint(this)), channel_(new QWebChannel(this))
{
    connect(endpoint_, &BridgeEndpoint::received, this, &PageBridge::Received);
    channel_->registerObject(QStringLiteral("quibBridge"), endpoint_);
    page.setWebChannel(channel_, QWebEngineScript::ApplicationWorld);
    page.scripts().insert(Script(QStringLiteral("quib-bridge"), BridgeScript(NewSecret()), QWebEngineScript::ApplicationWorld));
    if (withExternal)
        page.scripts().insert(Script(QStringLiteral("quib-external"), ReadResource(QStringLiteral(":/quib/browser/js/external.js")),
                                     QWebEngineScript::MainWorld));
}

void PageBridge::Received(const QString& message)
{
    const QJsonObject object = QJsonDocument::fromJson(message.toUtf8()).object();
    const QString type = object.value(QStringLiteral("t")).toString();
    const FrameAddress where{object.value(QStringLiteral("doc")).toString(), object.value(QStringLiteral("frame")).toInt(-1)};
    if (type == QLatin1String("reply")) {
        Reply(object);
        return;
    }
    if (where.topDocument.isEmpty() || where.frame < 0)
        return;
    if (type == QLatin1String("complete")) {
        emit DocumentCompleted(where, object.value(QStringLiteral("href")).toString(),
                               object.value(QStringLiteral("hostname")).toString());
    } else if (type == QLatin1String("invoke")) {
        QStringList args;
        for (const QJsonValue& arg : object.value(QStringLiteral("args")).toArray())
            args << arg.toString();
        emit WebInvoked(where, args);
    }
}

void PageBridge::Reply(const QJsonObject& message)
{
    const auto found = pending_.find(static_cast<qint64>(message.value(QStringLiteral("seq")).toDouble()));
    if (found == pending_.end())
        return;
    found->second->answer = message;
    found->second->loop->quit();
}

std::optional<QJsonObject> PageBridge::Request(const FrameAddress& where, QJsonObject command)
{
    const qint64 id = nextRequest_++;
    command.insert(QStringLiteral("seq"), static_cast<double>(id));
    command.insert(QStringLiteral("doc"), where.topDocument);
    command.insert(QStringLiteral("frame"), where.frame);

    QEventLoop loop;
    Pending pending{&loop, std::nullopt};
    pending_.emplace(id, &pending);
    QTimer::singleShot(timeout_, &loop, &QEventLoop::quit);
    // JSON is a JavaScript literal once the two line separators JSON allows in strings are escaped.
    QString literal = QString::fromUtf8(QJsonDocument(command).toJson(QJsonDocument::Compact));
    literal.replace(QChar(0x2028), QStringLiteral("\\u2028")).replace(QChar(0x2029), QStringLiteral("\\u2029"));
    page_.runJavaScript(QStringLiteral("window.quibFromHost&&window.quibFromHost(%1)").arg(literal),
                        QWebEngineScript::ApplicationWorld);
    const QPointer<PageBridge> alive(this);
    if (!pending.answer)
        loop.exec();
    if (!alive)  // the tab went while the page was asked
        return std::nullopt;
    pending_.erase(id);
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
