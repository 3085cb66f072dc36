#include "tools/quibcollect/clicollection.h"

#include "host/core/simpleparser.h"
#include "tools/quibcollect/climessages.h"

namespace quib::cli {

using namespace quib::collect;
using namespace quib::results;

CliCollection::CliCollection(IApp& app, CliMessages& messages, std::unique_ptr<PageRenderer> renderer)
    : m_order(m_data), m_engine(app, m_data)
{
    m_order.sort(ColId, Qt::AscendingOrder);
    m_engine.Loader().SetRenderer(std::move(renderer));
    // The rows are announced once, at the end, as the grid has them while a collection runs.
    QObject::connect(&m_engine, &CollectionEngine::Started, &m_engine, [this] { m_data.Freeze(); });
    QObject::connect(&m_engine, &CollectionEngine::Ended, &m_engine, [this] { m_data.Thaw(); });
    QObject::connect(&m_engine, &CollectionEngine::Message, &m_engine,
                     [&app](CollectionEngine::MessageKind kind, const QString& text) {
                         if (kind == CollectionEngine::MessageKind::Info)
                             app.GetMessages().Info(text);
                         else
                             app.GetMessages().Alert(text);
                     });
    m_engine.SetAlbumChooser([&messages](const std::vector<QString>& lines) { return messages.ChooseAlbum(lines); });
}

std::vector<int> CliCollection::DisplayOrder() const
{
    const int rows = m_order.rowCount();
    std::vector<int> order;
    order.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row)
        order.push_back(m_order.mapToSource(m_order.index(row, 0)).row());
    return order;
}

}  // namespace quib::cli
