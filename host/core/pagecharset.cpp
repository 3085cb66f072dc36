#include "host/core/pagecharset.h"

#include "host/core/gbk.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cctype>
#include <optional>

namespace quib {

namespace {

std::string Lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The charset named after "charset=" in text, if any.
std::optional<PageCharset> NamedCharset(std::string_view lowered)
{
    const auto at = lowered.find("charset");
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = lowered.substr(at + 7);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '=' || rest.front() == '"' || rest.front() == '\''))
        rest.remove_prefix(1);
    if (rest.starts_with("utf-8") || rest.starts_with("utf8"))
        return PageCharset::Utf8;
    if (rest.starts_with("gbk") || rest.starts_with("gb2312") || rest.starts_with("gb18030") ||
        rest.starts_with("x-gbk"))
        return PageCharset::Gbk;
    return std::nullopt;
}

std::optional<PageCharset> MetaCharset(std::string_view body)
{
    // Browsers look for the declaration in the first 1024 bytes; pages of the time put it later
    // behind long comments, so look a little further.
    const std::string head = Lower(body.substr(0, 4096));
    for (auto at = head.find("<meta"); at != std::string::npos; at = head.find("<meta", at + 5)) {
        const auto end = head.find('>', at);
        if (const auto named =
                NamedCharset(std::string_view(head).substr(at, end == std::string::npos ? end : end - at)))
            return named;
    }
    return std::nullopt;
}

bool IsValidUtf8(std::string_view bytes)
{
    const QString decoded = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return !decoded.contains(QChar::ReplacementCharacter);
}

}  // namespace

PageCharset DetectPageCharset(std::string_view body, std::string_view contentType)
{
    if (const auto named = NamedCharset(Lower(contentType)))
        return *named;
    if (const auto meta = MetaCharset(body))
        return *meta;
    return IsValidUtf8(body) ? PageCharset::Utf8 : PageCharset::Gbk;
}

std::string PageTextToUtf8(std::string_view body, std::string_view contentType)
{
    if (DetectPageCharset(body, contentType) == PageCharset::Gbk)
        return gbk::ToUtf8(body);
    return std::string(body);
}

}  // namespace quib
