#pragma once
// The stand-in web: one loopback HTTP server that answers in place of the video sites. It
// dispatches on the Host header, so the clients keep the public host names and only their
// connection is redirected here (ConnectToRules for curl, HostResolverRules for Chromium).
#include <httplib.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quib::standin {

struct StandinRequest {
    std::string host;                           // from the Host header, lower case, without the port
    std::string path;                           // decoded
    std::string query;                          // raw, without '?'
    std::map<std::string, std::string> params;  // query (and form body) parameters, decoded; first value wins
    std::string userAgent;
    std::string method;  // "GET", "HEAD" or "POST"
    std::string body;    // the request body of a POST
    httplib::Headers headers;
    // True once the client has closed the connection; asked while the handler runs.
    std::function<bool()> peerGone;
};

// A site answers the requests for its host; returning false means "not mine" and gives 404.
using SiteHandler = std::function<bool(const StandinRequest&, httplib::Response&)>;

class StandinWeb {
public:
    StandinWeb();   // registers the built-in sites; the fault routes answer on every host
    ~StandinWeb();  // stops if running
    StandinWeb(const StandinWeb&) = delete;
    StandinWeb& operator=(const StandinWeb&) = delete;

    // host is the public host name, e.g. "www.tudou.com". Several handlers may serve one host (a
    // site's playlist pages and its single pages come from different files): they are asked in
    // the order they were added until one answers.
    void AddSite(const std::string& host, SiteHandler handler);

    // Serves on a thread of its own; port 0 picks a free port. Returns the port; throws
    // std::runtime_error when the address cannot be bound or the server already runs.
    int Start(const std::string& address = "127.0.0.1", int port = 0);
    // Returns promptly, also while a stalled or endless response is in progress.
    void Stop();
    int Port() const;

    // Every response waits this long before it is answered, as across a slow link; 0 for none.
    // May be changed while the server runs.
    void SetLatency(int milliseconds);
    int Latency() const;

    // {"::ADDR:PORT"}: every host and port goes to this server (curl CONNECT_TO).
    std::vector<std::string> ConnectToRules() const;
    // "MAP * ADDR:PORT" for Chromium's --host-resolver-rules.
    std::string HostResolverRules() const;

    struct Logged {
        std::string host;
        std::string target;  // path?query as sent
    };
    // Every request received, in order of arrival.
    std::vector<Logged> Requests() const;
    void ClearRequests();

private:
    void Answer(const httplib::Request& request, httplib::Response& response) const;
    void Delay() const;  // the latency, cut short by Stop
    std::string ClientAddress() const;
    std::string ClientEndpoint() const;  // ADDR:PORT, brackets around IPv6

    mutable std::mutex m_mutex;  // guards m_sites and m_log
    std::map<std::string, std::vector<SiteHandler>> m_sites;
    std::vector<Logged> m_log;

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_latencyMs{0};
    std::string m_address;
    int m_port = 0;
};

}  // namespace quib::standin
