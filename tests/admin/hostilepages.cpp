#include "hostilepages.h"

#include "standinweb.h"

#include <string>

namespace {

// Collects what it sees into the input "loot" and tries to command any port it can get hold of:
// run code elsewhere, bind itself, report a made-up document.
const char* const kAttack = R"JS(
var loot = document.getElementsByName('loot')[0];
function note(x) { try { loot.value += JSON.stringify(x) + ';'; } catch (e) { loot.value += '?;'; } }
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
}
strike();
setTimeout(strike, 200);
)JS";

std::string Page(const std::string& body)
{
    return "<html><head><title>evil</title></head><body>" + body + "<input name=\"loot\" value=\"\"><script>" + kAttack +
           "</script></body></html>";
}

}  // namespace

void RegisterHostilePages(StandinWeb& web)
{
    web.AddSite(kHostileHost, [](const StandinRequest& request, httplib::Response& response) {
        if (request.path == "/top.html")
            response.set_content(Page("<iframe name=\"cms\" src=\"http://cms.standin.test/5.0/admin/admin_p.asp?action=edit\"></iframe>"),
                                 "text/html; charset=utf-8");
        else if (request.path == "/early.html")  // calls the host while it is still being parsed
            response.set_content("<html><body><script>window.external.WebInvoke('early','top')</script>"
                                 "<iframe src=\"/early-frame.html\"></iframe></body></html>", "text/html");
        else if (request.path == "/early-frame.html")
            response.set_content("<html><body><script>window.external.WebInvoke('early','frame')</script></body></html>",
                                 "text/html");
        else if (request.path == "/frame.html")
            response.set_content(Page("<p>foreign</p>"), "text/html; charset=utf-8");
        else
            return false;
        return true;
    });
}
