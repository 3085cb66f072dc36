#include "builtinsites.h"

void RegisterBuiltinSites(StandinWeb& web)
{
    RegisterPagingSite(web);
}
