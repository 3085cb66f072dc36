#include "browserstartup.h"

#include "resscheme.h"
#include "simpleparser.h"

void PrepareEmbeddedBrowser(const std::string& hostResolverRules)
{
    SimpleParser::PrepareBrowser(hostResolverRules);
    RegisterResScheme();
}
