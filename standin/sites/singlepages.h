#pragma once
// The sites' single video and album pages, each answered by a handler of its own file; they
// share their hosts with the sites' playlist pages and decline every path that is not theirs.
#include "standin/standinweb.h"

#include <string>

namespace quib::standin {

bool AnswerTudouSinglePage(const StandinRequest& request, httplib::Response& response);   // www.tudou.com
bool AnswerYoukuSinglePage(const StandinRequest& request, httplib::Response& response);   // v.youku.com
bool Answer56SinglePage(const StandinRequest& request, httplib::Response& response);      // www.56.com
bool Answer6roomsSinglePage(const StandinRequest& request, httplib::Response& response);  // 6.cn
bool AnswerOuouSinglePage(const StandinRequest& request, httplib::Response& response);    // www.ouou.com
bool AnswerSinaSinglePage(const StandinRequest& request, httplib::Response& response);    // you.video.sina.com.cn

void RegisterSinglePages(StandinWeb& web);

// A page written in UTF-8 source, served as GBK or as UTF-8 bytes; an empty page as an empty body.
void AnswerSinglePageGbk(httplib::Response& response, const std::string& utf8Page);
void AnswerSinglePageUtf8(httplib::Response& response, const std::string& utf8Page);

}  // namespace quib::standin
