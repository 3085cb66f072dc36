#include "browserstartup.h"

#include "pagebridge.h"
#include "resscheme.h"
#include "simpleparser.h"

void PrepareEmbeddedBrowser(const std::string& hostResolverRules)
{
    SimpleParser::PrepareBrowser(hostResolverRules);
    RegisterResScheme();
    RegisterBridgeScheme();
}
