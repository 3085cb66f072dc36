#pragma once
// A registered CMS site, as the site list holds it.
#include <string>

struct TSiteData {
    std::string Title;
    std::string Url;
    bool Default = false;
    std::string Version;  // "3.1", "4.x", "5.0" or "6.0"
};
