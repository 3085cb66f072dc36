#include "admin/cmsfill.h"

#include <array>

namespace quib::admin {

std::size_t GbkCharBytes(std::string_view text, std::size_t pos)
{
    if (pos + 1 >= text.size())
        return 1;
    const auto lead = static_cast<unsigned char>(text[pos]);
    const auto trail = static_cast<unsigned char>(text[pos + 1]);
    return lead >= 0x81 && lead <= 0xfe && trail >= 0x40 && trail <= 0xfe && trail != 0x7f ? 2 : 1;
}

std::size_t FindGbkChar(std::string_view text, char c)
{
    for (std::size_t pos = 0; pos < text.size(); pos += GbkCharBytes(text, pos))
        if (text[pos] == c)
            return pos;
    return std::string_view::npos;
}

std::string ParseTargetAddress(std::string_view number, std::string_view albumField)
{
    const std::size_t bar = FindGbkChar(albumField, '|');
    if (bar == std::string_view::npos)
        return std::string(albumField);
    if (number == "1")
        return std::string(albumField.substr(0, bar));
    return std::string(albumField.substr(bar + 1));
}

std::string MergeAlbumId(std::string_view albumField, std::string_view albumId, FillTarget target)
{
    const std::size_t bar = FindGbkChar(albumField, '|');
    if (target == FillTarget::Address1)
        return std::string(albumId) +
               (bar == std::string_view::npos ? std::string() : std::string(albumField.substr(bar)));
    if (bar == std::string_view::npos)
        return std::string(albumField) + "|" + std::string(albumId);
    return std::string(albumField.substr(0, bar + 1)) + std::string(albumId);
}

const std::string& PasteScript(FillTarget target)
{
    static const std::string p1 = R"(try{document.form2.zt_url.value=window.clipboardData.getData("text");}catch(e){})";
    static const std::string p2 =
        R"(try{document.form2.zt_url1.value=window.clipboardData.getData("text");}catch(e){})";
    return target == FillTarget::Address1 ? p1 : p2;
}

const std::string& AlbumFieldCheckScript()
{
    // The element the value is read from and written to: all("zt_dq", 0).
    static const std::string script =
        "var e=document.all.namedItem(\"zt_dq\");if(e instanceof HTMLCollection)e=e[0];"
        "if(!e||e.tagName!=\"INPUT\")throw new Error(\"zt_dq\");";
    return script;
}

const char* AddressListField(FillTarget target) { return target == FillTarget::Address1 ? "zt_url" : "zt_url1"; }

const char* PlayerTypeField(FillTarget target) { return target == FillTarget::Address1 ? "zt_dy" : "zt_dy1"; }

std::optional<PlayerType> PlayerTypeFor(std::string_view version, std::string_view siteWord)
{
    struct Row {
        const char* word;
        std::array<const char*, 4> types;  // "3.1", "4.x", "5.0", "6.0"; null: no entry
    };
    static constexpr Row kRows[] = {
        {"tudou", {"tudou2", "tudou", "tudou", "tudou"}},
        {"youku", {"youku2", "youku", "youku", "youku"}},
        {"56", {"56", "56", "56", "56"}},
        {"6", {"6rooms", "6rooms", "6rooms", "6rooms"}},
        {"ouou", {"ouou", "ouou", "ouou", "ouou"}},
        {"sina", {nullptr, "iask", "iask", "iask"}},
        {"iask", {"iask", nullptr, nullptr, nullptr}},
    };
    static constexpr std::array<const char*, 4> kVersions = {"3.1", "4.x", "5.0", "6.0"};
    std::size_t column = kVersions.size();
    for (std::size_t i = 0; i < kVersions.size(); ++i)
        if (version == kVersions[i])
            column = i;
    if (column == kVersions.size())
        return std::nullopt;
    for (const Row& row : kRows) {
        if (siteWord != row.word)
            continue;
        if (!row.types[column])
            return std::nullopt;
        return PlayerType{row.types[column], column < 2 ? PlayerType::Field::Input : PlayerType::Field::Select};
    }
    return std::nullopt;
}

std::string PlayerTypeScript(std::string_view field, const PlayerType& type)
{
    // Field names and player types are fixed words of the program, with nothing to escape.
    return "try{var e=document.getElementsByName(\"" + std::string(field) + "\")[0];if(e.tagName==\"" +
           (type.field == PlayerType::Field::Select ? "SELECT" : "INPUT") + "\")e.value=\"" + type.value +
           "\";}catch(e){}";
}

std::optional<std::string_view> EngineSiteForWord(std::string_view word)
{
    const auto contains = [word](std::string_view part) { return word.find(part) != std::string_view::npos; };
    // The engine's site keys (sitekey:: of the collection engine).
    if (contains("tudou"))
        return "tudou";
    if (contains("youku"))
        return "youku";
    if (word == "56")
        return "56";
    if (contains("6"))
        return "6jf";
    if (word == "ouou")
        return "ouou";
    if (word == "sina")
        return "sina";
    if (word == "iask")
        return "sina";
    if (contains("xunlei"))
        return "xunlei";
    return std::nullopt;
}

}  // namespace quib::admin
