#pragma once
// The stand-in sites write their pages in UTF-8 source and serve them in GBK, as the real sites
// did. Kept apart from the host's own conversion so that a fault there cannot hide itself in tests.
#include <string>
#include <string_view>

namespace quib::standin {

// Throws std::runtime_error for text GBK cannot hold: a stand-in page must be exact.
std::string Utf8ToGbk(std::string_view utf8);
// What a browser posts from a GBK page, as UTF-8; a byte that starts no GBK character becomes
// "?", since what a client sends may be anything.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace quib::standin
