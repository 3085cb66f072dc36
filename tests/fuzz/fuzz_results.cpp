// Bulk edit and copy: the settings and the row come from the input, split at NUL bytes. Every
// edit step keeps the title within its field; the copy text holds every item.
#include "results/bulkedit.h"
#include "results/copyjoiner.h"
#include "results/copylayout.h"
#include "tests/fuzz/fuzzcheck.h"

#include <cstdint>
#include <string>
#include <vector>

using namespace quib;
using namespace quib::results;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const unsigned char flags = data[0];
    const int count = static_cast<signed char>(data[1]);
    const int recId = data[2];
    std::vector<std::string> parts(8);
    std::size_t part = 0;
    for (std::size_t i = 3; i < size; ++i) {
        if (data[i] == 0 && part + 1 < parts.size())
            ++part;
        else
            parts[part] += static_cast<char>(data[i]);
    }
    BulkEditSettings settings;
    settings.oldText = parts[1];
    settings.newText = parts[2];
    settings.cutSide = (flags & 1) ? EditSide::Back : EditSide::Front;
    settings.cutCount = count;
    settings.trim = (flags & 2) != 0;
    settings.marker = parts[3];
    settings.markerSide = (flags & 4) ? EditSide::Back : EditSide::Front;
    settings.format = (flags & 8) ? parts[4] : std::string();
    const std::string title = bulkedit::EditTitle(parts[0], recId, settings, kCaptionSize);
    FUZZ_CHECK(title.size() <= kCaptionSize);

    ResultRow row;
    row.Caption = title;
    row.Url = parts[5].substr(0, kUrlSize);
    row.Date = parts[6].substr(0, kDateSize);
    row.Link = parts[7].substr(0, kLinkSize);
    row.RecId = recId;
    CopyLayout layout;
    if (!CopyLayoutFromInt((flags >> 4) & 3, layout))
        return 0;
    const std::string item = CopyItem(layout, row, parts[4]);
    CopyJoiner joiner((flags >> 6) + 1);
    for (int i = 0; i < 5; ++i)
        joiner.Add(item);
    FUZZ_CHECK(joiner.Text().size() >= 5 * item.size());
    return 0;
}
