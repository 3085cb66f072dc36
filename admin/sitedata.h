#pragma once
// A registered CMS site, as the site list holds it. Module text: GBK bytes.
#include <string>

namespace quib::admin {

struct TSiteData {
    std::string Title;
    std::string Url;      // the site's identity in the site file
    std::string Default;  // "0" for a site added while the module runs, empty for one loaded
    std::string Version;  // "3.1", "4.x", "5.0" or "6.0"
};

}  // namespace quib::admin
