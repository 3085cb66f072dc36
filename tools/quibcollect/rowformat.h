#pragma once
// How quib-collect writes a collected row: a tab-separated line or a JSON object, in UTF-8.
#include "results/resultrow.h"

#include <optional>
#include <string>
#include <string_view>

namespace quib::cli {

// RecId, Status (1 or 0), Caption, Url, Date, Link, separated by tabs. A tab or line break inside
// a field becomes a blank, so that every row stays one line of six fields. A batch adds the
// collection's address (UTF-8) as a seventh.
std::string TsvLine(const results::ResultRow& row, std::optional<std::string_view> album = std::nullopt);

// {"RecId":1,"Status":true,"Caption":"...","Url":"...","Date":"...","Link":"..."}, and in a batch
// "album" with the collection's address last.
std::string JsonLine(const results::ResultRow& row, std::optional<std::string_view> album = std::nullopt);

// A JSON string literal of UTF-8 text, quotes included.
std::string JsonString(std::string_view utf8);

}  // namespace quib::cli
