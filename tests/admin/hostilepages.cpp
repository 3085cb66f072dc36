#include "tests/admin/hostilepages.h"

#include "standin/standinweb.h"

#include <cstdlib>
#include <string>

using namespace quib;
using namespace quib::standin;

namespace {

// Collects what it sees into the input "loot" (its opener's, in a popup) and tries to command any
// port it can get hold of: run code elsewhere, bind itself, report a made-up document. It asks the
// host's bridge scheme for an identity, a forged completion and a forged reply, with a guess and
// with every long text it has seen; each answer is noted as "accepted:" or "refused:".
const char* const kAttack = R"JS(
var loot = (window.opener || window).document.getElementsByName('loot')[0];
var seen = ['guess0123456789abcdef'];
function note(x) {
  var text;
  try { text = JSON.stringify(x); } catch (e) { text = '?'; }
  loot.value += text + ';';
  var words = String(text).match(/[0-9a-zA-Z_-]{16,}/g) || [];
  for (var i = 0; i < words.length; ++i) if (seen.indexOf(words[i]) < 0) seen.push(words[i]);
}
function ask(path, key, label) {
  try {
    var x = new XMLHttpRequest();
    x.open('GET', 'quib-bridge:' + path);
    x.setRequestHeader('X-Quib-Key', key);
    x.onload = function () { loot.value += 'accepted:' + label + ';'; };
    x.onerror = function () { loot.value += 'refused:' + label + ';'; };
    x.send();
  } catch (e) { loot.value += 'blocked:' + label + ';'; }
}
function forge() {
  for (var i = 0; i < seen.length; ++i) {
    ask('hello?top=0', seen[i], 'hello');
    ask('complete?d=' + seen[i] + '&href=' + encodeURIComponent('http://cms.standin.test/5.0/admin/admin_add.asp?forged=1') + '&host=cms.standin.test', seen[i], 'complete');
    ask('invoke?d=' + seen[i] + '&a=forged', seen[i], 'invoke');
    for (var s = 1; s < 6; ++s) ask('reply?d=' + seen[i] + '&s=' + s + '&ok=1&v=FORGED', seen[i], 'reply');
  }
}
function attack(port) {
  port.onmessage = function (m) { note(m.data); };
  var fake = new MessageChannel();
  fake.port1.onmessage = function (m) { note(m.data); };
  port.postMessage({ quib: 'bind', key: 'guess' }, [fake.port2]);
  fake.port1.postMessage({ op: 'exec', code: "document.title='pwned'", seq: 97 });
  for (var f = 0; f < 4; ++f)
    port.postMessage({ op: 'exec', code: "document.title='pwned';var e=document.getElementsByName('zt_name')[0];if(e)e.value='pwned'", seq: 99, frame: f, doc: 'x' });
  port.postMessage({ t: 'complete', href: 'http://cms.standin.test/5.0/admin/admin_add.asp?fake=1', hostname: 'cms.standin.test' });
  port.postMessage({ t: 'invoke', args: ['forged'] });
}
window.addEventListener('message', function (e) {
  note(e.data);
  for (var i = 0; e.ports && i < e.ports.length; ++i) attack(e.ports[i]);
}, true);
function everyWindow(w, out) { out.push(w); for (var i = 0; i < w.frames.length; ++i) everyWindow(w.frames[i], out); return out; }
function strike() {
  var wins = everyWindow(window.top, []);
  for (var i = 0; i < wins.length; ++i) {
    var c = new MessageChannel();
    attack(c.port1);
    try { wins[i].postMessage({ quib: 'hello', key: 'guess' }, '*', [c.port2]); } catch (e) { }
    try { wins[i].postMessage({ quib: 'bind', key: 'guess' }, '*', [new MessageChannel().port2]); } catch (e) { }
    try { wins[i].postMessage({ op: 'exec', code: "document.title='pwned'", seq: 98, frame: 0 }, '*'); } catch (e) { }
  }
  note({ qt: typeof qt, clip: typeof window.clipboardData, nav: typeof window.navigate, ext: typeof window.external.WebInvoke });
  forge();
}
strike();
setTimeout(strike, 200);
)JS";

std::string Page(const std::string& body)
{
    return "<html><head><title>evil</title></head><body>" + body + "<input name=\"loot\" value=\"\"><script>" +
           kAttack + "</script></body></html>";
}

// text as a JavaScript string literal that can stand inside an inline script.
std::string JsString(const std::string& text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == '"')
            out += std::string("\\") + c;
        else if (c == '\n')
            out += "\\n";
        else if (c == '<' && i + 1 < text.size() && text[i + 1] == '/')
            out += "<\\";
        else
            out += c;
    }
    return out + "\"";
}

// A page whose rewrite() replaces it with written through document.open; onLoad: it does so
// itself once loaded.
std::string Rewriter(const std::string& written, bool onLoad)
{
    return "<html><head><title>evil</title></head><body><input name=\"loot\" value=\"\"><input name=\"stage\" "
           "value=\"first\">"
           "<script>function rewrite(){document.open();document.write(" +
           JsString(written) + ");document.close();}" +
           (onLoad ? "addEventListener('load',function(){setTimeout(rewrite,0);});" : "") + "</script></body></html>";
}

// Sends refused bridge requests at the top speed the browser takes them, for as long as it lives:
// identity requests, polls, replies and calls without a key, with guessed keys and under its own
// document id (which it reads from its resource timing), half of them POSTs with a 64 KiB body.
// A few hundred are on their way at any time; every answer or failure sends the next one at once.
// With ?burst=N it also fires N more every 10 ms without waiting for any answer.
const char* const kFlood = R"JS(
(function () {
  var body = new Array(65537).join('x');
  var own = '';
  var sent = 0, open = 0;
  var paths = ['hello?top=0', 'hello?top=1', 'poll?d=', 'reply?s=1&ok=1&v=FORGED&d=', 'invoke?a=forged&d=', 'complete?href=x&d='];
  function ownId() {
    if (own)
      return own;
    var entries = performance.getEntriesByType('resource');
    for (var i = 0; i < entries.length; ++i) {
      var m = /^quib-bridge:[a-z]+\?.*\bd=([^&]+)/.exec(entries[i].name);
      if (m)
        own = decodeURIComponent(m[1]);
    }
    performance.clearResourceTimings();
    return own;
  }
  function one() {
    var path = paths[sent % paths.length];
    if (path.slice(-2) === 'd=')
      path += encodeURIComponent(ownId() || 'guess' + sent);
    var x = new XMLHttpRequest();
    var post = sent % 2 === 1;
    x.open(post ? 'POST' : 'GET', 'quib-bridge:' + path);
    if (sent % 3)
      x.setRequestHeader('X-Quib-Key', (sent % 3 === 1 ? 'guess' : '0123456789abcdef') + sent);
    x.onloadend = function () { --open; pump(); };
    ++open;
    window.floodSent = ++sent;
    x.send(post ? body : null);
  }
  // ?burst=N: N more every 10 ms, whether the earlier ones were answered or not.
  var burst = /[?&]burst=([0-9]+)/.exec(window.location.search);
  function pump() {
    while (open < 300)
      one();
  }
  if (burst)
    setInterval(function () { for (var i = 0; i < +burst[1]; ++i) one(); }, 10);
  else
    setInterval(pump, 50);
  pump();
})();
)JS";

// A quiet frame: its number in an input, for the host to read.
std::string QuietFrame(const std::string& number)
{
    return "<html><head><title>quiet</title></head><body><input name=\"n\" value=\"" + number + "\"></body></html>";
}

// A page of count quiet frames.
std::string Frames(int count)
{
    std::string frames;
    for (int i = 0; i < count; ++i)
        frames += "<iframe src=\"/quiet.html?n=" + std::to_string(i) + "\"></iframe>\n";
    return "<html><head><title>frames</title></head><body>\n" + frames + "</body></html>";
}

const char* const kCmsEdit =
    "<iframe name=\"cms\" src=\"http://cms.standin.test/5.0/admin/admin_p.asp?action=edit&amp;id=1\"></iframe>";

// A CMS-like add page whose own script holds window.navigate and window.clipboardData: fixed ones
// (a function declaration, a non-configurable property), replaceable ones, or only an old
// toolbar's function navigate(). It shows in "seen" what those names hold, so a test can tell
// that they are still the page's own.
std::string IeGlobalsPage(const std::string& kind)
{
    std::string own =
        "window.navigate=function(a){return 'page:'+a;};"
        "window.clipboardData={getData:function(){return 'page clip';}};";
    if (kind == "fixed")
        own =
            "function navigate(a){return 'page:'+a;}"
            "Object.defineProperty(window,'clipboardData',{value:{getData:function(){return 'page clip';}}});";
    else if (kind == "navigate")
        own = "function navigate(a){return 'page:'+a;}";
    return "<html>\n<head>\n<title>ie</title>\n<script>\n" + own +
           "\nsetInterval(function(){document.getElementsByName('seen')[0].value=navigate('x')+'|'+"
           "(window.clipboardData?clipboardData.getData('text'):'none');},20);\n"
           "</script>\n</head>\n<body>\n<form name=\"form2\">\n"
           "  <input name=\"zt_name\" value=\"n\">\n"
           "  <span>\n    <input name=\"zt_dq\" value=\"\">\n  </span>\n"
           "  <input name=\"zt_dy\" value=\"\">\n  <input name=\"zt_dy1\" value=\"\">\n"
           "  <textarea name=\"zt_url\"></textarea>\n"
           "  <input name=\"seen\" value=\"\">\n</form>\n</body>\n</html>\n";
}

}  // namespace

void RegisterHostilePages(StandinWeb& web)
{
    const auto pages = [](const StandinRequest& request, httplib::Response& response) {
        if (request.path == "/top.html")
            response.set_content(
                Page("<iframe name=\"cms\" "
                     "src=\"http://cms.standin.test/5.0/admin/admin_p.asp?action=edit&amp;id=1\"></iframe>"),
                "text/html; charset=utf-8");
        else if (request.path == "/early.html")  // calls the host while it is still being parsed
            response.set_content(
                "<html><body><script>window.external.WebInvoke('early','top')</script>"
                "<iframe src=\"/early-frame.html\"></iframe></body></html>",
                "text/html");
        else if (request.path == "/early-frame.html")
            response.set_content(
                "<html><body><script>window.external.WebInvoke('early','frame')</script></body></html>", "text/html");
        else if (request.path == "/frame.html")
            response.set_content(Page("<p>foreign</p>"), "text/html; charset=utf-8");
        else if (request.path == "/open.html")  // rewrites itself into a page that frames the CMS
            response.set_content(Rewriter(Page(kCmsEdit), true), "text/html; charset=utf-8");
        else if (request.path == "/popup.html")  // writes a page that frames the CMS into a popup of its own
            response.set_content(
                "<html><head><title>evil</title></head><body><input name=\"loot\" value=\"\"><script>"
                "var w=window.open('about:blank');w.document.write(" +
                    JsString(Page(kCmsEdit)) + ");w.document.close();</script></body></html>",
                "text/html; charset=utf-8");
        else if (request.path == "/rewrite.html")  // rewritten on demand; the new page fills a blank frame by script
            response.set_content(
                Rewriter(
                    "<html><body><input name=\"stage\" value=\"second\"><iframe name=\"blank\"></iframe>"
                    "<script>var d=frames.blank.document;d.open();d.write('<input name=\"stage\" value=\"blank\">');"
                    "d.close();</script></body></html>",
                    false),
                "text/html; charset=utf-8");
        else if (request.path == "/flood.html")  // floods the bridge from the top frame, with the CMS in a frame
            response.set_content("<html><head><title>flood</title></head><body>" + std::string(kCmsEdit) + "<script>" +
                                     kFlood + "</script></body></html>",
                                 "text/html; charset=utf-8");
        else if (request.path == "/flood-frame.html")  // a frame that floods the bridge
            response.set_content("<html><head><title>flood</title></head><body><p>flood</p><script>" +
                                     std::string(kFlood) + "</script></body></html>",
                                 "text/html; charset=utf-8");
        else if (request.path == "/frames.html")
            response.set_content(Frames(std::atoi(request.params.count("n") ? request.params.at("n").c_str() : "20")),
                                 "text/html; charset=utf-8");
        else if (request.path == "/quiet.html")
            response.set_content(
                QuietFrame(std::to_string(std::atoi(request.params.count("n") ? request.params.at("n").c_str() : "0"))),
                "text/html; charset=utf-8");
        else if (request.path == "/fixed/admin_add.asp" || request.path == "/replaceable/admin_add.asp" ||
                 request.path == "/navigate/admin_add.asp")
            response.set_content(IeGlobalsPage(request.path.substr(1, request.path.find('/', 1) - 1)),
                                 "text/html; charset=utf-8");
        else
            return false;
        return true;
    };
    for (const char* host : {kHostileHost, kFloodTopHost, kFloodFrameHost})
        web.AddSite(host, pages);
}
