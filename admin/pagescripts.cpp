#include "admin/pagescripts.h"

#include "host/core/gbk.h"

#include <array>
#include <string>

namespace quib::admin {

namespace {

// The scripts as written, one line each, in UTF-8 source; the program holds them as GBK.
constexpr std::array<const char*, kScriptCount>
    kSources =
        {
            // V1
            R"JS(var obj=document.getElementsByTagName("DL");for(i=0;i<obj.length;i++){if (obj[i].className=="finddl"){if (obj[i].childNodes[0].name==undefined){ var url=obj[i].childNodes[0].childNodes[0].childNodes[0].href;obj[i].childNodes[0].innerHTML=obj[i].childNodes[0].innerHTML+"<a href='javascript:window.external.WebInvoke(\"webparse\",\"56\",\""+url+"\");'>采集</a>";obj[i].childNodes[0].name="veltrom"}}};)JS",
            // V2
            R"JS(var obj=document.getElementsByTagName("UL");for(i=0;i<obj.length;i++){if (obj[i].className=="vList"){if (obj[i].name==undefined){var url=obj[i].id.substr(4);obj[i].innerHTML="<a href='javascript:window.external.WebInvoke(\"webparse\",\"youku\",\""+url+"\");'>采集</a>"+obj[i].innerHTML;obj[i].name="veltrom"}}};)JS",
            // V3
            R"JS(var obj=document.getElementsByTagName("UL");for(i=0;i<obj.length;i++){if (obj[i].className=="lists"){if (obj[i].name==undefined){for(j=0;j<obj[i].childNodes.length;j++){ var url=obj[i].childNodes[j].childNodes[0].childNodes[1].href;obj[i].childNodes[j].innerHTML+="<a href='javascript:window.external.WebInvoke(\"webparse\",\"youku\",\""+url+"\");'>采集</a>";}obj[i].name="veltrom"}}};)JS",
            // V4
            R"JS(var obj=document.getElementsByTagName("UL");for(i=0;i<obj.length;i++){if (obj[i].className=="video"){if (obj[i].name==undefined){var url=obj[i].childNodes[0].childNodes[0].href;obj[i].childNodes[obj[i].childNodes.length-1].innerHTML+="<a href='javascript:window.external.WebInvoke(\"webparse\",\"youku\",\""+url+"\");'>采集</a>";obj[i].name="veltrom"}}};)JS",
            // V5
            R"JS(var obj=document.getElementsByTagName("TD");for(i=0;i<obj.length;i++){if (obj[i].className=="programInfo"){if (obj[i].name==undefined){var url=obj[i].childNodes[0].href; obj[i].innerHTML=obj[i].innerHTML+"<a href='javascript:window.external.WebInvoke(\"webparse\",\"tudou\",\""+url+"\");' />采集</a>";obj[i].name="veltrom"}}};)JS",
            // V6
            R"JS(var obj=document.getElementsByTagName("DIV");for(i=0;i<obj.length;i++){if (obj[i].className=="pack pack_clip"){if (obj[i].name==undefined){var url=obj[i].childNodes[1].childNodes[0].childNodes[0].href; obj[i].childNodes[1].innerHTML=obj[i].childNodes[1].innerHTML+"<li><a href='javascript:window.external.WebInvoke(\"webparse\",\"tudou\",\""+url+"\");' />采集</a></li>";obj[i].name="veltrom"}}};)JS",
            // V7
            R"JS(var obj=document.getElementsByTagName("DIV");for(i=0;i<obj.length;i++){if (obj[i].className=="videobar-showzjl"){if (obj[i].name==undefined){var url=obj[i].childNodes[0].childNodes[0].href; obj[i].innerHTML=obj[i].innerHTML+"<a href='javascript:window.external.WebInvoke(\"webparse\",\"6\",\""+url+"\");' />采集</a>";obj[i].name="veltrom"}}};)JS",
            // V8
            R"JS(var obj=document.getElementsByTagName("DIV");for(i=0;i<obj.length;i++){if (obj[i].className=="videobar-showl"){if (obj[i].name==undefined){var url=obj[i].childNodes[0].childNodes[0].href; obj[i].innerHTML=obj[i].innerHTML+"<a href='javascript:window.external.WebInvoke(\"webparse\",\"6\",\""+url+"\");' />采集</a>";obj[i].name="veltrom"}}};)JS",
            // V9
            R"JS(var obj=document.getElementsByTagName("DL");for(i=0;i<obj.length;i++){if (obj[i].className=="vedio_list"){if (obj[i].name==undefined){var url=obj[i].childNodes[0].childNodes[0].href; obj[i].innerHTML+="<dd><a href='javascript:window.external.WebInvoke(\"webparse\",\"ouou\",\""+url+"\");' />采集</a></dd>";obj[i].name="veltrom"}}};)JS",
            // V10
            R"JS(var obj=document.getElementsByTagName("DIV");for(i=0;i<obj.length;i++){if (obj[i].className=="sp_ResultInfo" || obj[i].className=="sear_zjtj"){if (obj[i].name==undefined){var url=obj[i].childNodes[0].childNodes[0].childNodes[0].href; obj[i].childNodes[0].innerHTML+="<li><a href='javascript:window.external.WebInvoke(\"webparse\",\"sina\",\""+url+"\");' />采集</a></li>";obj[i].name="veltrom"}}};)JS",
            // M1
            R"JS(var obj=document.getElementById("submenu3"); if (obj!=null){for (i=0;i<obj.childNodes.length;i++){var div=obj.childNodes[i];if (div.tagName=="DIV"){var s=div.innerHTML.indexOf("<TR>");if(s>0){div.innerHTML=div.innerHTML.substring(0,s)+"<tr><td height=20><img src=images/manage/bullet.gif border=0><a target=main href=javascript:window.external.WebInvoke('search');>视频搜索</a></td></tr>"+div.innerHTML.substr(s);;break;}}}})JS",
            // M2
            R"JS(var obj=document.getElementById("submenu3"); if (obj!=null){obj.innerHTML="<li><a target=mainFrame href=javascript:window.external.WebInvoke('search');>视频搜索</a></li>"+obj.innerHTML;})JS",
            // A1
            R"JS(document.form2.zt_dq.parentElement.innerHTML=document.form2.zt_dq.outerHTML+'<input name="zt_cj" type="button" value="采集" onClick=javascript:window.external.WebInvoke("parse","1",document.form2.zt_dq.value,document.form2.zt_dy.value); title="目前支持播放器类型：56,tudou2,iask,ouou,youku,6rooms,xunlei2">（请输入专辑ID或地址）')JS",
            // A2
            R"JS(document.form2.zt_dq.parentElement.innerHTML=document.form2.zt_dq.outerHTML+'<input name="zt_cj" type="button" value="采集1" onClick=javascript:window.external.WebInvoke("parse","1",document.form2.zt_dq.value,document.form2.zt_dy.value); title="目前支持播放器类型：56,tudou,iask,ouou,youku,6rooms,xunlei2"><input name="zt_cj2" type="button" value="采集2" onClick=javascript:window.external.WebInvoke("parse","2",document.form2.zt_dq.value,document.form2.zt_dy1.value); title="目前支持播放器类型：56,tudou,iask,ouou,youku,6rooms,xunlei2">（请输入专辑ID或地址）')JS",
            // S1
            R"JS(var value=document.form2.zt_name.value;document.form2.zt_name.outerHTML+="<input name=zt_ss type=button value=搜索 onClick=javascript:window.external.WebInvoke('search',document.form2.zt_name.value);>")JS",
            // S2
            R"JS(var value=document.form2.zt_name.value;document.form2.zt_name.outerHTML+="<input name=zt_ss type=button value=搜索 onClick=javascript:window.external.WebInvoke('search',document.form2.zt_name.value);>";)JS",
};

const std::array<std::string, kScriptCount>& Texts()
{
    static const std::array<std::string, kScriptCount> texts = [] {
        std::array<std::string, kScriptCount> converted;
        for (std::size_t i = 0; i < kScriptCount; ++i)
            converted[i] = gbk::FromUtf8(kSources[i]);
        return converted;
    }();
    return texts;
}

}  // namespace

const std::string& ScriptText(PageScript script) { return Texts()[static_cast<std::size_t>(script)]; }

std::string WrapScript(std::string_view script) { return "try{" + std::string(script) + "}catch(e){}"; }

}  // namespace quib::admin
