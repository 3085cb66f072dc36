#include "tools/quibcollect/batchfile.h"

#include <QRegularExpression>

namespace quib::cli {

std::vector<BatchLine> ParseBatch(std::string_view text, const QStringList& sites)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    std::vector<BatchLine> lines;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const QString line = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size())).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList words = line.split(blanks);
        BatchLine entry{number, words.front(), words.size() > 1 ? words[1] : QString(), QString()};
        if (words.size() != 2)
            entry.problem = QStringLiteral("expected \"SITE ADDRESS-OR-ID\", found \"%1\"").arg(line);
        else if (!sites.contains(entry.site))
            entry.problem = QStringLiteral("unknown site \"%1\" (one of %2)").arg(entry.site, sites.join(", "));
        lines.push_back(std::move(entry));
    }
    return lines;
}

}  // namespace quib::cli
