#pragma once
// quib-collect's batch file: one collection a line, "SITE ADDRESS-OR-ID", in UTF-8. Blank lines and
// lines whose first non-blank character is '#' are skipped; a '#' later in a line is part of the
// address (Sina's album addresses carry one).
#include <QString>
#include <QStringList>

#include <string_view>
#include <vector>

namespace quib::cli {

struct BatchLine {
    int number = 0;  // 1-based line number in the file
    QString site;
    QString address;
    QString problem;  // why the line cannot be collected; empty for a good line
};

// The lines to collect, in file order; a malformed line is kept with its problem, so that it can be
// reported in its place while the others still run.
std::vector<BatchLine> ParseBatch(std::string_view text, const QStringList& sites);

}  // namespace quib::cli
