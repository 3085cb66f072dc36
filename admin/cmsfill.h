#pragma once
// How a collection reaches the CMS film form: which part of the album field a "parse" call
// collects, how the returned album identifier is merged back into that field, the scripts that
// paste the copied list, and the player-type value each site word gets per CMS version. Plain
// rules, free of the browser; text is GBK.
#include <optional>
#include <string>
#include <string_view>

namespace quib::admin {

// Where the result goes: data address 1 (zt_url, zt_dy) or 2 (zt_url1, zt_dy1).
enum class FillTarget { Address1, Address2 };

// The album field holds address 1 and address 2 joined by "|"; "1" collects the part before
// the first "|", any other number the part after it; without "|" the whole value.
std::string ParseTargetAddress(std::string_view number, std::string_view albumField);

// The album field after a collection for target: the identifier replaces that target's part.
std::string MergeAlbumId(std::string_view albumField, std::string_view albumId, FillTarget target);

// The page script that pastes the clipboard into the target's address list (runs as it stands).
// P1 for address 1, P2 for address 2.
const std::string& PasteScript(FillTarget target);
// A page script that throws unless the album field (the first element named "zt_dq") is an
// input element: a text area or a list of that name is not the album field the merge is for.
const std::string& AlbumFieldCheckScript();
// The name of the target's address list, the field its paste script writes.
const char* AddressListField(FillTarget target);
// The name of the target's player-type field.
const char* PlayerTypeField(FillTarget target);

struct PlayerType {
    enum class Field { Input, Select };
    std::string value;
    Field field = Field::Input;
    friend bool operator==(const PlayerType&, const PlayerType&) = default;
};
// The player type a site word of a search-result link is written as, for a CMS version; none when
// the version has no entry for it or is none of "3.1", "4.x", "5.0", "6.0".
std::optional<PlayerType> PlayerTypeFor(std::string_view version, std::string_view siteWord);

// The page script that writes a player type into the field of that name: the first element of
// the name, and only when it is of the kind the version has (a text input or a list); any other
// element is left alone.
std::string PlayerTypeScript(std::string_view field, const PlayerType& type);

// The collection engine's site key for a site word or a CMS player type, by the first rule that
// holds ("tudou2" is Tudou, "56" is 56 before "6" is 6rooms, "iask" is Sina); none leaves the
// engine's own choice.
std::optional<std::string_view> EngineSiteForWord(std::string_view word);

// Bytes of the GBK character at pos: 2 for a lead byte followed by a valid second byte, else 1.
std::size_t GbkCharBytes(std::string_view text, std::size_t pos);
// Position of the first c in GBK text that is a character of its own, never the second byte of
// a two-byte character ("|" and "\" are both possible second bytes); npos when there is none.
std::size_t FindGbkChar(std::string_view text, char c);

}  // namespace quib::admin
