#pragma once
// The text a copy command writes, built apart from the clipboard so any front end can use it.
#include "results/copylayout.h"

#include <QString>

#include <string>
#include <vector>

namespace quib::results {

class MemData;

// The text a copy writes: the checked rows of `order` (storage indexes, as the grid shows them)
// in the layout, `merge` of them to a line. gone: the table went away during the copy (the walk
// lets the user interface work between rows); nothing is to be used then.
struct CopiedText {
    QString text;
    int copied = 0;
    int withoutAddress = 0;  // left out: the layout writes an address and the row has none
    bool gone = false;
};
CopiedText CopyText(MemData& data, const std::vector<int>& order, CopyLayout layout, const std::string& format,
                    int merge);

}  // namespace quib::results
