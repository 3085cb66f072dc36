// The collection form's own events: a double-click in the address box and closing the form.
#include "parse.h"

void TParseForm::UrlEditDblClick()
{
    // The whole address at once, so a new one can be pasted or typed over it.
    UrlEdit->selectAll();
}

void TParseForm::FormClose()
{
    if (AlbumTable)
        AlbumTable->Clear();  // the Xunlei album list is only needed while its collection runs
}
