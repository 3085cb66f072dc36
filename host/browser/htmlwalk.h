#pragma once
// Parses an HTML document with an HTML5 parser and visits its elements in document order.
#include "htmlelement.h"

#include <cstddef>
#include <functional>
#include <string_view>

// Calls visit with every element of the UTF-8 document html, in document order, asking stopped
// before each one; no element is visited once it says true. Invalid UTF-8 is read as U+FFFD.
// Returns the number of elements visited.
std::size_t WalkHtml(std::string_view html, const std::function<void(const HtmlElement&)>& visit,
                     const std::function<bool()>& stopped);
