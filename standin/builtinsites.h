#pragma once

namespace quib::standin {

// The sites the stand-in web serves from the start; each lives in a file of its own under sites/.
class StandinWeb;

void RegisterBuiltinSites(StandinWeb& web);

// "paging.standin.test": numbered lists over any number of pages (/list/<pages>x<items>/<page>.html).
void RegisterPagingSite(StandinWeb& web);

// "www.tudou.com" and "www.youku.com": album feeds (/playlist/rss.do?lid=ID, /playlist/rss/id/ID).
void RegisterTudouFeed(StandinWeb& web);
void RegisterYoukuFeed(StandinWeb& web);
// "www.tudou.com": a running series whose episodes grow (/playlist/rss.do?lid=running, moved on
// by /standin/running?episodes=N; lid=running-N for a fixed count).
void RegisterRunningSeries(StandinWeb& web);
// "data.movie.xunlei.com": movie and album documents of the data service.
void RegisterXunleiData(StandinWeb& web);

// Playlist pages of the six sites, with the video pages 56 and Youku collect each item from;
// albums sized by their ID (sitealbum.h).
void RegisterTudouPlaylists(StandinWeb& web);   // www.tudou.com
void RegisterYoukuPlaylists(StandinWeb& web);   // www.youku.com
void Register56Albums(StandinWeb& web);         // www.56.com
void Register6roomsPlaylists(StandinWeb& web);  // 6.cn
void RegisterOuouPlaylists(StandinWeb& web);    // www.ouou.com
void RegisterSinaAlbums(StandinWeb& web);       // you.video.sina.com.cn

// Hostile pages under the sites' addresses, for IDs "hostile-<shape>-<KiB>" (sites/hostile.cpp).
void RegisterHostilePages(StandinWeb& web);

// Resource sites of the shared video-data API: zyjson, zyxml and zyodd .standin.test over one
// catalogue with a growing series, and zyhostile.standin.test's hostile answers.
void RegisterResourceSites(StandinWeb& web);

// "cms.standin.test": the CMS administration back-end, versions 3.1, 4.x, 5.0, 6.0 (/<version>/admin/...).
void RegisterCms(StandinWeb& web);
// The six video sites' own search-result pages (so.56.com, so.youku.com, so.tudou.com, 6.cn/search.php,
// so.ouou.com, so.video.sina.com.cn).
void RegisterSearchPages(StandinWeb& web);
// "www.quib.test": the publisher's site, with the collector's user guide (/help/quib.html).
void RegisterPublisher(StandinWeb& web);
// "www.fenmor.com" and "tools.fenmor.com": the partner's personal-finance site; with
// "ads.standin.test" (framed by it) and "portal.standin.test" (framing it).
void RegisterPartnerSite(StandinWeb& web);
// The film and search sites of the video search (www.mtime.com, www.mdbchina.com, www.gougou.com,
// www.kuaiche.com, image.baidu.com), each showing what it received, and Tudou's main-site search
// (www.tudou.com/search/programs/ and /search/playlist/), which redirects to so.tudou.com.
void RegisterSearchSources(StandinWeb& web);

}  // namespace quib::standin
