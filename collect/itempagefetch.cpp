#include "collect/itempagefetch.h"

namespace quib::collect {

std::optional<std::string> FetchItemPage(THttpConnection& connection, const std::string& url, int limit,
                                         const WorkerThread& worker)
{
    try {
        connection.Get(url, limit);
        return connection.ResponseText();
    } catch (...) {
        if (worker.Terminated())
            return std::nullopt;
        return std::string();
    }
}

}  // namespace quib::collect
