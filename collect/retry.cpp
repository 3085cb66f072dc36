// Retry: a row collected again from its own page, overwritten in place.
#include "collect/collectionengine.h"
#include "results/memdata.h"
#include "collect/retryrules.h"

#include <QCoreApplication>
#include <QPointer>

namespace quib::collect {

using namespace quib::results;

void CollectionEngine::RetryRow(int row)
{
    if (row < 0 || row >= m_data.Count())
        return;
    const std::string link = m_data.Row(row).Link;
    if (const std::optional<RetryTarget> target = RetryTargetOf(link))
        RunSimpleParserFor(target->parser, link, target->kind, row);
}

void CollectionEngine::AutoRetry()
{
    if (!m_data.Active())
        return;
    const QPointer<CollectionEngine> alive(this);
    int wanting = 0, unknownLink = 0, filled = 0;
    m_data.Freeze();
    // Rows are walked in storage order; a retry never adds or removes one.
    for (int row = 0; row < m_data.Count(); ++row) {
        const ResultRow& current = m_data.Row(row);
        if (current.Status && current.Url.empty()) {
            ++wanting;
            if (!RetryTargetOf(current.Link)) {
                ++unknownLink;
            } else {
                emit Retrying(row);
                if (!alive)
                    return;
                RetryRow(row);
                if (!alive)
                    return;
                if (row < m_data.Count() && !m_data.Row(row).Url.empty())
                    ++filled;
            }
        }
        QCoreApplication::processEvents();
        if (!alive)
            return;
    }
    m_data.Thaw();
    // Said every time: a retry that found nothing to do, or could not do it, must not look like
    // one that did.
    if (wanting == 0) {
        Info(QStringLiteral("自动重采：没有已勾选而无地址的行"));
        return;
    }
    QString summary = QStringLiteral("自动重采：%1 条无地址，重采成功 %2 条").arg(wanting).arg(filled);
    if (const int stillEmpty = wanting - unknownLink - filled; stillEmpty > 0)
        summary += QStringLiteral("，仍无地址 %1 条").arg(stillEmpty);
    if (unknownLink > 0)
        summary += QStringLiteral("，%1 条的链接无法重采").arg(unknownLink);
    Info(summary);
}

}  // namespace quib::collect
