#include "collect/resourcehitlist.h"

#include <QTreeWidget>

namespace quib::collect {

void ShowResourceHits(QTreeWidget& list, const ResourceSearch& search, const std::vector<ResourceSite>& sites)
{
    list.clear();
    for (const ResourceHit& hit : search.hits) {
        const ResourceRecord& record = hit.record;
        const QString site = hit.site >= 0 && hit.site < static_cast<int>(sites.size())
                                 ? sites[static_cast<std::size_t>(hit.site)].DisplayName()
                                 : QString();
        auto* item = new QTreeWidgetItem(QStringList{record.name, record.remarks, site, record.time,
                                                     record.SourceNames().join(QStringLiteral(", "))});
        item->setToolTip(0, hit.address);
        list.addTopLevelItem(item);
    }
}

}  // namespace quib::collect
