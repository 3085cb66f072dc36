#pragma once
// What a host does once, before QApplication, to use the embedded browser: Chromium's switches
// (the host resolver rules that redirect the public host names, the same redirection the HTTP
// client gets from NetworkSettings), the res:// scheme and the page bridge's quib-bridge: scheme.
#include <QString>

#include <string>

void PrepareEmbeddedBrowser(const std::string& hostResolverRules);

// The user agent of the browser forms made from now on; empty keeps the browser's own.
void SetBrowserUserAgent(const QString& userAgent);
QString BrowserUserAgent();
// Chromium's --proxy-server switch; call with the host resolver rules, before the browser starts.
void SetBrowserProxy(const std::string& chromiumProxy);
