#include "collect/simplerules.h"

#include "host/core/gbk.h"
#include "collect/sitehosts.h"
#include "collect/textcursor.h"

#include <QStringView>

namespace quib::collect {

namespace {

// Markers are written here in UTF-8 and cut from GBK text.
std::string G(std::string_view utf8) { return gbk::FromUtf8(utf8); }

QString Wide(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// Blanks and control characters off both ends, as the text cuts trim.
QString TrimWide(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first).toString();
}

// The text after the first marker; empty when it does not occur.
QString After(const QString& text, QStringView marker)
{
    const qsizetype at = text.indexOf(marker);
    return at < 0 ? QString() : text.mid(at + marker.size());
}

// The text before the first marker; empty when it does not occur.
QString Before(const QString& text, QStringView marker)
{
    const qsizetype at = text.indexOf(marker);
    return at < 0 ? QString() : text.left(at);
}

// count characters of GBK text from the cursor on.
std::string TakeChars(const TextCursor& cursor, std::size_t count)
{
    const std::string_view rest = cursor.Rest();
    std::size_t bytes = 0;
    for (std::size_t chars = 0; chars < count && bytes < rest.size(); ++chars)
        bytes += gbk::CharBytes(rest, bytes);
    return std::string(rest.substr(0, std::min(bytes, rest.size())));
}

// "take N from M": the N characters where M first occurs; empty when it does not.
std::string TakeFrom(const TextCursor& cursor, std::string_view marker, std::size_t count)
{
    const std::size_t at = cursor.Find(marker);
    if (at == std::string_view::npos)
        return {};
    TextCursor from{cursor.Rest().substr(at)};
    return TakeChars(from, count);
}

void TudouRules(const HtmlElement& element, const std::string& address, TParseData& data)
{
    const std::string tag = element.TagName();
    if (data.Kind == 0) {
        if (tag == "TITLE") {
            data.Caption = TrimWide(Before(Wide(element.InnerText()), u" -"));
        } else if (tag == "SCRIPT") {
            const QString script = Wide(element.InnerHtml());
            if (script.contains(u"iid=")) {
                data.Url = Before(After(script, u"iid="), u",");
                data.Found = true;
            }
        }
        return;
    }
    if (tag != "A")
        return;
    const auto href = element.Attribute("href");
    if (!href || *href != gbk::ToUtf8(EncodeUrl(address)))
        return;
    data.Caption = TrimWide(QStringView(Wide(element.Attribute("title").value_or(std::string()))).mid(2));
    const QString link = Wide(*href);
    data.Url = After(link, u"iid=").left(10);
    data.Found = true;
}

void WoleRules(const HtmlElement& element, TParseData& data)
{
    if (data.Kind != 0)
        return;
    const std::string tag = element.TagName();
    if (tag == "H1") {
        data.Caption = TrimWide(Wide(element.InnerText()));
    } else if (tag == "INPUT" && element.Id() == "input_swf_html") {
        data.Url = Before(Wide(element.Attribute("value").value_or(std::string())), u".swf");
        data.Found = true;
    }
}

void SinaRules(const HtmlElement& element, const std::string& address, TParseData& data)
{
    if (data.Kind == 0) {
        const std::string tag = element.TagName();
        if (tag == "H1" && element.ClassName() == "fleft") {
            data.Caption = TrimWide(Wide(element.InnerText()));
        } else if (tag == "SPAN" && element.ClassName() == "fright") {
            data.Date = gbk::FromUnicode(TrimWide(Wide(element.InnerText())).mid(5, 10));
            QString url = After(gbk::ToUnicode(address), u"/b/");
            if (const qsizetype dash = url.indexOf(u'-'); dash >= 0)
                url.replace(dash, 1, QStringLiteral("&uid="));
            if (const qsizetype html = url.indexOf(u".html"); html >= 0)
                url.remove(html, 5);
            data.Url = url;
            data.Found = true;
        }
        return;
    }
    if (element.Id() != "list_title")
        return;
    data.Caption = TrimWide(Wide(element.InnerText())).mid(5).left(255);
    data.Date.clear();
    const QString user = After(gbk::ToUnicode(address), u"uid=");
    const qsizetype hash = user.indexOf(u'#');
    const QString userId = hash < 0 ? QString() : user.left(hash);
    const QString videoId = hash < 0 ? QString() : user.mid(hash + 1, 10);
    data.Url = videoId + QStringLiteral("&uid=") + userId;
    data.Found = true;
}

void SixRoomsRules(const HtmlElement& element, TParseData& data)
{
    const std::string tag = element.TagName();
    if (tag == "H4") {
        data.Caption = TrimWide(Wide(element.InnerText()));
    } else if (tag == "SCRIPT") {
        const QString script = Wide(element.InnerHtml());
        constexpr QStringView marker = u"pageMessage.evid = '";
        if (script.contains(marker)) {
            data.Url = Before(After(script, marker), u"'");
            data.Found = true;
        }
    }
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

}  // namespace

std::string EncodeUrl(std::string_view text)
{
    std::string out(text);
    ReplaceAll(out, "&amp;", "&");
    ReplaceAll(out, "&lt;", "<");
    ReplaceAll(out, "&gt;", ">");
    ReplaceAll(out, "&apos;", "'");
    ReplaceAll(out, "&quot;", "\"");
    return out;
}

bool ApplySimpleParserRules(const HtmlElement& element, const std::string& address, TParseData& data)
{
    // The address is converted only by the rules that read it: most elements match no rule.
    if (data.Site == "tudou")
        TudouRules(element, address, data);
    else if (data.Site == "56")
        WoleRules(element, data);
    else if (data.Site == "sina")
        SinaRules(element, address, data);
    else if (data.Site == "6")
        SixRoomsRules(element, data);
    return data.Found;
}

WoleCut CutWolePage(const std::string& body, int kind)
{
    WoleCut cut;
    TextCursor page(body);
    if (kind == 0) {
        if (page.Contains("id=\"input_page_url\"")) {
            page.SkipPast("<h1>");
            page.SkipPast("</div>");
            cut.page.Caption = page.TextBefore("</h1>");
            TextCursor input(TakeFrom(page, "id=\"input_page_url\"", 1000));
            input.SkipPast("value=\"");
            cut.page.Url = input.TextBefore(".swf");
        } else if (page.Contains("id=\"input_swf_html\"")) {
            cut.outcome = WoleCut::Outcome::NeedsWalk;
        } else {
            cut.outcome = WoleCut::Outcome::WrongVideo;
        }
        return cut;
    }
    if (!page.Contains("id=\"flashurl\"")) {
        cut.outcome = WoleCut::Outcome::WrongAlbum;
        return cut;
    }
    // The title is read from a copy: a page without it (an album's item page) still names its player.
    TextCursor title(body);
    title.SkipPast(G("<h2 class=\"Vt\">视频："));
    cut.page.Caption = title.TextBefore("&nbsp;");
    TextCursor input(TakeFrom(page, "id=\"flashurl\"", 1000));
    input.SkipPast("value=\"");
    cut.page.Url = input.TextBefore(".swf");
    return cut;
}

std::string StripWoleRoot(const std::string& address)
{
    const std::string root = std::string(sitehosts::kWoleRoot) + "/";
    return address.find(root) != std::string::npos ? address.substr(std::min(root.size(), address.size())) : address;
}

SimplePage CutSixRoomsPage(const std::string& body, int kind)
{
    SimplePage out;
    TextCursor page(body);
    if (kind == 0) {
        page.SkipPast("<h2>");
        out.Caption = page.TextBefore("</h2>");
        page.SkipPast("pageMessage.evid = '");
        out.Url = page.TextBefore("'");
        page.SkipPast(G("&nbsp; 上传于"));
        out.Date = Trim(page.TextBefore("</li>"));
    } else {
        page.SkipPast("<h4>");
        out.Caption = page.TextBefore("</h4>");
        page.SkipPast("pageMessage.evid = '");
        out.Url = page.TextBefore("'");
    }
    return out;
}

SimplePage CutYoukuPage(const std::string& body, int kind)
{
    SimplePage out;
    TextCursor page(body);
    if (kind == 0) {
        page.SkipPast("<meta name=\"title\" content=\"");
        out.Caption = Trim(page.TextBefore("\""));
    } else {
        // The title comes from a copy; the address is looked for in the whole page.
        TextCursor copy(body);
        copy.SkipPast(G("id=\"playlisttitle\">正在播放："));
        out.Caption = Trim(copy.TextBefore(G("播放")));
    }
    constexpr std::string_view marker = "fo.addVariable(\"VideoIDS\",";
    if (page.Contains(marker)) {
        page.SkipPast(marker);
        out.Url = page.TextBefore(")");
    }
    return out;
}

SimplePage CutOuouPage(const std::string& body, const std::string& address)
{
    SimplePage out;
    TextCursor page(body);
    page.SkipPast("<h1>");
    out.Caption = page.TextBefore("</h1>");
    TextCursor link(address);
    link.SkipPast("v_");
    out.Url = link.TextBefore(".");
    page.SkipPast(G("<li>时　间："));
    out.Date = page.TextBefore("</li>");
    return out;
}

}  // namespace quib::collect
