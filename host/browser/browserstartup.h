#pragma once
// What a host does once, before QApplication, to use the embedded browser: Chromium's switches
// (the host resolver rules that redirect the public host names, the same redirection the HTTP
// client gets from NetworkSettings), the res:// scheme and the page bridge's quib-bridge: scheme.
#include "host/core/networksettings.h"

#include <QString>

#include <string>

namespace quib {

// Widgets need shared OpenGL contexts for Qt WebEngine, set before QApplication exists.
void PrepareBrowserApplication();
// Chromium reads its switches once, when Qt WebEngine is first used in a process, so only the
// first call in a process counts. A page renderer makes that call itself, with the redirection
// of its own network settings, before its first page, so every front end that collects through
// it gets the hidden browser redirected as its HTTP client; a front end with browser windows of
// its own calls it at start-up. rules as Chromium's --host-resolver-rules
// ("MAP * 127.0.0.1:8080"); empty for none. As root, Chromium runs only without its sandbox.
void SetBrowserSwitches(const std::string& hostResolverRules);
// Both, for a process that knows its redirection before QApplication.
void PrepareBrowser(const std::string& hostResolverRules);
// The connect-to redirections of settings as host resolver rules.
std::string HostResolverRules(const NetworkSettings& settings);

// PrepareBrowser, and the schemes of the embedded browser's own pages.
void PrepareEmbeddedBrowser(const std::string& hostResolverRules);

// The user agent of the browser forms made from now on; empty keeps the browser's own.
void SetBrowserUserAgent(const QString& userAgent);
QString BrowserUserAgent();
// Chromium's --proxy-server switch; call with the host resolver rules, before the browser starts.
void SetBrowserProxy(const std::string& chromiumProxy);

}  // namespace quib
