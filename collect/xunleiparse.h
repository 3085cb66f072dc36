#pragma once
// The two workers of a Xunlei collection, run one after the other: the movie document gives the
// movie's albums, the album document the files that become rows. Each reads one document.
#include "collect/pageparse.h"

namespace quib::collect {

class TXunleiMovieParse : public TPageParse {
public:
    using TPageParse::TPageParse;

protected:
    void ParseHTMLDocument(const std::string& page) override;
};

class TXunleiAlbumListParse : public TPageParse {
public:
    using TPageParse::TPageParse;

protected:
    void ParseHTMLDocument(const std::string& page) override;
};

}  // namespace quib::collect
