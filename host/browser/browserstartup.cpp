#include "host/browser/browserstartup.h"

#include "host/browser/pagebridge.h"
#include "host/browser/resscheme.h"
#include "host/browser/simpleparser.h"

#include <QByteArray>
#include <QtGlobal>

void PrepareEmbeddedBrowser(const std::string& hostResolverRules)
{
    SimpleParser::PrepareBrowser(hostResolverRules);
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
