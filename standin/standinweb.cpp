#include "standin/standinweb.h"

#include "standin/builtinsites.h"
#include "standin/faultroutes.h"
#include "standin/peerwatch.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace quib::standin {

namespace {

// Several tests hold one connection stalled while they fetch over others.
constexpr std::size_t kConnectionThreads = 16;
// As a web server's listening socket.
constexpr int kAcceptQueue = 511;
// A latency is a slow link's, not a stall.
constexpr int kMaxLatencyMs = 60000;

std::string HostWithoutPort(std::string host)
{
    if (!host.empty() && host.front() == '[') {  // [v6]:port
        const auto close = host.find(']');
        host = host.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else if (const auto colon = host.find(':'); colon != std::string::npos) {
        host.resize(colon);
    }
    std::transform(host.begin(), host.end(), host.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return host;
}

StandinRequest ToStandinRequest(const httplib::Request& request)
{
    StandinRequest out;
    out.host = HostWithoutPort(request.get_header_value("Host"));
    out.path = request.path;
    if (const auto mark = request.target.find('?'); mark != std::string::npos)
        out.query = request.target.substr(mark + 1);
    for (const auto& [name, value] : request.params)
        out.params.emplace(name, value);  // emplace keeps the first of repeated names
    out.userAgent = request.get_header_value("User-Agent");
    out.method = request.method;
    out.body = request.body;
    out.headers = request.headers;
    // Looked for only when asked: finding the connection's socket takes a walk over them all.
    out.peerGone = [&request, watch = std::shared_ptr<PeerWatch>()]() mutable {
        if (!watch)
            watch = std::make_shared<PeerWatch>(request);
        return watch->PeerGone();
    };
    return out;
}

// The library listens with a queue of 5 unaccepted connections; a client that opens more at once
// loses the rest of them to the kernel and tries again a second later. A web server keeps
// hundreds, so the listening socket (the library does not hand it out) gets a queue as long.
void WidenAcceptQueue(int port)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        int fd = -1;
        const std::string name = entry.path().filename().string();
        if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc())
            continue;
        int listening = 0;
        socklen_t length = sizeof listening;
        sockaddr_storage address{};
        socklen_t addressLength = sizeof address;
        if (getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) != 0 || !listening ||
            getsockname(fd, reinterpret_cast<sockaddr*>(&address), &addressLength) != 0)
            continue;
        const int local = address.ss_family == AF_INET6  ? ntohs(reinterpret_cast<sockaddr_in6&>(address).sin6_port)
                          : address.ss_family == AF_INET ? ntohs(reinterpret_cast<sockaddr_in&>(address).sin_port)
                                                         : -1;
        if (local == port)
            ::listen(fd, kAcceptQueue);
    }
}

}  // namespace

StandinWeb::StandinWeb() { RegisterBuiltinSites(*this); }

StandinWeb::~StandinWeb() { Stop(); }

void StandinWeb::AddSite(const std::string& host, SiteHandler handler)
{
    std::lock_guard lock(m_mutex);
    m_sites[HostWithoutPort(host)].push_back(std::move(handler));
}

int StandinWeb::Start(const std::string& address, int port)
{
    if (m_server)
        throw std::runtime_error("the stand-in web already serves on port " + std::to_string(m_port));
    m_stopping = false;
    auto server = std::make_unique<httplib::Server>();
    // The server owns and deletes the queue it gets.
    server->new_task_queue = [] { return new httplib::ThreadPool(kConnectionThreads); };
    // An idle kept-alive connection holds its thread this long, Stop() included.
    server->set_keep_alive_timeout(1);
    // The library's default also shares the port (SO_REUSEPORT): a second server on a busy port
    // would then quietly take half of the connections instead of failing.
    server->set_socket_options([](socket_t sock) {
        const int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Headers and body go out in two writes; with Nagle's algorithm the body then waits for the
    // client's delayed acknowledgement, some 40 ms on every reply of a reused connection. The
    // accepted sockets inherit the switch from the listening one.
    server->set_tcp_nodelay(true);
    server->set_write_timeout(2);
    server->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        // The library would compress every text reply anew for a client that accepts it, which
        // costs more than the loopback transfer it saves; the server's own request object is not
        // const, only this view of it.
        const_cast<httplib::Request&>(request).headers.erase("Accept-Encoding");
        {
            std::lock_guard lock(m_mutex);
            m_log.push_back({HostWithoutPort(request.get_header_value("Host")), request.target});
        }
        Delay();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server->set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr error) {
        std::string what = "unknown error";
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        response.status = 500;
        response.set_content("stand-in site failed: " + what, "text/plain");
    });
    AddFaultRoutes(*server, m_stopping);
    const auto answer = [this](const httplib::Request& request, httplib::Response& response) {
        Answer(request, response);
    };
    server->Get(".*", answer);
    server->Post(".*", answer);

    const int bound = port == 0 ? server->bind_to_any_port(address) : (server->bind_to_port(address, port) ? port : -1);
    if (bound <= 0)
        throw std::runtime_error("the stand-in web cannot listen on " + address + ":" + std::to_string(port));

    WidenAcceptQueue(bound);
    m_server = std::move(server);
    m_address = address;
    m_port = bound;
    m_thread = std::thread([server = m_server.get()] { server->listen_after_bind(); });
    // stop() does nothing before the accept loop runs, so Stop() must not come earlier.
    while (!m_server->is_running() && m_thread.joinable())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return m_port;
}

void StandinWeb::Stop()
{
    if (!m_server)
        return;
    m_stopping = true;  // wakes the stalled and endless responses
    m_server->stop();
    m_thread.join();
    m_server.reset();
}

int StandinWeb::Port() const { return m_port; }

void StandinWeb::SetLatency(int milliseconds) { m_latencyMs = std::clamp(milliseconds, 0, kMaxLatencyMs); }

int StandinWeb::Latency() const { return m_latencyMs; }

void StandinWeb::Delay() const
{
    // In short naps, so a stop does not wait for a long latency to pass.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_latencyMs.load());
    while (!m_stopping && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            until - std::chrono::steady_clock::now(), std::chrono::milliseconds(10)));
}

std::string StandinWeb::ClientAddress() const
{
    // A server on every interface is reached over loopback.
    if (m_address.empty() || m_address == "0.0.0.0")
        return "127.0.0.1";
    if (m_address == "::")
        return "::1";
    return m_address;
}

std::string StandinWeb::ClientEndpoint() const
{
    const std::string address = ClientAddress();
    const bool v6 = address.find(':') != std::string::npos;
    return (v6 ? "[" + address + "]" : address) + ":" + std::to_string(m_port);
}

std::vector<std::string> StandinWeb::ConnectToRules() const { return {"::" + ClientEndpoint()}; }

std::string StandinWeb::HostResolverRules() const { return "MAP * " + ClientEndpoint(); }

std::vector<StandinWeb::Logged> StandinWeb::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_log;
}

void StandinWeb::ClearRequests()
{
    std::lock_guard lock(m_mutex);
    m_log.clear();
}

void StandinWeb::Answer(const httplib::Request& request, httplib::Response& response) const
{
    const StandinRequest standin = ToStandinRequest(request);
    std::vector<SiteHandler> handlers;
    {
        std::lock_guard lock(m_mutex);
        if (const auto site = m_sites.find(standin.host); site != m_sites.end())
            handlers = site->second;
    }
    for (const auto& handler : handlers) {
        if (handler(standin, response))
            return;
        response = httplib::Response();  // a handler that declined leaves nothing behind
    }
    response = httplib::Response();
    response.status = 404;
    response.set_content("no page " + standin.path + " on " + standin.host, "text/plain");
}

}  // namespace quib::standin
