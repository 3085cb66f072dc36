#include "builtinsites.h"

#include "sites/singlepages.h"

void RegisterBuiltinSites(StandinWeb& web)
{
    RegisterPagingSite(web);
    RegisterSinglePages(web);
    RegisterTudouPlaylists(web);
    RegisterYoukuPlaylists(web);
    Register56Albums(web);
    Register6roomsPlaylists(web);
    RegisterOuouPlaylists(web);
    RegisterSinaAlbums(web);
}
