// Single-page collection: one video or album page becomes one row, by its site's cut. Text pages
// are fetched; the others are walked element by element in the engine's page-element loader.
#include "collect/collectionengine.h"
#include "host/core/httpconnection.h"
#include "results/memdata.h"
#include "host/core/simpleparser.h"

#include <QPointer>

namespace quib::collect {

using namespace quib::results;

namespace {

// Seconds a single page's transfer may stall.
constexpr int kFetchLimit = 10;

}  // namespace

std::string CollectionEngine::FetchPage(const std::string& url)
{
    THttpConnection connection(m_app.GetNetwork());
    connection.Get(url, kFetchLimit);
    return connection.ResponseText();
}

void CollectionEngine::RunSimpleParser(const std::string& url, TParseData& data, bool runScripts)
{
    WalkSimplePage(url, data, runScripts);
}

bool CollectionEngine::WalkSimplePage(const std::string& url, TParseData& data, bool runScripts)
{
    if (m_simpleParser->Busy())
        return true;  // one walk at a time: a second one finds nothing
    const QPointer<CollectionEngine> alive(this);
    quib::SimpleParser* loader = m_simpleParser;
    m_walkAddress = &url;
    m_walkData = &data;
    loader->SetRunScripts(runScripts);
    loader->Navigate(url);
    if (!alive)
        return false;
    loader->SetRunScripts(false);
    m_walkAddress = nullptr;
    m_walkData = nullptr;
    return true;
}

void CollectionEngine::SimpleParserElement(const HtmlElement& element)
{
    if (m_walkData && m_walkAddress && ApplySimpleParserRules(element, *m_walkAddress, *m_walkData))
        m_simpleParser->Stop();
}

void CollectionEngine::WriteSimpleRow(const std::string& link, int row, RowFields fields)
{
    if (row == kAppend) {
        fields.Link = link;
        AddRow(fields);
        return;
    }
    if (row < 0 || row >= m_data.Count())
        return;
    try {
        m_data.Update(row, fields);
    } catch (...) {
        // As with an append: a row that cannot be stored stays as it was.
    }
}

void CollectionEngine::RunSimpleParserFor(SinglePageParser parser, const std::string& url, int kind, int row)
{
    m_address = url;
    const SiteRecord* site = SiteOfParser(parser);
    if (!site || !site->cutPage)
        return;
    const PageReader reader{[this](const std::string& page) { return FetchPage(page); },
                            [this](const std::string& page, TParseData& data, bool runScripts) {
                                return WalkSimplePage(page, data, runScripts);
                            }};
    // The engine may be gone once the cut returns Nothing after a walk: nothing is touched then.
    const SinglePageRow result = site->cutPage(reader, url, kind, row != kAppend);
    switch (result.kind) {
    case SinglePageRow::Kind::Row: WriteSimpleRow(url, row, result.fields); break;
    case SinglePageRow::Kind::Alert: Alert(result.alert); break;
    case SinglePageRow::Kind::Nothing: break;
    }
}

}  // namespace quib::collect
