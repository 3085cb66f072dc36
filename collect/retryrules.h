#pragma once
// Which parser, and which page kind, collects a row again from its link.
#include "collect/addressrules.h"

#include <optional>
#include <string_view>

namespace quib::collect {

struct RetryTarget {
    SinglePageParser parser;
    int kind;
};

// The site is the first whose domain the link contains (Tudou, Youku, 56, 6rooms, Ouou, Sina);
// the kind comes from the link's path. Nothing for a link no rule knows.
std::optional<RetryTarget> RetryTargetOf(std::string_view link);

}  // namespace quib::collect
