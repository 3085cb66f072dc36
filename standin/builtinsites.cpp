#include "builtinsites.h"

void RegisterBuiltinSites(StandinWeb& web)
{
    RegisterPagingSite(web);
    RegisterTudouPlaylists(web);
    RegisterYoukuPlaylists(web);
    Register56Albums(web);
    Register6roomsPlaylists(web);
    RegisterOuouPlaylists(web);
    RegisterSinaAlbums(web);
}
