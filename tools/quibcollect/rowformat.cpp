#include "tools/quibcollect/rowformat.h"

#include "host/core/gbk.h"

#include <cstdio>

namespace quib::cli {

using namespace quib::results;

namespace {

std::string TsvText(std::string text)
{
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

std::string TsvField(std::string_view gbkText) { return TsvText(gbk::ToUtf8(gbkText)); }

}  // namespace

std::string TsvLine(const ResultRow& row, std::optional<std::string_view> album)
{
    std::string line = std::to_string(row.RecId) + '\t' + (row.Status ? "1" : "0") + '\t' + TsvField(row.Caption) +
                       '\t' + TsvField(row.Url) + '\t' + TsvField(row.Date) + '\t' + TsvField(row.Link);
    if (album)
        line += '\t' + TsvText(std::string(*album));
    return line;
}

std::string JsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + '"';
}

std::string JsonLine(const ResultRow& row, std::optional<std::string_view> album)
{
    return "{\"RecId\":" + std::to_string(row.RecId) + ",\"Status\":" + (row.Status ? "true" : "false") +
           ",\"Caption\":" + JsonString(gbk::ToUtf8(row.Caption)) + ",\"Url\":" + JsonString(gbk::ToUtf8(row.Url)) +
           ",\"Date\":" + JsonString(gbk::ToUtf8(row.Date)) + ",\"Link\":" + JsonString(gbk::ToUtf8(row.Link)) +
           (album ? ",\"album\":" + JsonString(*album) : std::string()) + "}";
}

}  // namespace quib::cli
