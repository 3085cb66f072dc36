#pragma once
// Several GETs at once on one thread: each on a connection of its own, all driven by one curl
// multi handle, so kept-alive connections are reused from one request to the next and a server
// that offers HTTP/2 carries them as streams of one connection. Runs on the thread that calls it.
#include "host/core/httpconnection.h"

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quib {

class THttpMulti {
public:
    // At most maxTransfers run at once. The stop query is asked while Take waits; when it says
    // stop, every transfer still running is ended there and then.
    THttpMulti(const NetworkSettings& settings, int maxTransfers, TStopQuery stopQuery);
    ~THttpMulti();  // ends every transfer still running
    THttpMulti(const THttpMulti&) = delete;
    THttpMulti& operator=(const THttpMulti&) = delete;

    struct Result {
        std::string body;
        std::string effectiveUrl;
        std::exception_ptr error;  // the transfer's HttpError; then body is empty
    };

    // Starts a GET of url, known by key from now on; false when maxTransfers are running.
    bool Start(int key, const std::string& url, int limit);
    // Started and not yet taken, whether it has ended or not.
    bool Has(int key) const;
    int Running() const;
    // Moves the transfers on as far as they go without waiting.
    void Pump();
    // Waits for key's transfer, moving every other on meanwhile, and hands its result over.
    // Stopped: the transfer ended with HttpError Aborted, as every other that was running.
    Result Take(int key);
    // Ends key's transfer, or forgets its result.
    void Drop(int key);
    // Ends every transfer and forgets every result.
    void DropAll();

private:
    struct Slot;
    Slot* Find(int key);
    const Slot* Find(int key) const;
    void Detach(Slot& slot);
    void Collect();  // takes the ended transfers' results
    bool StopAsked();

    NetworkSettings m_settings;
    int m_maxTransfers;
    TStopQuery m_stopQuery;
    void* m_multi = nullptr;  // CURLM*
    std::vector<std::unique_ptr<Slot>> m_slots;
};

}  // namespace quib
