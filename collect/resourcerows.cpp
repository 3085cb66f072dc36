#include "collect/resourcerows.h"

#include "host/core/gbk.h"

#include <algorithm>

namespace quib::collect {

using namespace quib::results;

namespace {

bool OnlyDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

}  // namespace

QString ResourceEpisodeTitle(const QString& series, const QString& episode)
{
    if (series.isEmpty())
        return episode;
    if (episode.isEmpty())
        return series;
    if (!OnlyDigits(episode))
        return episode;
    // A bare number of up to four digits counts episodes; a longer one is a date (variety shows),
    // which only gets the series in front.
    if (episode.size() <= 4)
        return series + QStringLiteral(" 第") + episode + u'集';
    return series + u' ' + episode;
}

int ResourceSourceIndex(const ResourceRecord& record, const QString& name)
{
    for (std::size_t i = 0; i < record.sources.size(); ++i)
        if (record.sources[i].name == name)
            return static_cast<int>(i);
    return -1;
}

QString ResourceTooLongNote(int tooLong)
{
    return QStringLiteral("%1 个剧集的地址超过 %2 字节，表格存不下，已跳过").arg(tooLong).arg(kUrlSize);
}

std::vector<RowFields> ResourceEpisodeRows(const ResourceRecord& record, int source, int* tooLong)
{
    std::vector<RowFields> rows;
    if (source < 0 || source >= static_cast<int>(record.sources.size()))
        return rows;
    const std::string date = gbk::FromUnicode(record.time);
    const auto& episodes = record.sources[static_cast<std::size_t>(source)].episodes;
    rows.reserve(episodes.size());
    for (const ResourceEpisode& episode : episodes) {
        if (episode.address.isEmpty())
            continue;
        std::string url = gbk::FromUnicode(episode.address);
        if (url.size() > kUrlSize) {
            if (tooLong)
                ++*tooLong;
            continue;
        }
        RowFields row;
        row.Caption = gbk::FromUnicode(ResourceEpisodeTitle(record.name, episode.name));
        row.Url = std::move(url);
        row.Date = date;
        row.Link = std::string();
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace quib::collect
