#pragma once
// The 56 playlist pages: the items of one page, then the address of the next page or the end.
#include "collect/pageparse.h"

namespace quib::collect {

class TWolePageParse : public TPageParse {
public:
    using TPageParse::TPageParse;

protected:
    void ParseHTMLDocument(const std::string& page) override;
    std::optional<std::string> PageAddress(int index) const override;

private:
    std::string PageName(int index) const;  // the page's file name, as the pager links it
};

}  // namespace quib::collect
