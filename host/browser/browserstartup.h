#pragma once
// What a host does once, before QApplication, to use the embedded browser: Chromium's switches
// (the host resolver rules that redirect the public host names, the same redirection the HTTP
// client gets from NetworkSettings), the res:// scheme and the page bridge's quib-bridge: scheme.
#include <string>

void PrepareEmbeddedBrowser(const std::string& hostResolverRules);
