#pragma once
// Parses an HTML document with an HTML5 parser and visits its elements in document order.
//
// The parse is bounded: a page whose nesting would make the parser's work grow with the square
// of its size (thousands of unclosed elements; formatting elements the parser clones into every
// later paragraph) is read only up to the point where its estimated work runs out, the parser's
// memory has a ceiling, and the text the elements hand out during one walk is limited too. A
// page cut short that way is still walked as far as it was read, and the walk says so.
#include "host/core/htmlelement.h"

#include <cstddef>
#include <functional>
#include <string_view>

namespace quib {

struct HtmlWalkReport {
    bool cutShort = false;        // part of the page was not walked
    std::size_t parsedBytes = 0;  // the leading part the parser read
};

// Calls visit with every element of the UTF-8 document html, in document order, asking stopped
// before each one; no element is visited once it says true. Invalid UTF-8 is read as U+FFFD.
// Returns the number of elements visited.
std::size_t WalkHtml(std::string_view html, const std::function<void(const HtmlElement&)>& visit,
                     const std::function<bool()>& stopped, HtmlWalkReport* report = nullptr);

// How many leading bytes of html the walk parses: all of them, unless the page's tags would
// cost the parser more than a bounded multiple of its size.
std::size_t HtmlParsablePrefix(std::string_view html);

}  // namespace quib
