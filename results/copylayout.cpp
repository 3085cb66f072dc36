#include "results/copylayout.h"

#include "results/textsearch.h"

namespace quib::results {

bool CopyLayoutFromInt(int value, CopyLayout& layout)
{
    if (value < 0 || value > 3)
        return false;
    layout = static_cast<CopyLayout>(value);
    return true;
}

std::string ApplyCopyTemplate(std::string_view format, const ResultRow& row)
{
    std::string text = textsearch::ReplaceAllNoCase(format, "<id>", std::to_string(row.RecId));
    text = textsearch::ReplaceAllNoCase(text, "<title>", row.Caption);
    text = textsearch::ReplaceAllNoCase(text, "<url>", row.Url);
    return textsearch::ReplaceAllNoCase(text, "<date>", row.Date);
}

std::string CopyItem(CopyLayout layout, const ResultRow& row, std::string_view format)
{
    switch (layout) {
    case CopyLayout::TitleAndUrl: return row.Caption + "$" + row.Url;
    case CopyLayout::Url: return row.Url;
    case CopyLayout::Link: return row.Link;
    case CopyLayout::Template: return ApplyCopyTemplate(format, row);
    }
    return {};
}

bool CopiesAddress(CopyLayout layout, std::string_view format)
{
    switch (layout) {
    case CopyLayout::TitleAndUrl:
    case CopyLayout::Url: return true;
    case CopyLayout::Link: return false;
    case CopyLayout::Template: return textsearch::FindNoCase(format, "<url>") != std::string_view::npos;
    }
    return false;
}

}  // namespace quib::results
