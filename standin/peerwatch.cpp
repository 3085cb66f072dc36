#include "standin/peerwatch.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <string>
#include <system_error>

namespace quib::standin {

namespace {

struct Endpoint {
    std::string address;
    int port = -1;
};

// Spelled the way the server spells Request::remote_addr and local_addr.
Endpoint ToEndpoint(const sockaddr_storage& address, socklen_t length)
{
    // Other sockets of the process (local ones, say) cannot be the connection.
    if (address.ss_family != AF_INET && address.ss_family != AF_INET6)
        return {};
    char host[NI_MAXHOST];
    char service[NI_MAXSERV];
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return {};
    Endpoint endpoint{host, -1};
    std::from_chars(service, service + std::char_traits<char>::length(service), endpoint.port);
    return endpoint;
}

bool Matches(int fd, const httplib::Request& request)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return false;
    const Endpoint local = ToEndpoint(address, length);
    if (local.port != request.local_port || local.address != request.local_addr)
        return false;
    length = sizeof address;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return false;
    const Endpoint remote = ToEndpoint(address, length);
    return remote.port == request.remote_port && remote.address == request.remote_addr;
}

}  // namespace

PeerWatch::PeerWatch(const httplib::Request& request)
{
    // The server does not hand its socket to handlers; the address pair names it uniquely
    // while the connection is open, and it stays open while this handler runs.
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const std::string name = entry.path().filename().string();
        int fd = -1;
        if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc())
            continue;
        if (Matches(fd, request)) {
            m_socket = fd;
            return;
        }
    }
}

bool PeerWatch::PeerGone() const
{
    if (m_socket < 0)
        return false;
    pollfd probe{m_socket, POLLIN | POLLRDHUP, 0};
    if (poll(&probe, 1, 0) <= 0)
        return false;
    if (probe.revents & (POLLRDHUP | POLLHUP | POLLERR))
        return true;
    char byte;
    // Readable: either a pipelined request (still there) or the end of the stream.
    return recv(m_socket, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

}  // namespace quib::standin
