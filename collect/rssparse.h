#pragma once
// The fast mode's workers: a Tudou or Youku album read from the site's feed in one request.
// The feed is the only page, and it is always read to its end: a stop request acts before a
// fetch, never in the middle of the list.
#include "collect/pageparse.h"

namespace quib::collect {

class TTudouRssParse : public TPageParse {
public:
    using TPageParse::TPageParse;

protected:
    void ParseHTMLDocument(const std::string& page) override;
};

class TYoukuRssParse : public TPageParse {
public:
    using TPageParse::TPageParse;

protected:
    void ParseHTMLDocument(const std::string& page) override;
};

}  // namespace quib::collect
