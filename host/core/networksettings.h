#pragma once
// The host's network settings, shared by its HTTP client and its browser.
#include <cstddef>
#include <string>
#include <vector>

namespace quib {

struct NetworkSettings {
    // Host redirections in curl's CONNECT_TO form "HOST:PORT:CONNECT-TO-HOST:CONNECT-TO-PORT";
    // an empty HOST or PORT matches any.
    std::vector<std::string> connectTo;
    std::string userAgent = "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)";
    std::string proxy;  // curl's syntax ("http://host:port", "socks5h://host:port"); empty: direct
    // Seconds a request may stall before it is abandoned; when set it replaces the caller's limit.
    int stallSeconds = 0;
    // A response body larger than this is refused, so a hostile server cannot exhaust memory.
    std::size_t maxBodyBytes = 64u << 20;
    // Seconds one transfer may take in all, however steadily its bytes trickle in; the stall
    // limit a caller gives only catches a transfer that stops.
    int transferDeadlineSeconds = 300;
    // Pages one collection fetches at most: a pager that always shows a next page ends here.
    int maxPagesPerCollection = 10000;
    // Pages of an album fetched at once where the site's page addresses can be computed; 1 walks
    // them one after another. The host and the command line offer more.
    int pageJobs = 1;
};

}  // namespace quib
