// The publisher's web site: a home page and the collector's user guide, which the module's help
// tab opens. Served in GBK. The guide describes this stand-in web too, so a newcomer can try
// every feature offline.
#include "standin/builtinsites.h"
#include "standin/sites/sitealbum.h"
#include "standin/standinweb.h"

#include <string>

namespace quib::standin {

namespace {

const char* const kHost = "www.quib.test";

std::string Page(const std::string& title, const std::string& body)
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"><title>" + title +
           "</title><style>body{font-family:'宋体',sans-serif;font-size:10pt;margin:16px 28px;line-height:1.6}"
           "h1{font-size:16pt}h2{font-size:12pt;border-bottom:1px solid #9bc;margin-top:22px}"
           "code{background:#eef3f8;padding:0 3px}table{border-collapse:collapse}"
           "td,th{border:1px solid #bcd;padding:2px 8px;text-align:left}</style></head><body>\n" +
           body + "\n</body></html>\n";
}

std::string Home()
{
    return Page("奎布工作室",
                "<h1>奎布工作室</h1><p>奎布宝：影视网站内容管理系统的视频采集助手。</p>"
                "<p><a href=\"/help/quib.html\">奎布宝使用说明</a></p>");
}

std::string Guide()
{
    return Page("奎布宝使用说明", R"(<h1>奎布宝使用说明</h1>
<p>奎布宝帮助影视网站的站长把各视频网站上的视频地址采集下来，填进网站后台（内容管理系统，版本 3.1、4.x、5.0、6.0）的影片表单。</p>
<p>目录：<a href="#site">登记站点</a> · <a href="#cms">在后台页面中采集</a> · <a href="#quick">快速采集</a> ·
<a href="#copy">复制格式与模板标签</a> · <a href="#edit">批量修改</a> · <a href="#search">视频搜索</a> ·
<a href="#standin">内置演示网站</a></p>

<h2 id="site">一、登记站点</h2>
<p>在窗口上方的标签栏上单击鼠标右键，选择“添加站点”。填写：</p>
<ul>
<li><b>站点标题</b>：标签上显示的名字，最多 20 个字；</li>
<li><b>版本</b>：网站后台程序的版本，3.1、4.x、5.0 或 6.0；</li>
<li><b>后台地址</b>：后台的登录地址，例如 <code>http://www.example.com/admin/login.asp</code>。</li>
</ul>
<p>确认后，新站点的标签出现在最前面。第一次点开一个站点的标签时才打开它的后台地址；以后再点开它，总是回到它的第一个浏览页。
在站点标签上单击右键，可以“修改站点”（新地址下次启动时生效）或“删除站点”。在“快速采集”或“使用说明”标签上单击右键，只能添加站点。
右键不会切换标签。站点列表保存在数据目录的 <code>data/tool.quib.sites.xml</code> 中；如果这个文件损坏无法读取，奎布宝会提示
“无法加载站点列表！”，下次保存时把损坏的文件改名为 <code>tool.quib.sites.xml.unreadable</code> 保留下来。</p>

<h2 id="cms">二、在后台页面中采集</h2>
<p>登录后台，打开“添加影片”或“修改影片”。奎布宝会在专辑地址一栏旁边加上采集按钮，在影片名称旁边加上搜索按钮，
并在左侧菜单中加上“视频搜索”。</p>
<ol>
<li>在专辑地址一栏填入视频网站的专辑地址或专辑编号，选好播放器类型；</li>
<li>点专辑栏旁的采集按钮（如“采集1”“采集2”）：弹出采集窗口，自动开始采集，列出每个视频的标题和地址；</li>
<li>勾选需要的行，点“完成”：地址按后台要求的格式（标题$地址，多个之间用 | 或换行分隔）填入地址栏，专辑编号写回专辑地址一栏；</li>
<li>检查无误后，自己点后台的保存按钮。</li>
</ol>
<p>勾选“自动完成”后，采集一结束就直接填入，不再等你点“完成”；这个选择在该站点标签关闭前一直有效。</p>

<h2 id="quick">三、快速采集</h2>
<p>“快速采集”标签不需要后台，适合先看看一个专辑里有什么：</p>
<ol>
<li>在“选择采集网站：”中选土豆、我乐、优酷、新浪、偶偶、六间房或迅雷；填地址时奎布宝也会按地址自动选好网站；</li>
<li>在“采集地址或ID：”中填入专辑、豆单、播放列表或单个视频页面的地址，也可以只填专辑编号；</li>
<li>“加速采集(只支持土豆和优酷)”表示从网站的 RSS 一次读出整个专辑，不勾则一页一页地读；“从第 N 页开始”可以从中间某页开始；“追加采集”表示保留表格中原有的行；</li>
<li>点“采集”开始。采集过程中按钮变为“终止”，点它可以停止。</li>
</ol>
<p>每个视频一行：标题、地址、日期、链接，默认都打勾。采集过程中不能关闭窗口：奎布宝会提示“请先停止当前的采集工作！”并停止采集，停下后即可关闭。
右键表格可以全选、全不选、反选、查找、打开视频页面，也可以对地址为空的行重新采集。</p>

<h2 id="copy">四、复制格式与模板标签</h2>
<p>表格下方的四个按钮只复制打勾的行，按表格当前的顺序：</p>
<table>
<tr><th>按钮</th><th>每一项的内容</th></tr>
<tr><td>复制标题和地址到剪切板</td><td>标题$地址</td></tr>
<tr><td>复制地址到剪切板</td><td>地址</td></tr>
<tr><td>复制链接到剪切板</td><td>视频页面的链接</td></tr>
<tr><td>自定义复制</td><td>按你写的格式</td></tr>
</table>
<p>“每 N 行合成为一行”把 N 项用 | 连成一行，行与行之间换行，这正是后台地址栏需要的格式。
“自定义复制”先让你编辑格式，其中可以使用这些标签（不分大小写）：</p>
<ul>
<li><code>&lt;id&gt;</code>：序号；</li>
<li><code>&lt;title&gt;</code>：标题；</li>
<li><code>&lt;url&gt;</code>：地址；</li>
<li><code>&lt;date&gt;</code>：日期。</li>
</ul>
<p>例如格式 <code>第&lt;id&gt;集$&lt;url&gt;</code>。格式会保存下来，下次启动仍然有效。</p>

<h2 id="edit">五、批量修改</h2>
<p>在表格的“标题”列上单击右键，选择“编辑数据”，可以一次修改所有选中并打勾的行的标题（在“标题”列下方的合计栏上右键，则修改所有打勾的行）：</p>
<ul>
<li>“删除空格”：去掉标题首尾的空格；</li>
<li>“删除 前/后 N 个字符”：去掉开头或末尾的 N 个字（一个汉字算一个）；</li>
<li>“删除字符 X 前/后的所有字符”：只保留从 X 开始的部分，或去掉 X 后面的部分；</li>
<li>“替换字符 A 为 B”；</li>
<li>“自定义格式”：用 <code>&lt;title&gt;</code> 代表原标题、<code>&lt;id&gt;</code> 代表编号重新组成标题，例如 <code>第&lt;id&gt;集 &lt;title&gt;</code>。</li>
</ul>
<p>只改表格中的标题，不改地址。</p>

<h2 id="search">六、视频搜索</h2>
<p>点后台菜单中的“视频搜索”或影片名称旁的搜索按钮，在“视频搜索”窗口中填写关键字，选择搜单个视频还是专辑、在哪个网站搜索。
搜索结果在同一站点标签里的一个新浏览页中打开。在土豆、优酷、我乐、六间房、偶偶、新浪的搜索结果页上，每个专辑旁边都有一个“采集”链接：
点它就采集该专辑，并把地址、专辑编号和对应的播放器类型一起填回后台的影片表单。</p>

<h2 id="standin">七、内置演示网站</h2>
<p>不加 <code>--live</code> 启动时，奎布宝连接的是内置的演示网站，而不是真正的视频网站，不需要上网。首次启动时已经登记好四个演示后台站点（3.1、4.x、5.0、6.0），
登录页接受任何用户名和密码。演示网站上的专辑由编号决定大小：编号 <code>页数x每页个数</code>，如 <code>3x5</code> 表示 3 页、每页 5 个，共 15 个视频。</p>
<table>
<tr><th>网站</th><th>可以试的地址或编号</th><th>能看到什么</th></tr>
<tr><td>土豆</td><td><code>2x3</code>、<code>http://www.tudou.com/playlist/id/3x20/</code></td><td>开“快速”读 RSS，关“快速”一页页读豆单</td></tr>
<tr><td>优酷</td><td><code>http://www.youku.com/playlist_show/id_2x6.html</code></td><td>同上，RSS 或分页，每个视频再读一次视频页</td></tr>
<tr><td>我乐</td><td><code>http://www.56.com/w12/album-aid-2x5.html</code></td><td>分页专辑，每个视频读出播放器地址</td></tr>
<tr><td>六间房</td><td><code>3x1</code></td><td>每页一个视频的播放列表</td></tr>
<tr><td>偶偶</td><td><code>2x4</code></td><td>带页码的播放列表</td></tr>
<tr><td>新浪</td><td><code>2x5</code></td><td>专辑页，右侧的推荐不计入</td></tr>
<tr><td>迅雷</td><td><code>a3x5</code></td><td>一部影片三个专辑，先选专辑再列出其中五个文件</td></tr>
</table>
<p>单个视频页面也可以直接采集，例如 <code>http://www.tudou.com/programs/view/Ab12345678/</code>、<code>http://v.youku.com/v_show/id_X1.html</code>、
<code>http://www.56.com/u12/v_X1.html</code>、<code>http://6.cn/watch/1.html</code>、<code>http://www.ouou.com/play/v_X1.html</code>、
<code>http://you.video.sina.com.cn/b/1-2.html</code>。</p>
<p>演示后台的地址是 <code>http://cms.standin.test/版本/admin/</code>（版本为 3.1、4.x、5.0 或 6.0），其中有“添加影片”表单和“影片管理”列表。
表单上的“保存”把影片存进演示后台（每个版本各存各的，程序退出后清空），在“影片管理”中点“修改”可以重新打开它，再用“只添加新剧集”补上新的集数。
各网站的搜索结果页（so.tudou.com、so.youku.com、so.56.com、6.cn/search.php、so.ouou.com、so.video.sina.com.cn）各列出三个专辑，每个旁边都有“采集”链接。</p>
<p>演示资源站有三个，共用一份片库：<code>http://zyjson.standin.test/api.php/provide/vod/</code>（JSON）、
<code>http://zyxml.standin.test/api.php/provide/vod/at/xml/</code>（XML）和 <code>http://zyodd.standin.test/api.php/provide/vod/</code>
（JSON，带着常见的毛病：数字写成文本、缺“$”的剧集、播放源和播放列表个数对不上、空字段、页数虚报）。
影片地址写成 <code>基础地址?ac=detail&amp;ids=1002</code> 或 <code>基础地址#1002</code>；“山海长歌”（1001）是连载中的剧，
打开 <code>http://zyjson.standin.test/standin/grow?by=2</code> 它就多出两集，可以试“只添加新剧集”。
命令行：<code>quib-collect --search 山 --api 基础地址</code>、<code>quib-collect --site api 影片地址</code>、
<code>quib-collect --api 基础地址 --updated-hours 24</code>。</p>
)");
}

}  // namespace

void RegisterPublisher(StandinWeb& web)
{
    web.AddSite(kHost, [](const StandinRequest& request, httplib::Response& response) {
        if (request.path == "/" || request.path == "/index.html")
            AnswerGbk(response, Home());
        else if (request.path == "/help/quib.html")
            AnswerGbk(response, Guide());
        else
            return false;
        return true;
    });
}

}  // namespace quib::standin
