#pragma once
// One collection of quib-collect: the collection engine over a table of its own, the rows in the
// order the collection form's grid shows them, and its messages and album choice answered by the
// command line. No widget: the tool runs on Qt Core alone.
#include "collect/collectionengine.h"
#include "host/core/pagerenderer.h"
#include "results/memdata.h"
#include "results/resultsortproxy.h"

#include <memory>
#include <vector>

namespace quib::cli {

class CliMessages;

class CliCollection {
public:
    // renderer: what runs the pages' scripts for the single-page walk.
    CliCollection(IApp& app, CliMessages& messages, std::unique_ptr<PageRenderer> renderer);

    collect::CollectionEngine& Engine() { return m_engine; }
    results::MemData& Data() { return m_data; }
    // Storage indexes in the grid's order: by ID, as the grid starts.
    std::vector<int> DisplayOrder() const;

private:
    results::MemData m_data;
    // Declared after the table it sorts and before the engine, so it outlives every row signal.
    results::ResultSortProxy m_order;
    collect::CollectionEngine m_engine;
};

}  // namespace quib::cli
