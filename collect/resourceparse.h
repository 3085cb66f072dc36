#pragma once
// The worker of a resource-site collection: fetches the record's detail answer and reads it on its
// own thread; the engine takes the record at the worker's end, where the source is chosen.
#include "collect/pageparse.h"
#include "collect/resourceapi.h"

#include <optional>

namespace quib::collect {

class TResourceRecordParse : public TPageParse {
public:
    // id: the record's id, which the answer must hold.
    TResourceRecordParse(const NetworkSettings& network, const std::string& url, const std::string& id, int index,
                         TOnGetUrlEvent onGetUrl, TOnParseErrorEvent onParseError, TOnPaseEndEvent onParseEnd,
                         TCheckTerminatedEvent onCheckTerminated);

    // Read on the user-interface thread at the end callback, when the worker is done with them.
    const std::optional<ResourceRecord>& Record() const { return m_record; }
    const QStringList& Warnings() const { return m_warnings; }

protected:
    void ParseHTMLDocument(const std::string& page) override;

private:
    std::optional<ResourceRecord> m_record;
    QStringList m_warnings;
};

// The network settings for an answer of a resource site: its body capped at kResourceMaxBody.
NetworkSettings ResourceNetwork(NetworkSettings network);

}  // namespace quib::collect
