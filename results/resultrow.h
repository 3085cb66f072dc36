#pragma once
// One collected video as the result table stores it. Texts are GBK bytes; sizes are in bytes,
// so a Chinese character takes two.
#include <cstddef>
#include <optional>
#include <string>

namespace quib::results {

// Url is the value the CMS needs (a play address, a player address or a video ID), not always an
// address; Link is the video's page; Status is the check mark.
struct ResultRow {
    int RecId = 0;
    bool Status = true;
    std::string Caption, Url, Date, Link;
};

inline constexpr std::size_t kCaptionSize = 100, kUrlSize = 255, kDateSize = 20, kLinkSize = 255;

// Grid positions; other commands also read a grid row's values by these indexes.
enum ResultColumn { ColStatus = 0, ColId = 1, ColCaption = 2, ColUrl = 3, ColDate = 4, ColLink = 5 };
inline constexpr int kResultColumnCount = 6;

// Fields for an append or an update: only the engaged ones are assigned.
struct RowFields {
    std::optional<std::string> Caption, Url, Date, Link;
    std::optional<bool> Status;
};

}  // namespace quib::results
