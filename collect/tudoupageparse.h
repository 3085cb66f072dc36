#pragma once
// The Tudou playlist pages: the items of one page, then the address of the next page or the end.
#include "collect/pageparse.h"

namespace quib::collect {

class TTudouPageParse : public TPageParse {
public:
    using TPageParse::TPageParse;

protected:
    void ParseHTMLDocument(const std::string& page) override;
    std::optional<std::string> PageAddress(int index) const override;
    std::optional<int> StatedLastIndex(const std::string& page) const override;
};

}  // namespace quib::collect
