#include "standin/faultroutes.h"

#include "standin/peerwatch.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <string>
#include <thread>

namespace quib::standin {

namespace {

using Clock = std::chrono::steady_clock;

// How often a waiting response looks whether it should give up.
constexpr auto kWakeInterval = std::chrono::milliseconds(50);
// An endless body ends by itself after this, whoever forgot to hang up.
constexpr auto kEndlessLimit = std::chrono::seconds(120);
constexpr long long kMaxSeconds = 600;
constexpr long long kMaxBytes = 1LL << 30;
constexpr std::size_t kChunk = 16 * 1024;
// Not a compressible type, so the bytes on the wire are the bytes announced.
const char* const kBinary = "application/octet-stream";

long long NumberParam(const httplib::Request& request, const char* name, long long fallback, long long max)
{
    const std::string text = request.get_param_value(name);
    long long value = fallback;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc())
        value = fallback;
    return std::clamp(value, 0LL, max);
}

// Waits until the deadline; false when the server stops or the client hangs up first.
bool WaitUntil(Clock::time_point deadline, const std::atomic<bool>& stopping, const PeerWatch& peer)
{
    while (Clock::now() < deadline) {
        if (stopping || peer.PeerGone())
            return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(kWakeInterval, deadline - Clock::now()));
    }
    return !stopping;
}

// A repeating, recognisable filler for bodies of a given size.
const std::string& Filler()
{
    static const std::string filler = [] {
        std::string text(kChunk, '\0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char>('a' + i % 26);
        return text;
    }();
    return filler;
}

// Writes the bytes [offset, offset+length) of the filler sequence in one piece of at most kChunk.
bool WriteFiller(httplib::DataSink& sink, std::size_t offset, std::size_t length)
{
    const std::size_t start = offset % 26;
    const std::size_t count = std::min(length, kChunk - start);
    return sink.write(Filler().data() + start, count);
}

void Stall(const httplib::Request& request, httplib::Response& response, const std::atomic<bool>& stopping)
{
    const auto seconds = std::chrono::seconds(NumberParam(request, "seconds", 10, kMaxSeconds));
    const PeerWatch peer(request);
    response.set_chunked_content_provider(kBinary, [&stopping, peer, seconds](std::size_t, httplib::DataSink& sink) {
        // The headers have gone out; now nothing until the time is up.
        if (!WaitUntil(Clock::now() + seconds, stopping, peer))
            return false;
        sink.done();
        return true;
    });
}

void StallConnect(const httplib::Request& request, httplib::Response& response, const std::atomic<bool>& stopping)
{
    const long long seconds = NumberParam(request, "seconds", 10, kMaxSeconds);
    // The server sends the headers only after the handler returns.
    WaitUntil(Clock::now() + std::chrono::seconds(seconds), stopping, PeerWatch(request));
    response.set_content("answered after " + std::to_string(seconds) + " s\n", "text/plain");
}

void Reset(const httplib::Request& request, httplib::Response& response, const std::atomic<bool>& stopping)
{
    const auto bytes = static_cast<std::size_t>(NumberParam(request, "bytes", 1024, kMaxBytes));
    const std::size_t announced = bytes + 4096;
    response.set_content_provider(announced, kBinary,
                                  [bytes, &stopping](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                      // Returning false makes the server drop the connection.
                                      if (offset >= bytes || stopping)
                                          return false;
                                      return WriteFiller(sink, offset, bytes - offset);
                                  });
}

void Endless(httplib::Response& response, const std::atomic<bool>& stopping)
{
    const auto deadline = Clock::now() + kEndlessLimit;
    response.set_chunked_content_provider(kBinary, [&stopping, deadline](std::size_t offset, httplib::DataSink& sink) {
        if (stopping)
            return false;
        if (Clock::now() >= deadline) {
            sink.done();
            return true;
        }
        // A client that went away makes the write fail, which ends the response.
        return WriteFiller(sink, offset, kChunk);
    });
}

// A body that keeps coming, too slowly ever to stall and too slowly ever to end: one byte every
// interval (milliseconds, 500 by default) until bytes (1000) are out.
void Drip(const httplib::Request& request, httplib::Response& response, const std::atomic<bool>& stopping)
{
    const auto interval = std::chrono::milliseconds(NumberParam(request, "interval", 500, 60000));
    const auto bytes = static_cast<std::size_t>(NumberParam(request, "bytes", 1000, kMaxBytes));
    const PeerWatch peer(request);
    response.set_chunked_content_provider(
        kBinary, [&stopping, peer, interval, bytes](std::size_t offset, httplib::DataSink& sink) {
            if (offset >= bytes) {
                sink.done();
                return true;
            }
            if (offset > 0 && !WaitUntil(Clock::now() + interval, stopping, peer))
                return false;
            return WriteFiller(sink, offset, 1);
        });
}

void Big(const httplib::Request& request, httplib::Response& response, const std::atomic<bool>& stopping)
{
    const auto bytes = static_cast<std::size_t>(NumberParam(request, "bytes", 1 << 20, kMaxBytes));
    if (bytes == 0) {
        response.set_content("", kBinary);
        return;
    }
    response.set_content_provider(bytes, kBinary,
                                  [&stopping](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                      return !stopping && WriteFiller(sink, offset, length);
                                  });
}

void Status(const httplib::Request& request, httplib::Response& response)
{
    int code = 0;
    const std::string text = request.matches[1];
    std::from_chars(text.data(), text.data() + text.size(), code);
    if (code < 200 || code > 599) {
        response.status = 400;
        response.set_content("no such status: " + text + "\n", "text/plain");
        return;
    }
    response.status = code;
    if (code != 204 && code != 304)
        response.set_content("status " + std::to_string(code) + "\n", "text/plain");
}

void Redirect(const httplib::Request& request, httplib::Response& response)
{
    if (!request.has_param("to")) {
        response.status = 400;
        response.set_content("redirect needs ?to=<address>\n", "text/plain");
        return;
    }
    response.set_redirect(request.get_param_value("to"), 302);
}

}  // namespace

void AddFaultRoutes(httplib::Server& server, const std::atomic<bool>& stopping)
{
    server.Get("/__fault/stall", [&stopping](const httplib::Request& request, httplib::Response& response) {
        Stall(request, response, stopping);
    });
    server.Get("/__fault/stall-connect", [&stopping](const httplib::Request& request, httplib::Response& response) {
        StallConnect(request, response, stopping);
    });
    server.Get("/__fault/reset", [&stopping](const httplib::Request& request, httplib::Response& response) {
        Reset(request, response, stopping);
    });
    server.Get("/__fault/endless",
               [&stopping](const httplib::Request&, httplib::Response& response) { Endless(response, stopping); });
    server.Get("/__fault/big", [&stopping](const httplib::Request& request, httplib::Response& response) {
        Big(request, response, stopping);
    });
    server.Get(R"(/__fault/status/(\d+))", Status);
    server.Get("/__fault/redirect", Redirect);
    server.Get("/__fault/drip", [&stopping](const httplib::Request& request, httplib::Response& response) {
        Drip(request, response, stopping);
    });
    server.Get("/__fault/loop", [](const httplib::Request& request, httplib::Response& response) {
        response.set_redirect(request.target, 302);
    });
}

}  // namespace quib::standin
