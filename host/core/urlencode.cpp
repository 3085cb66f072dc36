#include "host/core/urlencode.h"

namespace quib {

namespace {

bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '~';
}

bool IsAddressSyntax(unsigned char c)
{
    static constexpr std::string_view kSyntax = ":/?#[]@!$&'()*+,;=%";
    return kSyntax.find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::string EncodeURL(std::string_view text, bool forQueryValue)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsUnreserved(c) || (!forQueryValue && IsAddressSyntax(c))) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

}  // namespace quib
