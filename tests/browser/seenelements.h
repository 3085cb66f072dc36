#pragma once
// The elements a load delivers, as the loader's tests compare them.
#include "host/core/simpleparser.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

using namespace quib;

struct Seen {
    std::string tag, id, className, text, html;
    std::optional<std::string> value;
};

inline std::vector<Seen> Load(SimpleParser& parser, const std::string& url, bool* ok = nullptr)
{
    std::vector<Seen> seen;
    parser.SetOnElement([&seen](const HtmlElement& e) {
        seen.push_back({e.TagName(), e.Id(), e.ClassName(), e.InnerText(), e.InnerHtml(), e.Attribute("value")});
    });
    const bool loaded = parser.Navigate(url);
    if (ok)
        *ok = loaded;
    return seen;
}

inline std::vector<std::string> Tags(const std::vector<Seen>& seen)
{
    std::vector<std::string> tags;
    for (const Seen& s : seen)
        tags.push_back(s.tag);
    return tags;
}
