#include "collect/resourceparse.h"

#include <algorithm>
#include <stdexcept>

namespace quib::collect {

NetworkSettings ResourceNetwork(NetworkSettings network)
{
    network.maxBodyBytes = std::min(network.maxBodyBytes, kResourceMaxBody);
    return network;
}

TResourceRecordParse::TResourceRecordParse(const NetworkSettings& network, const std::string& url,
                                           const std::string& id, int index, TOnGetUrlEvent onGetUrl,
                                           TOnParseErrorEvent onParseError, TOnPaseEndEvent onParseEnd,
                                           TCheckTerminatedEvent onCheckTerminated)
    : TPageParse(ResourceNetwork(network), url, id, index, std::move(onGetUrl), std::move(onParseError),
                 std::move(onParseEnd), std::move(onCheckTerminated))
{
    KeepWholeList = true;
}

void TResourceRecordParse::ParseHTMLDocument(const std::string& page)
{
    Url.clear();  // one answer holds the whole record
    ResourcePage answer = ParseResourceAnswer(page);
    if (!answer.Ok())
        throw std::runtime_error(answer.error.toStdString());
    m_warnings = std::move(answer.warnings);
    const QString id = QString::fromStdString(Id);
    // A site may answer with other records too, or with the catalogue when it ignores ids.
    const auto found = std::find_if(answer.records.begin(), answer.records.end(),
                                    [&id](const ResourceRecord& record) { return record.id == id; });
    if (found == answer.records.end())
        throw std::runtime_error("资源站的回答里没有编号为 " + Id + " 的影片");
    m_record = std::move(*found);
}

}  // namespace quib::collect
