#pragma once
// The dates the feeds carry, shown the way the result table shows dates ("yyyy-mm-dd hh:mm:ss").
// A date that cannot be read gives an empty text, so the row keeps every other field.
#include <string>
#include <string_view>

namespace quib::collect {

// A count of milliseconds since the Unix epoch, shown in UTC+8: "0" is "1970-01-01 08:00:00".
std::string TudouFeedDate(std::string_view milliseconds);

// An Internet date (RFC 1123, "Tue, 10 Mar 2009 12:30:00 GMT"), shown as the universal time it
// names, without a shift into any local zone.
std::string YoukuFeedDate(std::string_view internetDate);

}  // namespace quib::collect
