#pragma once
// What one checked row contributes to the clipboard in each copy layout, and the custom
// template's tags.
#include "results/resultrow.h"

#include <string>
#include <string_view>

namespace quib::results {

enum class CopyLayout { TitleAndUrl = 0, Url = 1, Link = 2, Template = 3 };

// The layout for CopyData's integer argument; values outside 0..3 give nothing.
bool CopyLayoutFromInt(int value, CopyLayout& layout);

// The template with <id>, <title>, <url> and <date> replaced in that order, every occurrence, in
// any letter case. Later tags are also replaced inside the text earlier ones brought in.
std::string ApplyCopyTemplate(std::string_view format, const ResultRow& row);

// One row's item: title + "$" + address, address, link, or the template applied.
std::string CopyItem(CopyLayout layout, const ResultRow& row, std::string_view format);

// Whether the layout writes the row's address (a template with <url>): a row without one would
// go into the CMS as a broken entry ("title$"), so such a copy leaves it out.
bool CopiesAddress(CopyLayout layout, std::string_view format);

}  // namespace quib::results
