#include "host/core/httpmulti.h"

#include <curl/curl.h>

#include <algorithm>
#include <stdexcept>

namespace quib {

namespace {

// How long Take sleeps at most between two looks at the stop query.
constexpr int kPollMs = 50;

}  // namespace

struct THttpMulti::Slot {
    enum class State { Idle, Running, Done };
    State state = State::Idle;
    int key = 0;
    // Kept from one transfer to the next: its handle remembers what it learnt of the server.
    std::unique_ptr<THttpConnection> connection;
    Result result;
};

THttpMulti::THttpMulti(const NetworkSettings& settings, int maxTransfers, TStopQuery stopQuery)
    : m_settings(settings), m_maxTransfers(std::max(1, maxTransfers)), m_stopQuery(std::move(stopQuery))
{
    // Curl is set up, once for the program, by the first connection made.
    const THttpConnection setsCurlUp(m_settings);
    m_multi = curl_multi_init();
    if (!m_multi)
        throw std::runtime_error("无法建立网络连接");
    // No more connections open to a site, busy or idle, than transfers run at once: each holds
    // one of the server's threads for as long as it is open. HTTP/2 streams share one.
    curl_multi_setopt(m_multi, CURLMOPT_MAX_HOST_CONNECTIONS, static_cast<long>(m_maxTransfers));
    curl_multi_setopt(m_multi, CURLMOPT_MAXCONNECTS, static_cast<long>(m_maxTransfers));
    curl_multi_setopt(m_multi, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
}

THttpMulti::~THttpMulti()
{
    DropAll();
    m_slots.clear();
    curl_multi_cleanup(m_multi);
}

THttpMulti::Slot* THttpMulti::Find(int key)
{
    for (const auto& slot : m_slots)
        if (slot->state != Slot::State::Idle && slot->key == key)
            return slot.get();
    return nullptr;
}

const THttpMulti::Slot* THttpMulti::Find(int key) const { return const_cast<THttpMulti*>(this)->Find(key); }

bool THttpMulti::Has(int key) const { return Find(key) != nullptr; }

int THttpMulti::Running() const
{
    return static_cast<int>(
        std::count_if(m_slots.begin(), m_slots.end(), [](const auto& s) { return s->state == Slot::State::Running; }));
}

bool THttpMulti::Start(int key, const std::string& url, int limit)
{
    if (Running() >= m_maxTransfers || Find(key))
        return false;
    Slot* slot = nullptr;
    for (const auto& candidate : m_slots)
        if (candidate->state == Slot::State::Idle) {
            slot = candidate.get();
            break;
        }
    if (!slot) {
        m_slots.push_back(std::make_unique<Slot>());
        slot = m_slots.back().get();
        // Each transfer asks the stop query too, as a single Get does.
        slot->connection = std::make_unique<THttpConnection>(m_settings, m_stopQuery);
    }
    slot->key = key;
    slot->result = Result{};
    try {
        slot->connection->Begin(url, limit, nullptr);
    } catch (...) {
        slot->result.error = std::current_exception();
        slot->state = Slot::State::Done;
        return true;
    }
    if (curl_multi_add_handle(m_multi, slot->connection->Handle()) != CURLM_OK) {
        slot->result.error =
            std::make_exception_ptr(HttpError(HttpError::Cause::Other, {}, 0, "无法建立网络连接（" + url + "）"));
        slot->state = Slot::State::Done;
        return true;
    }
    slot->state = Slot::State::Running;
    return true;
}

void THttpMulti::Detach(Slot& slot)
{
    if (slot.state == Slot::State::Running)
        curl_multi_remove_handle(m_multi, slot.connection->Handle());
    slot.state = Slot::State::Idle;
    slot.result = Result{};
}

void THttpMulti::Collect()
{
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        for (const auto& slot : m_slots) {
            if (slot->state != Slot::State::Running || slot->connection->Handle() != message->easy_handle)
                continue;
            const CURLcode code = message->data.result;
            curl_multi_remove_handle(m_multi, message->easy_handle);
            slot->state = Slot::State::Done;
            try {
                slot->connection->Finish(code);
                slot->result.body = std::move(slot->connection->m_responseText);
                slot->result.effectiveUrl = slot->connection->EffectiveUrl();
            } catch (...) {
                slot->result.error = std::current_exception();
            }
            break;
        }
    }
}

void THttpMulti::Pump()
{
    int running = 0;
    curl_multi_perform(m_multi, &running);
    Collect();
}

bool THttpMulti::StopAsked()
{
    bool stop = false;
    if (m_stopQuery)
        m_stopQuery(stop);
    return stop;
}

THttpMulti::Result THttpMulti::Take(int key)
{
    Slot* slot = Find(key);
    if (!slot)
        throw std::logic_error("no transfer under this key");
    // The others move on even when this one is in already: a request added since goes out now.
    Pump();
    while (slot->state == Slot::State::Running) {
        if (StopAsked()) {
            // Every transfer ends now, not one after another at its own next progress report.
            const std::string url = slot->connection->EffectiveUrl();
            DropAll();
            throw HttpError(HttpError::Cause::Aborted, url, 0, "对 " + url + " 的访问已终止");
        }
        curl_multi_poll(m_multi, nullptr, 0, kPollMs, nullptr);
        Pump();
    }
    Result result = std::move(slot->result);
    Detach(*slot);
    return result;
}

void THttpMulti::Drop(int key)
{
    if (Slot* slot = Find(key))
        Detach(*slot);
}

void THttpMulti::DropAll()
{
    for (const auto& slot : m_slots)
        if (slot->state != Slot::State::Idle)
            Detach(*slot);
}

}  // namespace quib
