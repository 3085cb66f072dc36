#include "results/addresslist.h"

namespace quib::results {

QStringView ItemAddress(QStringView item)
{
    const qsizetype dollar = item.lastIndexOf(u'$');
    return (dollar < 0 ? item : item.mid(dollar + 1)).trimmed();
}

QSet<QString> ListedAddresses(QStringView list)
{
    QSet<QString> addresses;
    qsizetype start = 0;
    // A line break of either kind and "|" both end an item.
    for (qsizetype i = 0; i <= list.size(); ++i) {
        if (i < list.size() && list[i] != u'\r' && list[i] != u'\n' && list[i] != u'|')
            continue;
        const QStringView address = ItemAddress(list.mid(start, i - start));
        if (!address.isEmpty())
            addresses.insert(address.toString());
        start = i + 1;
    }
    return addresses;
}

std::vector<bool> NewAddresses(const QSet<QString>& listed, std::span<const QString> addresses)
{
    std::vector<bool> fresh;
    fresh.reserve(addresses.size());
    QSet<QString> seen;
    for (const QString& address : addresses) {
        const QString key = address.trimmed();
        const bool isNew = !key.isEmpty() && !listed.contains(key) && !seen.contains(key);
        if (isNew)
            seen.insert(key);
        fresh.push_back(isNew);
    }
    return fresh;
}

QString AppendToList(const QString& list, const QString& newItems)
{
    if (newItems.isEmpty())
        return list;
    if (list.trimmed().isEmpty())
        return newItems;
    if (list.endsWith(u'\n') || list.endsWith(u'\r'))
        return list + newItems;
    return list + QStringLiteral("\r\n") + newItems;
}

}  // namespace quib::results
