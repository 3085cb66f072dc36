#include "standin/sites/singlepages.h"

#include "standin/gbktext.h"

namespace quib::standin {

void AnswerSinglePageGbk(httplib::Response& response, const std::string& utf8Page)
{
    response.set_content(Utf8ToGbk(utf8Page), "text/html; charset=gbk");
}

void AnswerSinglePageUtf8(httplib::Response& response, const std::string& utf8Page)
{
    response.set_content(utf8Page, "text/html; charset=utf-8");
}

void RegisterSinglePages(StandinWeb& web)
{
    web.AddSite("www.tudou.com", AnswerTudouSinglePage);
    web.AddSite("v.youku.com", AnswerYoukuSinglePage);
    web.AddSite("www.56.com", Answer56SinglePage);
    web.AddSite("6.cn", Answer6roomsSinglePage);
    web.AddSite("www.ouou.com", AnswerOuouSinglePage);
    web.AddSite("you.video.sina.com.cn", AnswerSinaSinglePage);
}

}  // namespace quib::standin
