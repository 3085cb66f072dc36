// Single-page collection: one video or album page becomes one row. Text pages are fetched and
// cut here; the others are walked element by element in the engine's page-element loader.
#include "collectionengine.h"
#include "gbk.h"
#include "httpconnection.h"
#include "memdata.h"
#include "simpleparser.h"
#include "simplerules.h"

#include <QPointer>

namespace {

// Seconds a single page's transfer may stall.
constexpr int kFetchLimit = 10;

const QString kNoData = QStringLiteral("无法取得数据！");

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
    ::SimpleParser* loader = m_simpleParser;
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

void CollectionEngine::ParseSimple56(const std::string& url, int kind, int row)
{
    try {
        const std::string body = FetchPage(url);
        if (body.empty()) {
            Alert(kNoData);
            return;
        }
        Wole56Cut cut = Cut56Page(body, kind);
        switch (cut.outcome) {
        case Wole56Cut::Outcome::WrongVideo: Alert(QStringLiteral("错误的视频地址！")); return;
        case Wole56Cut::Outcome::WrongAlbum: Alert(QStringLiteral("错误的专辑视频！")); return;
        case Wole56Cut::Outcome::NeedsWalk: {
            // The page writes its player address by script.
            TParseData data;
            data.Site = "56";
            data.Kind = 0;
            if (!WalkSimplePage(url, data, true))
                return;
            cut.page.Caption = gbk::FromUnicode(data.Caption);
            cut.page.Url = gbk::FromUnicode(data.Url);
            break;
        }
        case Wole56Cut::Outcome::Cut: break;
        }
        RowFields fields;
        if (row == kAppend)
            fields.Caption = cut.page.Caption;
        fields.Url = Strip56Root(cut.page.Url);
        WriteSimpleRow(url, row, fields);
    } catch (const std::exception& e) {
        Alert(QString::fromUtf8(e.what()));
    }
}

void CollectionEngine::ParseSimple6JF(const std::string& url, int kind, int row)
{
    try {
        const std::string body = FetchPage(url);
        if (body.empty()) {
            Alert(kNoData);
            return;
        }
        const SimplePage page = Cut6JFPage(gbk::FromUtf8(body), kind);
        WriteSimpleRow(url, row, RowFields{page.Caption, page.Url, page.Date, {}, {}});
    } catch (const std::exception& e) {
        Alert(QString::fromUtf8(e.what()));
    }
}

void CollectionEngine::ParseSimpleYouku(const std::string& url, int kind, int row)
{
    try {
        const std::string body = FetchPage(url);
        if (body.empty())
            return;
        const SimplePage page = CutYoukuPage(gbk::FromUtf8(body), kind);
        RowFields fields{page.Caption, page.Url, {}, {}, {}};
        // A retry keeps the title it has when the page names none (a playlist's item page).
        if (row != kAppend && page.Caption.empty())
            fields.Caption.reset();
        WriteSimpleRow(url, row, fields);
    } catch (const std::exception& e) {
        Alert(QString::fromUtf8(e.what()));
    }
}

void CollectionEngine::ParseSimpleOuou(const std::string& url, int, int row)
{
    try {
        const std::string body = FetchPage(url);
        if (body.empty()) {
            Alert(kNoData);
            return;
        }
        const SimplePage page = CutOuouPage(gbk::FromUtf8(body), url);
        WriteSimpleRow(url, row, RowFields{page.Caption, page.Url, page.Date, {}, {}});
    } catch (const std::exception& e) {
        Alert(QString::fromUtf8(e.what()));
    }
}

void CollectionEngine::ParseSimpleTudou(const std::string& url, int kind, int row)
{
    TParseData data;
    data.Site = "tudou";
    data.Kind = kind;
    if (!WalkSimplePage(url, data, false))
        return;
    if (!data.Found) {
        Alert(kNoData);
        return;
    }
    WriteSimpleRow(url, row, RowFields{gbk::FromUnicode(data.Caption), gbk::FromUnicode(data.Url), {}, {}, {}});
}

void CollectionEngine::ParseSimpleSina(const std::string& url, int kind, int row)
{
    TParseData data;
    data.Site = "sina";
    data.Kind = kind;
    // The playlist page writes its title by script.
    if (!WalkSimplePage(url, data, kind != 0))
        return;
    if (!data.Found) {
        Alert(kNoData);
        return;
    }
    RowFields fields;
    fields.Url = gbk::FromUnicode(data.Url);
    if (row == kAppend) {
        fields.Caption = gbk::FromUnicode(data.Caption);
        fields.Date = data.Date;
    }
    WriteSimpleRow(url, row, fields);
}
