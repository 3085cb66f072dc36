#pragma once
// How quib-collect writes a collected row: a tab-separated line or a JSON object, in UTF-8.
#include "resultrow.h"

#include <string>
#include <string_view>

// RecId, Status (1 or 0), Caption, Url, Date, Link, separated by tabs. A tab or line break inside
// a field becomes a blank, so that every row stays one line of six fields.
std::string TsvLine(const ResultRow& row);

// {"RecId":1,"Status":true,"Caption":"...","Url":"...","Date":"...","Link":"..."}
std::string JsonLine(const ResultRow& row);

// A JSON string literal of UTF-8 text, quotes included.
std::string JsonString(std::string_view utf8);
