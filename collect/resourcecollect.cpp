// Resource-site collection: the record's answer, the choice of its play source, and that source's
// episodes as rows.
#include "collect/collectionengine.h"
#include "collect/resourceparse.h"
#include "collect/resourcerows.h"
#include "host/core/gbk.h"

#include <QPointer>

namespace quib::collect {

using namespace quib::results;

void CollectionEngine::ParseResourceRecord(const std::string& url, const std::string&, int index)
{
    const std::optional<ResourceAddress> address = ParseResourceAddress(gbk::ToUnicode(m_collectId));
    if (!address) {
        m_lastEnd = EndKind::Failed;
        Alert(QStringLiteral("无法解析资源站的影片地址（应为 基础地址?ac=detail&ids=编号 或 基础地址#编号）"));
        EndProcess();
        return;
    }
    StartWorker<TResourceRecordParse>(url, address->id.toStdString(), index, &CollectionEngine::GetPlainUrl,
                                      &CollectionEngine::ParseResourceRecordEnd);
}

int CollectionEngine::ChooseResourceSource(const QString& base, const ResourceRecord& record)
{
    if (!m_source.isEmpty()) {
        const int named = ResourceSourceIndex(record, m_source);
        if (named < 0)
            Alert(QStringLiteral("《%1》没有播放源 %2（有：%3）")
                      .arg(record.name, m_source, record.SourceNames().join(QStringLiteral("、"))));
        return named;
    }
    if (record.sources.size() == 1)
        return 0;
    // A copy: the chooser's owner may go, and this engine with it, while the choice is open.
    const SourceChooser chooser = m_sourceChooser;
    return chooser ? chooser(base, record) : 0;
}

void CollectionEngine::ParseResourceRecordEnd(TPageParse& thread)
{
    const auto& worker = static_cast<const TResourceRecordParse&>(thread);
    if (!worker.Warnings().isEmpty())
        m_app.WriteLog(QStringLiteral("资源站的回答有问题"), worker.Warnings().join(u'\n'),
                       gbk::ToUnicode(m_collectId));
    const std::optional<ResourceRecord>& record = worker.Record();
    if (!record) {
        EndProcess();  // the failure, if any, was reported
        return;
    }
    if (record->sources.empty()) {
        Info(QStringLiteral("《%1》没有可采集的剧集").arg(record->name));
        EndProcess();
        return;
    }
    const std::optional<ResourceAddress> address = ParseResourceAddress(gbk::ToUnicode(m_collectId));
    const QPointer<CollectionEngine> alive(this);
    const int source = ChooseResourceSource(address ? address->base : QString(), *record);
    if (!alive)
        return;  // the form went away while the chooser was open
    int tooLong = 0;
    for (RowFields& row : ResourceEpisodeRows(*record, source, &tooLong))
        AddRow(std::move(row));
    if (tooLong > 0)
        Alert(ResourceTooLongNote(tooLong));
    EndProcess();
}

}  // namespace quib::collect
