#pragma once
// The sites the stand-in web serves from the start; each lives in a file of its own under sites/.
class StandinWeb;

void RegisterBuiltinSites(StandinWeb& web);

// "paging.standin.test": numbered lists over any number of pages (/list/<pages>x<items>/<page>.html).
void RegisterPagingSite(StandinWeb& web);
