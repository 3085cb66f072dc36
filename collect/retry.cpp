// Retry: a row collected again from its own page, overwritten in place.
#include "collectionengine.h"
#include "memdata.h"
#include "retryrules.h"

#include <QCoreApplication>
#include <QPointer>

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
    m_data.Freeze();
    // Rows are walked in storage order; a retry never adds or removes one.
    for (int row = 0; row < m_data.Count(); ++row) {
        const ResultRow& current = m_data.Row(row);
        if (current.Status && current.Url.empty()) {
            emit Retrying(row);
            if (!alive)
                return;
            RetryRow(row);
        }
        QCoreApplication::processEvents();
        if (!alive)
            return;
    }
    m_data.Thaw();
}
