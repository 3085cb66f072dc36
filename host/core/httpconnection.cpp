#include "host/core/httpconnection.h"

#include <QtGlobal>
#include <curl/curl.h>

#include <chrono>
#include <mutex>

namespace quib {

namespace {

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string HostOf(const std::string& url)
{
    std::string host;
    if (CURLU* parsed = curl_url()) {
        char* part = nullptr;
        if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), CURLU_DEFAULT_SCHEME) == CURLUE_OK &&
            curl_url_get(parsed, CURLUPART_HOST, &part, 0) == CURLUE_OK) {
            host = part;
            curl_free(part);
        }
        curl_url_cleanup(parsed);
    }
    return host.empty() ? url : host;
}

// The proxy as the messages name it, host and port, never the user name and password it may hold.
std::string ProxyName(const std::string& proxy)
{
    std::string name;
    if (CURLU* parsed = curl_url()) {
        char* host = nullptr;
        char* port = nullptr;
        if (curl_url_set(parsed, CURLUPART_URL, proxy.c_str(), CURLU_DEFAULT_SCHEME | CURLU_NON_SUPPORT_SCHEME) ==
                CURLUE_OK &&
            curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
            name = host;
            if (curl_url_get(parsed, CURLUPART_PORT, &port, 0) == CURLUE_OK)
                name += std::string(":") + port;
        }
        curl_free(host);
        curl_free(port);
        curl_url_cleanup(parsed);
    }
    return name.empty() ? "(" + proxy.substr(0, proxy.find('@')) + ")" : name;
}

// The common libcurl failures in the words of the rest of the message; curl's English goes to the
// log only. Null for the failures Get words itself.
const char* ChineseCause(CURLcode code)
{
    switch (code) {
    case CURLE_RECV_ERROR: return "接收数据时连接中断";
    case CURLE_SEND_ERROR: return "发送数据时连接中断";
    case CURLE_GOT_NOTHING: return "服务器没有返回任何数据";
    case CURLE_PARTIAL_FILE: return "数据没有传完连接就断开了";
    case CURLE_TOO_MANY_REDIRECTS: return "页面跳转次数过多";
    case CURLE_WEIRD_SERVER_REPLY: return "无法识别服务器的回应";
    case CURLE_BAD_CONTENT_ENCODING: return "无法解压服务器返回的数据";
    case CURLE_SSL_CONNECT_ERROR: return "无法建立安全连接";
    case CURLE_PEER_FAILED_VERIFICATION: return "服务器的证书无法验证";
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_HTTP3: return "协议错误";
    case CURLE_OUT_OF_MEMORY: return "内存不足";
    case CURLE_WRITE_ERROR: return "无法保存收到的数据";
    case CURLE_ABORTED_BY_CALLBACK: return "传输被中止";
    case CURLE_INTERFACE_FAILED:
    case CURLE_LOGIN_DENIED:
    case CURLE_REMOTE_ACCESS_DENIED: return "访问被拒绝";
    default: return nullptr;
    }
}

}  // namespace

// State of one Get, reached from curl's callbacks.
struct THttpConnection::Transfer {
    std::string body;
    std::size_t maxBody = 0;
    bool tooLarge = false;
    bool stopped = false;
    bool pastDeadline = false;
    const TStopQuery* stopQuery = nullptr;
    std::chrono::steady_clock::time_point deadline;
    std::string url;
    std::string host;
    long stallSeconds = 0;
    int deadlineSeconds = 0;
    curl_slist* connectTo = nullptr;
    curl_slist* headerList = nullptr;
    char curlText[CURL_ERROR_SIZE] = {};

    Transfer() = default;
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;
    ~Transfer()
    {
        curl_slist_free_all(connectTo);
        curl_slist_free_all(headerList);
    }

    static size_t Write(char* data, size_t size, size_t count, void* self)
    {
        auto* transfer = static_cast<Transfer*>(self);
        const size_t bytes = size * count;
        if (transfer->body.size() + bytes > transfer->maxBody) {
            transfer->tooLarge = true;
            return 0;  // makes curl fail the transfer
        }
        transfer->body.append(data, bytes);
        return bytes;
    }

    static int Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        auto* transfer = static_cast<Transfer*>(self);
        // curl asks at least once a second, bytes or not, so the deadline holds on a trickle too.
        if (std::chrono::steady_clock::now() >= transfer->deadline) {
            transfer->pastDeadline = true;
            return 1;
        }
        if (*transfer->stopQuery) {
            bool terminated = false;
            (*transfer->stopQuery)(terminated);
            if (terminated) {
                transfer->stopped = true;
                return 1;
            }
        }
        return 0;
    }
};

THttpConnection::THttpConnection(NetworkSettings settings, TStopQuery stopQuery)
    : m_settings(std::move(settings)), m_stopQuery(std::move(stopQuery))
{
    InitCurlOnce();
}

THttpConnection::~THttpConnection()
{
    // A transfer begun and never finished: the handle forgets the lists before they go.
    if (m_curl && m_transfer) {
        curl_easy_setopt(static_cast<CURL*>(m_curl), CURLOPT_CONNECT_TO, nullptr);
        curl_easy_setopt(static_cast<CURL*>(m_curl), CURLOPT_HTTPHEADER, nullptr);
    }
    m_transfer.reset();
    if (m_curl)
        curl_easy_cleanup(static_cast<CURL*>(m_curl));
}

std::string THttpConnection::Get(const std::string& url, int limit, const std::vector<std::string>* headers)
{
    Begin(url, limit, headers);
    return Finish(curl_easy_perform(static_cast<CURL*>(m_curl)));
}

void THttpConnection::Begin(const std::string& url, int limit, const std::vector<std::string>* headers)
{
    m_responseText.clear();
    m_responseCode = 0;
    m_effectiveUrl = url;
    m_contentType.clear();
    const std::string host = HostOf(url);

    if (!m_curl)
        m_curl = curl_easy_init();
    CURL* curl = static_cast<CURL*>(m_curl);
    if (!curl)
        throw HttpError(HttpError::Cause::Other, host, 0, "无法建立网络连接（" + host + "）");
    // The handle forgets a transfer begun and never finished before its state goes.
    curl_easy_reset(curl);
    m_transfer.reset();

    const long stallSeconds = m_settings.stallSeconds > 0 ? m_settings.stallSeconds : limit > 0 ? limit : 16;
    const int deadlineSeconds = m_settings.transferDeadlineSeconds > 0 ? m_settings.transferDeadlineSeconds : 300;
    m_transfer = std::make_unique<Transfer>();
    Transfer& transfer = *m_transfer;
    transfer.maxBody = m_settings.maxBodyBytes;
    transfer.stopQuery = &m_stopQuery;
    transfer.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(deadlineSeconds);
    transfer.url = url;
    transfer.host = host;
    transfer.stallSeconds = stallSeconds;
    transfer.deadlineSeconds = deadlineSeconds;

    for (const std::string& rule : m_settings.connectTo)
        transfer.connectTo = curl_slist_append(transfer.connectTo, rule.c_str());
    if (headers)
        for (const std::string& header : *headers)
            transfer.headerList = curl_slist_append(transfer.headerList, header.c_str());

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, stallSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, m_settings.userAgent.c_str());
    if (!m_settings.proxy.empty()) {
        curl_easy_setopt(curl, CURLOPT_PROXY, m_settings.proxy.c_str());
        // The proxy takes every request, as it does the browser's: no environment's bypass list
        // decides otherwise, so a failed connection is surely the proxy's.
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "");
    }
    curl_easy_setopt(curl, CURLOPT_CONNECT_TO, transfer.connectTo);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, transfer.headerList);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::Write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, transfer.curlText);
}

std::string THttpConnection::Finish(int result)
{
    const auto code = static_cast<CURLcode>(result);
    CURL* curl = static_cast<CURL*>(m_curl);
    // The state goes with this call, whatever it ends in.
    const std::unique_ptr<Transfer> owned = std::move(m_transfer);
    Transfer& transfer = *owned;
    const std::string& url = transfer.url;
    const std::string& host = transfer.host;
    const long stallSeconds = transfer.stallSeconds;
    const int deadlineSeconds = transfer.deadlineSeconds;
    const char* curlText = transfer.curlText;
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    char* lastUrl = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &lastUrl) == CURLE_OK && lastUrl)
        m_effectiveUrl = lastUrl;
    char* contentType = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType)
        m_contentType = contentType;
    // The lists must outlive the transfer; the handle forgets them before they go.
    curl_easy_setopt(curl, CURLOPT_CONNECT_TO, nullptr);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    m_responseCode = static_cast<int>(status);

    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    const bool proxied = !m_settings.proxy.empty();

    using Cause = HttpError::Cause;
    if (transfer.stopped)
        throw HttpError(Cause::Aborted, host, m_responseCode, "对 " + host + " 的访问已终止");
    if (transfer.tooLarge)
        throw HttpError(Cause::TooLarge, host, m_responseCode,
                        host + " 返回的数据超过 " + std::to_string(m_settings.maxBodyBytes >> 20) + " MB 的上限");
    if (code != CURLE_OK) {
        const std::string detail =
            std::string(curl_easy_strerror(code)) + (curlText[0] ? std::string(": ") + curlText : "");
        qWarning("[THttpConnection] %s: %s", url.c_str(), detail.c_str());
        const auto fail = [&](Cause cause, int responseCode, const std::string& message) {
            throw HttpError(cause, host, responseCode, message, detail);
        };
        if (transfer.pastDeadline)
            fail(Cause::TimedOut, m_responseCode,
                 host + " 在 " + std::to_string(deadlineSeconds) + " 秒内没有传完数据");
        // Behind a proxy the only connection made is to the proxy: its failure is not the site's.
        if (proxied && (code == CURLE_COULDNT_CONNECT || code == CURLE_COULDNT_RESOLVE_PROXY || code == CURLE_PROXY)) {
            const std::string proxy = "代理服务器 " + ProxyName(m_settings.proxy);
            if (code == CURLE_COULDNT_CONNECT)
                fail(Cause::Refused, 0, "无法连接到" + proxy + "（连接被拒绝），未能访问 " + host);
            if (code == CURLE_COULDNT_RESOLVE_PROXY)
                fail(Cause::Refused, 0, "找不到" + proxy + "，未能访问 " + host);
            fail(Cause::Refused, 0, proxy + " 未能连接到 " + host);
        }
        switch (code) {
        case CURLE_COULDNT_CONNECT: fail(Cause::Refused, 0, "无法连接到 " + host + "（连接被拒绝）"); break;
        case CURLE_COULDNT_RESOLVE_HOST: fail(Cause::Refused, 0, "无法连接到 " + host + "（找不到该主机）"); break;
        case CURLE_OPERATION_TIMEDOUT:
            fail(Cause::TimedOut, m_responseCode, host + " 在 " + std::to_string(stallSeconds) + " 秒内没有响应");
            break;
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL: fail(Cause::BadAddress, 0, "错误的地址：" + url); break;
        default:
            if (const char* cause = ChineseCause(code))
                fail(Cause::Other, m_responseCode, "访问 " + host + " 失败（" + cause + "）");
            fail(Cause::Other, m_responseCode, "访问 " + host + " 失败（错误码 " + std::to_string(code) + "）");
        }
    }
    if (m_responseCode >= 400)
        throw HttpError(Cause::Status, host, m_responseCode, host + " 返回错误 HTTP " + std::to_string(m_responseCode));

    m_responseText = std::move(transfer.body);
    return m_responseText;
}

}  // namespace quib
