#include "standin/builtinsites.h"

#include "standin/sites/singlepages.h"

namespace quib::standin {

void RegisterBuiltinSites(StandinWeb& web)
{
    // First: their addresses would otherwise be taken for ordinary albums and pages.
    RegisterHostilePages(web);
    RegisterPagingSite(web);
    RegisterTudouFeed(web);
    RegisterRunningSeries(web);
    RegisterYoukuFeed(web);
    RegisterXunleiData(web);
    RegisterSinglePages(web);
    RegisterTudouPlaylists(web);
    RegisterYoukuPlaylists(web);
    Register56Albums(web);
    Register6roomsPlaylists(web);
    RegisterOuouPlaylists(web);
    RegisterSinaAlbums(web);
    RegisterResourceSites(web);
    RegisterCms(web);
    RegisterSearchPages(web);
    RegisterPublisher(web);
    RegisterPartnerSite(web);
    RegisterSearchSources(web);
}

}  // namespace quib::standin
