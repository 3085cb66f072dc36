// Single-page collection: one video or album page becomes one row. Text pages are fetched and
// cut here; the others are walked element by element in the form's SimpleParser.
#include "dataview.h"
#include "gbk.h"
#include "httpconnection.h"
#include "memdata.h"
#include "messageservice.h"
#include "parse.h"
#include "simpleparser.h"
#include "simplerules.h"

#include <QPointer>

namespace {

// Seconds a single page's transfer may stall.
constexpr int kFetchLimit = 10;

const QString kNoData = QStringLiteral("无法取得数据！");

std::string FetchPage(IApp& app, const std::string& url)
{
    THttpConnection connection(app.GetNetwork());
    connection.Get(url, kFetchLimit);
    return connection.ResponseText();
}

void AlertFailure(IApp& app, const std::exception& e) { app.GetMessages().Alert(QString::fromUtf8(e.what())); }

}  // namespace

void TParseForm::SetUpSimpleParser()
{
    SimpleParser = new ::SimpleParser(App->GetNetwork(), this);
    SimpleParser->SetOnElement([this](const HtmlElement& element) { SimpleParserElement(element); });
}

void TParseForm::RequestStop()
{
    StopRequested.Set();
    if (SimpleParser && SimpleParser->Busy())
        SimpleParser->Stop();
}

void TParseForm::RunSimpleParser(const std::string& url, TParseData& data, bool runScripts)
{
    WalkSimplePage(url, data, runScripts);
}

bool TParseForm::WalkSimplePage(const std::string& url, TParseData& data, bool runScripts)
{
    if (!SimpleParser || SimpleParser->Busy())
        return true;  // one walk at a time: a second one finds nothing
    const QPointer<TParseForm> alive(this);
    ::SimpleParser* loader = SimpleParser;
    walkAddress_ = &url;
    walkData_ = &data;
    loader->SetRunScripts(runScripts);
    loader->Navigate(url);
    if (!alive)
        return false;
    loader->SetRunScripts(false);
    walkAddress_ = nullptr;
    walkData_ = nullptr;
    return true;
}

void TParseForm::SimpleParserElement(const HtmlElement& element)
{
    if (walkData_ && walkAddress_ && ApplySimpleParserRules(element, *walkAddress_, *walkData_))
        SimpleParser->Stop();
}

void TParseForm::WriteSimpleRow(const std::string& link, bool append, RowFields fields)
{
    if (append) {
        fields.Link = link;
        AppendRow(fields);
        return;
    }
    const int row = View().FocusedRow();
    if (row < 0 || row >= Data().Count())
        return;
    try {
        Data().Update(row, fields);
    } catch (...) {
        // As with an append: a row that cannot be stored stays as it was.
    }
}

void TParseForm::ParseSimple56(const std::string& url, int kind, bool append)
{
    try {
        const std::string body = FetchPage(*App, url);
        if (body.empty()) {
            App->GetMessages().Alert(kNoData);
            return;
        }
        Wole56Cut cut = Cut56Page(body, kind);
        switch (cut.outcome) {
        case Wole56Cut::Outcome::WrongVideo: App->GetMessages().Alert(QStringLiteral("错误的视频地址！")); return;
        case Wole56Cut::Outcome::WrongAlbum: App->GetMessages().Alert(QStringLiteral("错误的专辑视频！")); return;
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
        if (append)
            fields.Caption = cut.page.Caption;
        fields.Url = Strip56Root(cut.page.Url);
        WriteSimpleRow(url, append, fields);
    } catch (const std::exception& e) {
        AlertFailure(*App, e);
    }
}

void TParseForm::ParseSimple6JF(const std::string& url, int kind, bool append)
{
    try {
        const std::string body = FetchPage(*App, url);
        if (body.empty()) {
            App->GetMessages().Alert(kNoData);
            return;
        }
        const SimplePage page = Cut6JFPage(gbk::FromUtf8(body), kind);
        WriteSimpleRow(url, append, RowFields{page.Caption, page.Url, page.Date, {}, {}});
    } catch (const std::exception& e) {
        AlertFailure(*App, e);
    }
}

void TParseForm::ParseSimpleYouku(const std::string& url, int kind, bool append)
{
    try {
        const std::string body = FetchPage(*App, url);
        if (body.empty())
            return;
        const SimplePage page = CutYoukuPage(gbk::FromUtf8(body), kind);
        WriteSimpleRow(url, append, RowFields{page.Caption, page.Url, {}, {}, {}});
    } catch (const std::exception& e) {
        AlertFailure(*App, e);
    }
}

void TParseForm::ParseSimpleOuou(const std::string& url, int, bool append)
{
    try {
        const std::string body = FetchPage(*App, url);
        if (body.empty()) {
            App->GetMessages().Alert(kNoData);
            return;
        }
        const SimplePage page = CutOuouPage(gbk::FromUtf8(body), url);
        WriteSimpleRow(url, append, RowFields{page.Caption, page.Url, page.Date, {}, {}});
    } catch (const std::exception& e) {
        AlertFailure(*App, e);
    }
}

void TParseForm::ParseSimpleTudou(const std::string& url, int kind, bool append)
{
    TParseData data;
    data.Site = "tudou";
    data.Kind = kind;
    if (!WalkSimplePage(url, data, false))
        return;
    if (!data.Found) {
        App->GetMessages().Alert(kNoData);
        return;
    }
    WriteSimpleRow(url, append, RowFields{gbk::FromUnicode(data.Caption), gbk::FromUnicode(data.Url), {}, {}, {}});
}

void TParseForm::ParseSimpleSina(const std::string& url, int kind, bool append)
{
    TParseData data;
    data.Site = "sina";
    data.Kind = kind;
    // The playlist page writes its title by script.
    if (!WalkSimplePage(url, data, kind != 0))
        return;
    if (!data.Found) {
        App->GetMessages().Alert(kNoData);
        return;
    }
    RowFields fields;
    fields.Url = gbk::FromUnicode(data.Url);
    if (append) {
        fields.Caption = gbk::FromUnicode(data.Caption);
        fields.Date = data.Date;
    }
    WriteSimpleRow(url, append, fields);
}
