// The HTML walk under the loader: document order, the values an element reports, and pages
// that are broken, huge or hostile.
#include "host/core/htmlwalk.h"
#include "host/core/pagecharset.h"

#include <QTest>

#include <string>
#include <vector>

using namespace quib;

namespace {

struct Seen {
    std::string tag, id, className, text, html;
};

std::vector<Seen> Walk(std::string_view html, const std::function<bool(const Seen&)>& stopAfter = {})
{
    std::vector<Seen> seen;
    bool stop = false;
    WalkHtml(
        html,
        [&](const HtmlElement& e) {
            seen.push_back({e.TagName(), e.Id(), e.ClassName(), e.InnerText(), e.InnerHtml()});
            if (stopAfter && stopAfter(seen.back()))
                stop = true;
        },
        [&] { return stop; });
    return seen;
}

QString Joined(const std::vector<Seen>& seen)
{
    QStringList tags;
    for (const Seen& s : seen)
        tags << QString::fromStdString(s.tag);
    return tags.join(' ');
}

}  // namespace

class HtmlWalkTest : public QObject {
    Q_OBJECT
private slots:
    void elementsComeInDocumentOrder_data();
    void elementsComeInDocumentOrder();
    void elementValues();
    void scriptMarkupIsItsText();
    void innerHtmlOfAnElementWithImpliedEndTags();
    void attributesAreDecoded();
    void stopDeliversNothingMore();
    void brokenPagesAreWalked_data();
    void brokenPagesAreWalked();
    void deepNestingIsWalked();
    void hostileNestingIsCutShort_data();
    void hostileNestingIsCutShort();
    void hugePageIsWalked();
    void charsetOfAPage_data();
    void charsetOfAPage();
    void gbkPageBecomesUtf8();
};

void HtmlWalkTest::elementsComeInDocumentOrder_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("tags");
    QTest::newRow("nested") << "<html><head><title>t</title></head><body><div><p>a<b>b</b></p><span>c</span></div>"
                               "</body></html>"
                            << "HTML HEAD TITLE BODY DIV P B SPAN";
    QTest::newRow("implied structure") << "<h1>x</h1>"
                                       << "HTML HEAD BODY H1";
    QTest::newRow("unknown tag") << "<body><custom-tag>x</custom-tag></body>"
                                 << "HTML HEAD BODY CUSTOM-TAG";
    QTest::newRow("comment is no element") << "<body><!-- <p>no</p> --><i>y</i></body>"
                                           << "HTML HEAD BODY I";
}

void HtmlWalkTest::elementsComeInDocumentOrder()
{
    QFETCH(QString, html);
    QFETCH(QString, tags);
    QCOMPARE(Joined(Walk(html.toStdString())), tags);
}

void HtmlWalkTest::elementValues()
{
    const auto seen = Walk("<body><h1 id=\"t\" class=\"fleft big\"> 标题 <em>强</em> </h1></body>");
    QCOMPARE(seen.size(), std::size_t(5));
    const Seen& h1 = seen[3];
    QCOMPARE(h1.id, std::string("t"));
    QCOMPARE(h1.className, std::string("fleft big"));
    QCOMPARE(h1.text, std::string(" 标题 强 "));
    QCOMPARE(h1.html, std::string(" 标题 <em>强</em> "));
}

void HtmlWalkTest::scriptMarkupIsItsText()
{
    const std::string script = "var a = '<b>' + x; if (a < 3 && b) {} // </div>";
    const auto seen = Walk("<body><script>" + script + "</script></body>");
    QCOMPARE(seen.back().tag, std::string("SCRIPT"));
    QCOMPARE(seen.back().html, script);
    QCOMPARE(seen.back().text, script);
}

void HtmlWalkTest::innerHtmlOfAnElementWithImpliedEndTags()
{
    // The list items close themselves; their markup is written out all the same.
    const auto seen = Walk("<body><ul id=\"l\"><li>a<li>b</ul></body>");
    QCOMPARE(seen[3].id, std::string("l"));
    QCOMPARE(QString::fromStdString(seen[3].html), QString("<li>a</li><li>b</li>"));
}

void HtmlWalkTest::attributesAreDecoded()
{
    std::optional<std::string> href, missing;
    WalkHtml(
        "<a href=\"/p?a=1&amp;b=&quot;2&quot;\">x</a>",
        [&](const HtmlElement& e) {
            if (e.TagName() == "A") {
                href = e.Attribute("href");
                missing = e.Attribute("title");
            }
        },
        [] { return false; });
    QCOMPARE(href.value_or("<none>"), std::string("/p?a=1&b=\"2\""));
    QVERIFY(!missing);
}

void HtmlWalkTest::stopDeliversNothingMore()
{
    const auto seen = Walk("<body><p>1</p><p>2</p><p>3</p></body>", [](const Seen& s) { return s.text == "2"; });
    QCOMPARE(Joined(seen), QString("HTML HEAD BODY P P"));
}

void HtmlWalkTest::brokenPagesAreWalked_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("lastTag");
    QTest::addColumn<QString>("lastText");
    QTest::newRow("unclosed tags") << QByteArray("<div><p><b>one<div><span>two") << "SPAN"
                                   << "two";
    QTest::newRow("cut inside a tag") << QByteArray("<body><h1>t</h1><input id=\"x\" value=\"a") << "H1"
                                      << "t";
    QTest::newRow("marker at the very end") << QByteArray("<body><script>var iid=") << "SCRIPT"
                                            << "var iid=";
    QTest::newRow("invalid utf-8") << QByteArray("<body><h1>a\xff\xfe\xc3(b</h1></body>") << "H1"
                                   << QString::fromUtf8("a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD(b");
    QTest::newRow("nul bytes") << QByteArray("<body><h1>a\0b</h1></body>", 26) << "H1"
                               << "ab";  // the parser drops them
    QTest::newRow("empty") << QByteArray() << "BODY"
                           << "";
}

void HtmlWalkTest::brokenPagesAreWalked()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, lastTag);
    QFETCH(QString, lastText);
    const auto seen = Walk(std::string_view(html.constData(), static_cast<std::size_t>(html.size())));
    QVERIFY(!seen.empty());
    QCOMPARE(QString::fromStdString(seen.back().tag), lastTag);
    QCOMPARE(QString::fromStdString(seen.back().text), lastText);
}

void HtmlWalkTest::deepNestingIsWalked()
{
    // Deeper than a recursion over the tree would take kindly, and still parsed whole.
    constexpr int kDepth = 2000;
    std::string html;
    for (int i = 0; i < kDepth; ++i)
        html += "<div>";
    html += "<h4>deep</h4>";
    std::size_t count = 0;
    std::string found;
    HtmlWalkReport report;
    WalkHtml(
        html,
        [&](const HtmlElement& e) {
            ++count;
            if (e.TagName() == "H4")
                found = e.InnerText();
        },
        [] { return false; }, &report);
    QCOMPARE(found, std::string("deep"));
    QCOMPARE(count, std::size_t(kDepth + 4));
    QVERIFY(!report.cutShort);
}

void HtmlWalkTest::hostileNestingIsCutShort_data()
{
    QTest::addColumn<QByteArray>("unit");
    QTest::addColumn<QByteArray>("tail");
    QTest::newRow("nested div") << QByteArray("<div>") << QByteArray();
    QTest::newRow("nested h4 div") << QByteArray("<h4>x<div>") << QByteArray();
    QTest::newRow("ignored end tags under deep nesting") << QByteArray("<div>") << QByteArray("</table>");
    QTest::newRow("formatting reopened in every paragraph") << QByteArray("<b a=N>") << QByteArray("</p><p>x");
}

void HtmlWalkTest::hostileNestingIsCutShort()
{
    // What comes before the hostile part is walked; the rest is not, and the walk says so.
    QFETCH(QByteArray, unit);
    QFETCH(QByteArray, tail);
    std::string html = "<html><head><title>t</title></head><body><h1>kept</h1><p>";
    const std::size_t size = 256u << 10;
    for (int n = 0; html.size() < (tail.isEmpty() ? size : size / 2); ++n)
        html += QByteArray(unit).replace("N", QByteArray::number(n)).toStdString();
    while (html.size() < size && !tail.isEmpty())
        html += tail.toStdString();
    html += "<h2>lost</h2>";
    HtmlWalkReport report;
    std::string h1, h2;
    std::size_t h4Text = 0;
    WalkHtml(
        html,
        [&](const HtmlElement& e) {
            const std::string tag = e.TagName();
            if (tag == "H1")
                h1 = e.InnerText();
            else if (tag == "H2")
                h2 = e.InnerText();
            else if (tag == "H4")
                h4Text += e.InnerText().size();
        },
        [] { return false; }, &report);
    QVERIFY(report.cutShort);
    QVERIFY(report.parsedBytes < html.size());
    QCOMPARE(h1, std::string("kept"));
    QCOMPARE(h2, std::string());
    // The inner text the elements handed out stays within a small multiple of the page.
    QVERIFY(h4Text <= 5 * html.size() + (1u << 20));
}

void HtmlWalkTest::hugePageIsWalked()
{
    // 20 MB of text with the wanted element at the very end.
    std::string html = "<html><body><p>" + std::string(20u << 20, 'x') + "</p><script>var iid=42,</script>";
    std::string script;
    WalkHtml(
        html,
        [&](const HtmlElement& e) {
            if (e.TagName() == "SCRIPT")
                script = e.InnerHtml();
        },
        [] { return false; });
    QCOMPARE(script, std::string("var iid=42,"));
}

void HtmlWalkTest::charsetOfAPage_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("contentType");
    QTest::addColumn<bool>("gbk");
    const QByteArray gbkMeta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\xd6\xd0";
    const QByteArray utf8Meta = "<meta charset=\"UTF-8\">\xe4\xb8\xad";
    QTest::newRow("header names gbk") << utf8Meta << "text/html; charset=GBK" << true;
    QTest::newRow("header names utf-8") << gbkMeta << "text/html;charset=utf-8" << false;
    QTest::newRow("meta names gb2312") << gbkMeta << "text/html" << true;
    QTest::newRow("meta names utf-8") << utf8Meta << "" << false;
    QTest::newRow("nothing named, valid utf-8") << QByteArray("<p>\xe4\xb8\xad</p>") << "" << false;
    QTest::newRow("nothing named, not utf-8") << QByteArray("<p>\xd6\xd0</p>") << "" << true;
    QTest::newRow("unknown charset falls back") << QByteArray("<p>\xd6\xd0</p>") << "text/html; charset=big5" << true;
}

void HtmlWalkTest::charsetOfAPage()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, contentType);
    QFETCH(bool, gbk);
    QCOMPARE(DetectPageCharset(body.toStdString(), contentType.toStdString()) == PageCharset::Gbk, gbk);
}

void HtmlWalkTest::gbkPageBecomesUtf8()
{
    QCOMPARE(PageTextToUtf8("<p>\xd6\xd0\xce\xc4</p>", "text/html; charset=gbk"), std::string("<p>中文</p>"));
    QCOMPARE(PageTextToUtf8("<p>中文</p>", "text/html; charset=utf-8"), std::string("<p>中文</p>"));
}

QTEST_APPLESS_MAIN(HtmlWalkTest)
#include "tst_htmlwalk.moc"
