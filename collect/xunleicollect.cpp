// Xunlei collection on the form: the movie document's albums, the choice among them, and the
// chosen album's files as rows. The form stays running from the movie to the album's end.
#include "choose.h"
#include "gbk.h"
#include "messageservice.h"
#include "parse.h"
#include "sitehosts.h"
#include "xunleiparse.h"
#include "xunleiscan.h"

#include <QPointer>

void TParseForm::ParseXunleiMovie(const std::string& url, const std::string& id, int index)
{
    AlbumTable->Clear();
    StartWorker<TXunleiMovieParse>(url, id, index, &TParseForm::GetXunleiAlbumUrl, &TParseForm::ParseXunleiMovieEnd);
}

void TParseForm::GetXunleiAlbumUrl(const std::string&, const std::string& Url, const std::string& Caption,
                                   const std::string&, int, TPageParse&)
{
    try {
        AlbumTable->Add(Url, Caption);
    } catch (...) {
        // An album that cannot be listed is left out; the others can still be chosen.
    }
}

void TParseForm::ParseXunleiMovieEnd(TPageParse&)
{
    try {
        if (AlbumTable->GetCount() == 0) {
            EndProcess();
            return;
        }
        if (AlbumTable->GetCount() == 1) {
            CollectId = AlbumTable->GetKey(0);
            ParseXunleiByAlbumList();
            return;
        }
        ChooseXunleiAlbum();
    } catch (...) {
        EndProcess();
    }
}

void TParseForm::ChooseXunleiAlbum()
{
    const QPointer<TParseForm> self(this);
    // Owned by this form while it is shown, freed right after.
    const QPointer<TChooseForm> dialog = new TChooseForm(this, App);
    std::vector<QString> lines;
    for (const std::string& entry : AlbumTable->Strings())
        lines.push_back(gbk::ToUnicode(entry));
    dialog->SetLines(lines);
    const int result = App->GetMessages().ShowModal(*dialog);
    if (!self)
        return;  // the form went away meanwhile, and its dialog with it
    const int chosen = dialog ? dialog->Chosen() : -1;
    delete dialog.data();
    if (result != QDialog::Accepted || chosen < 0 || chosen >= AlbumTable->GetCount()) {
        EndProcess();
        return;
    }
    CollectId = AlbumTable->GetKey(chosen);
    ParseXunleiByAlbumList();
}

void TParseForm::ParseXunleiByAlbumList()
{
    const std::string url =
        std::string(sitehosts::kXunleiDataRoot) + "/voddata/xml/movieinfo/album/" + CollectId + ".xml";
    ParseXunleiAlbumList(url, CollectId, 0);
}

void TParseForm::ParseXunleiAlbumList(const std::string& url, const std::string& id, int index)
{
    StartWorker<TXunleiAlbumListParse>(url, id, index, &TParseForm::GetXunleiUrl);
}

void TParseForm::GetXunleiUrl(const std::string& Html, const std::string&, const std::string& Caption,
                              const std::string&, int, TPageParse&)
{
    AppendRow(RowFields{Caption, XunleiSourceAddress(Html), std::string(), std::string(), true});
}
