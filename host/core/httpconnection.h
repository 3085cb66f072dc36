#pragma once
// The host's HTTP client: one synchronous GET at a time, usable on any thread.
#include "host/core/networksettings.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace quib {

// Asked during transfers; setting the argument to true abandons the transfer.
using TStopQuery = std::function<void(bool& terminated)>;

// A failed Get. what() is UTF-8 text a person can read, in Chinese: the host and the cause.
// detail() keeps libcurl's own words for the log (empty when the failure was not libcurl's).
class HttpError : public std::runtime_error {
public:
    enum class Cause { Refused, TimedOut, Status, TooLarge, Aborted, BadAddress, Other };
    HttpError(Cause cause, std::string host, int status, const std::string& message, std::string detail = {})
        : std::runtime_error(message), m_cause(cause), m_host(std::move(host)), m_status(status),
          m_detail(std::move(detail))
    {
    }
    Cause cause() const { return m_cause; }
    const std::string& host() const { return m_host; }
    int status() const { return m_status; }
    const std::string& detail() const { return m_detail; }

private:
    Cause m_cause;
    std::string m_host;
    int m_status;
    std::string m_detail;
};

class THttpConnection {
public:
    explicit THttpConnection(NetworkSettings settings, TStopQuery stopQuery = {});
    ~THttpConnection();
    THttpConnection(const THttpConnection&) = delete;
    THttpConnection& operator=(const THttpConnection&) = delete;

    // Fetches url, following redirects. `limit` is the number of seconds the connection or
    // the transfer may stall before it is abandoned; the whole transfer ends at the settings'
    // transferDeadlineSeconds whatever it does. Returns the body (also kept as
    // ResponseText) and throws HttpError on any failure, an HTTP status of 400 or more included.
    std::string Get(const std::string& url, int limit, const std::vector<std::string>* headers = nullptr);

    const std::string& ResponseText() const { return m_responseText; }
    int ResponseCode() const { return m_responseCode; }
    // The address the last Get ended on after redirects.
    const std::string& EffectiveUrl() const { return m_effectiveUrl; }
    // The Content-Type header of the last response, empty when it had none.
    const std::string& ContentType() const { return m_contentType; }

private:
    // A transfer in two halves, so that THttpMulti can run several connections' at once on their
    // handles: Begin sets the handle up, Finish takes curl's result and ends as Get does.
    friend class THttpMulti;
    void Begin(const std::string& url, int limit, const std::vector<std::string>* headers);
    std::string Finish(int curlCode);
    void* Handle() const { return m_curl; }

    struct Transfer;
    std::unique_ptr<Transfer> m_transfer;  // the transfer begun and not yet finished
    NetworkSettings m_settings;
    TStopQuery m_stopQuery;
    std::string m_responseText;
    std::string m_effectiveUrl;
    std::string m_contentType;
    int m_responseCode = 0;
    void* m_curl = nullptr;  // CURL*, reused across Gets for connection keep-alive
};

}  // namespace quib
