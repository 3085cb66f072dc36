#include "results/copytext.h"

#include "results/copyjoiner.h"
#include "host/core/gbk.h"
#include "results/memdata.h"
#include "results/rowwalk.h"

namespace quib::results {

namespace {

// The joined GBK text goes into the Unicode text a piece at a time, so a table of a million rows is
// not held whole in both forms.
constexpr std::size_t kCopyPieceBytes = 64 * 1024;

}  // namespace

CopiedText CopyText(MemData& data, const std::vector<int>& order, CopyLayout layout, const std::string& format,
                    int merge)
{
    CopiedText out;
    const bool needsAddress = CopiesAddress(layout, format);
    CopyJoiner joiner(merge);
    const auto convert = [&](bool final) { joiner.DropFront(gbk::AppendUnicode(out.text, joiner.Text(), final)); };
    if (data.Active()) {
        const WalkEnd end = WalkRows(data, order, [&](int row) {
            const ResultRow& item = data.Row(row);
            if (!item.Status)
                return;
            if (needsAddress && item.Url.empty()) {
                ++out.withoutAddress;  // incomplete: left for 自动重采, not written as a broken entry
                return;
            }
            joiner.Add(CopyItem(layout, item, format));
            ++out.copied;
            if (joiner.Text().size() >= kCopyPieceBytes)
                convert(false);
        });
        if (end == WalkEnd::TableGone) {
            out.gone = true;
            return out;
        }
    }
    convert(true);
    out.text.squeeze();
    return out;
}

}  // namespace quib::results
