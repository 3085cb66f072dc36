#pragma once
// What the Tudou and Youku album feeds hold: one item per video, in feed order. Feeds are read
// as received; only the titles are UTF-8 and are turned into GBK.
#include "collect/sectionscan.h"

#include <string_view>

namespace quib::collect {

// caption = title, link = link, data = the id of "tudou:info", date = its pubDate (milliseconds).
void ScanTudouFeed(std::string_view feed, const ItemSink& sink);
// caption = title, link = link, data = guid, date = pubDate (an Internet date).
void ScanYoukuFeed(std::string_view feed, const ItemSink& sink);

}  // namespace quib::collect
