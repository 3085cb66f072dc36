#include "httpconnection.h"

#include <curl/curl.h>

#include <mutex>

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

}  // namespace

// State of one Get, reached from curl's callbacks.
struct THttpConnection::Transfer {
    std::string body;
    std::size_t maxBody;
    bool tooLarge = false;
    bool stopped = false;
    const TStopQuery* stopQuery;

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
    : settings_(std::move(settings)), stopQuery_(std::move(stopQuery))
{
    InitCurlOnce();
}

THttpConnection::~THttpConnection()
{
    if (curl_)
        curl_easy_cleanup(static_cast<CURL*>(curl_));
}

std::string THttpConnection::Get(const std::string& url, int limit, const std::vector<std::string>* headers)
{
    responseText_.clear();
    responseCode_ = 0;
    effectiveUrl_ = url;
    contentType_.clear();
    const std::string host = HostOf(url);

    if (!curl_)
        curl_ = curl_easy_init();
    CURL* curl = static_cast<CURL*>(curl_);
    if (!curl)
        throw HttpError(HttpError::Cause::Other, host, 0, "无法建立网络连接（" + host + "）");
    curl_easy_reset(curl);

    Transfer transfer{{}, settings_.maxBodyBytes, false, false, &stopQuery_};
    const long stallSeconds = settings_.stallSeconds > 0 ? settings_.stallSeconds : limit > 0 ? limit : 16;

    curl_slist* connectTo = nullptr;
    for (const std::string& rule : settings_.connectTo)
        connectTo = curl_slist_append(connectTo, rule.c_str());
    curl_slist* headerList = nullptr;
    if (headers)
        for (const std::string& header : *headers)
            headerList = curl_slist_append(headerList, header.c_str());

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
    curl_easy_setopt(curl, CURLOPT_USERAGENT, settings_.userAgent.c_str());
    if (!settings_.proxy.empty())
        curl_easy_setopt(curl, CURLOPT_PROXY, settings_.proxy.c_str());
    curl_easy_setopt(curl, CURLOPT_CONNECT_TO, connectTo);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Transfer::Write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Transfer::Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    char* lastUrl = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &lastUrl) == CURLE_OK && lastUrl)
        effectiveUrl_ = lastUrl;
    char* contentType = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType)
        contentType_ = contentType;
    // The lists must outlive the transfer; the handle forgets them before they go.
    curl_easy_setopt(curl, CURLOPT_CONNECT_TO, nullptr);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(connectTo);
    curl_slist_free_all(headerList);
    responseCode_ = static_cast<int>(status);

    using Cause = HttpError::Cause;
    if (transfer.stopped)
        throw HttpError(Cause::Aborted, host, responseCode_, "对 " + host + " 的访问已终止");
    if (transfer.tooLarge)
        throw HttpError(Cause::TooLarge, host, responseCode_,
                        host + " 返回的数据超过 " + std::to_string(settings_.maxBodyBytes >> 20) + " MB 的上限");
    switch (code) {
    case CURLE_OK:
        break;
    case CURLE_COULDNT_CONNECT:
        throw HttpError(Cause::Refused, host, 0, "无法连接到 " + host + "（连接被拒绝）");
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        throw HttpError(Cause::Refused, host, 0, "无法连接到 " + host + "（找不到该主机）");
    case CURLE_OPERATION_TIMEDOUT:
        throw HttpError(Cause::TimedOut, host, responseCode_,
                        host + " 在 " + std::to_string(stallSeconds) + " 秒内没有响应");
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        throw HttpError(Cause::BadAddress, host, 0, "错误的地址：" + url);
    default:
        throw HttpError(Cause::Other, host, responseCode_,
                        "访问 " + host + " 失败（" + curl_easy_strerror(code) + "）");
    }
    if (responseCode_ >= 400)
        throw HttpError(Cause::Status, host, responseCode_,
                        host + " 返回错误 HTTP " + std::to_string(responseCode_));

    responseText_ = std::move(transfer.body);
    return responseText_;
}
