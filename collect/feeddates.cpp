#include "collect/feeddates.h"

#include <curl/curl.h>

#include <charconv>
#include <ctime>
#include <limits>

namespace quib::collect {

namespace {

constexpr long long kUtc8Offset = 8 * 3600;
// The years the table's date-and-time type can hold.
constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

std::string FormatUtc(long long seconds)
{
    if (seconds < std::numeric_limits<std::time_t>::min() || seconds > std::numeric_limits<std::time_t>::max())
        return {};
    const std::time_t moment = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (!gmtime_r(&moment, &parts))
        return {};
    const int year = parts.tm_year + 1900;
    if (year < kFirstYear || year > kLastYear)
        return {};
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return std::string(text, length);
}

}  // namespace

std::string TudouFeedDate(std::string_view milliseconds)
{
    long long value = 0;
    const char* const end = milliseconds.data() + milliseconds.size();
    const auto [stop, error] = std::from_chars(milliseconds.data(), end, value);
    if (milliseconds.empty() || error != std::errc() || stop != end)
        return {};
    // Integer division truncates toward zero, as the whole-second cut of the feed time does.
    return FormatUtc(value / 1000 + kUtc8Offset);
}

std::string YoukuFeedDate(std::string_view internetDate)
{
    const std::string text(internetDate);
    if (text.empty())
        return {};
    const std::time_t moment = curl_getdate(text.c_str(), nullptr);
    // curl answers -1 for text it cannot read (at the price of the last second of 1969).
    if (moment == -1)
        return {};
    return FormatUtc(moment);
}

}  // namespace quib::collect
