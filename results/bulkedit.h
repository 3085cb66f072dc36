#pragma once
// The title rewrites of bulk edit. Trim, cut and marker count characters (a two-byte GBK
// character is one); replace and pattern work on the bytes.
#include <cstddef>
#include <string>
#include <string_view>

namespace quib::results {

enum class EditSide { Front = 0, Back = 1 };  // 前, 后

struct BulkEditSettings {
    std::string oldText, newText;        // replace the first occurrence, ignoring case
    EditSide cutSide = EditSide::Front;  // cut `cutCount` characters at this end
    int cutCount = 0;
    bool trim = false;   // drop leading and trailing codes <= 32
    std::string marker;  // keep from the marker on (前) or up to its first character (后)
    EditSide markerSide = EditSide::Front;
    std::string format;  // rebuild from a pattern with <title> and <id>
};

namespace bulkedit {

std::string Trim(std::string_view title);
std::string Cut(std::string_view title, EditSide side, int count);
std::string KeepByMarker(std::string_view title, std::string_view marker, EditSide side);
std::string ReplaceFirst(std::string_view title, std::string_view oldText, std::string_view newText);
std::string ApplyPattern(std::string_view pattern, std::string_view title, int recId);

// The five steps in their fixed order, skipping those not asked for. Each step's result is cut
// to `fieldSize` bytes, as storing it in the row between the steps would.
std::string EditTitle(std::string_view title, int recId, const BulkEditSettings& settings, std::size_t fieldSize);

}  // namespace bulkedit

}  // namespace quib::results
