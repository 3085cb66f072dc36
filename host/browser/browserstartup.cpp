#include "host/browser/browserstartup.h"

#include "host/browser/pagebridge.h"
#include "host/browser/resscheme.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QtGlobal>

#include <atomic>

#include <unistd.h>

namespace quib {

void PrepareBrowserApplication() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

void SetBrowserSwitches(const std::string& hostResolverRules)
{
    static std::atomic<bool> set{false};
    if (set.exchange(true))
        return;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const auto add = [&flags](const QByteArray& flag) {
        if (!flags.isEmpty())
            flags += ' ';
        flags += flag;
    };
    if (geteuid() == 0 && !flags.contains("--no-sandbox"))
        add("--no-sandbox");
    // The rules hold blanks, so they are quoted; Qt WebEngine splits the switches like a shell.
    if (!hostResolverRules.empty())
        add("--host-resolver-rules=\"" + QByteArray::fromStdString(hostResolverRules) + "\"");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

void PrepareBrowser(const std::string& hostResolverRules)
{
    PrepareBrowserApplication();
    SetBrowserSwitches(hostResolverRules);
}

std::string HostResolverRules(const NetworkSettings& settings)
{
    // HOST:PORT:ADDR:PORT → "MAP HOST ADDR:PORT"; an empty host matches every host.
    std::string rules;
    for (const std::string& rule : settings.connectTo) {
        const auto first = rule.find(':');
        const auto second = first == std::string::npos ? first : rule.find(':', first + 1);
        if (second == std::string::npos)
            continue;
        const std::string host = rule.substr(0, first);
        const std::string target = rule.substr(second + 1);
        if (target.empty() || target.find(':') == std::string::npos)
            continue;
        if (!rules.empty())
            rules += ",";
        rules += "MAP " + (host.empty() ? std::string("*") : host) + " " + target;
    }
    return rules;
}

void PrepareEmbeddedBrowser(const std::string& hostResolverRules)
{
    PrepareBrowser(hostResolverRules);
    RegisterResScheme();
    RegisterBridgeScheme();
}

namespace {
QString& UserAgent()
{
    static QString userAgent;  // user-interface thread only
    return userAgent;
}
}  // namespace

void SetBrowserUserAgent(const QString& userAgent) { UserAgent() = userAgent; }

QString BrowserUserAgent() { return UserAgent(); }

void SetBrowserProxy(const std::string& chromiumProxy)
{
    if (chromiumProxy.empty())
        return;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.isEmpty())
        flags += ' ';
    flags += "--proxy-server=\"" + QByteArray::fromStdString(chromiumProxy) + "\"";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

}  // namespace quib
