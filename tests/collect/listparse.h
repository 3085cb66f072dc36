#pragma once
// A small site parser of the tests' own for the stand-in's numbered lists
// (http://paging.standin.test/list/<pages>x<items>/<page>.html).
#include "collect/pageparse.h"

#include <functional>
#include <string_view>

using namespace quib;
using namespace quib::collect;

inline constexpr const char* kListRoot = "http://paging.standin.test";

class ListParse : public collect::TPageParse {
public:
    using collect::TPageParse::TPageParse;
    static inline bool stopAfterFirstPage = false;
    // Runs on the worker before the stop check of item n (from 1) of a page.
    static inline std::function<void(int n)> beforeItem;

protected:
    void ParseHTMLDocument(const std::string& page) override
    {
        ItemCount = 0;
        std::string_view rest = page;
        const std::string_view itemStart = "<li><a href=\"";
        for (std::size_t at; (at = rest.find(itemStart)) != std::string_view::npos;) {
            if (beforeItem)
                beforeItem(ItemCount + 1);
            if (StopRequestedNow()) {
                Url.clear();
                return;
            }
            rest.remove_prefix(at + itemStart.size());
            const std::size_t quote = rest.find('"');
            const std::size_t close = rest.find("</a>");
            ItemLink = std::string(kListRoot) + std::string(rest.substr(0, quote));
            ItemData = ItemLink;
            ItemCaption = std::string(rest.substr(quote + 2, close - quote - 2));
            ItemDate.clear();
            ++ItemCount;
            HandOverItem();
        }
        const std::string_view next = "<a class=\"next\" href=\"";
        const std::size_t at = rest.find(next);
        if (at == std::string_view::npos || stopAfterFirstPage) {
            Url.clear();
            return;
        }
        rest.remove_prefix(at + next.size());
        Url = std::string(kListRoot) + std::string(rest.substr(0, rest.find('"')));
        ++Index;
    }
};
