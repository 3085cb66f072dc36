// Xunlei collection: the movie document's albums, the choice among them, and the
// chosen album's files as rows. The engine stays running from the movie to the album's end.
#include "collect/collectionengine.h"
#include "host/core/gbk.h"
#include "collect/sitehosts.h"
#include "collect/xunleiparse.h"
#include "collect/xunleiscan.h"

#include <QPointer>

namespace quib::collect {

using namespace quib::results;

void CollectionEngine::ParseXunleiMovie(const std::string& url, const std::string& id, int index)
{
    m_albumTable->Clear();
    StartWorker<TXunleiMovieParse>(url, id, index, &CollectionEngine::GetXunleiAlbumUrl,
                                   &CollectionEngine::ParseXunleiMovieEnd);
}

void CollectionEngine::GetXunleiAlbumUrl(const std::string&, const std::string& Url, const std::string& Caption,
                                         const std::string&, int, TPageParse&)
{
    try {
        m_albumTable->Add(Url, Caption);
    } catch (...) {
        // An album that cannot be listed is left out; the others can still be chosen.
    }
}

void CollectionEngine::ParseXunleiMovieEnd(TPageParse&)
{
    try {
        if (m_albumTable->GetCount() == 0) {
            EndProcess();
            return;
        }
        if (m_albumTable->GetCount() == 1) {
            m_collectId = m_albumTable->GetKey(0);
            ParseXunleiByAlbumList();
            return;
        }
        ChooseXunleiAlbum();
    } catch (...) {
        EndProcess();
    }
}

void CollectionEngine::ChooseXunleiAlbum()
{
    std::vector<QString> lines;
    for (const std::string& entry : m_albumTable->Strings())
        lines.push_back(gbk::ToUnicode(entry));
    const QPointer<CollectionEngine> alive(this);
    // A copy: the chooser's owner may go, and this engine with it, while the choice is open.
    const AlbumChooser chooser = m_chooser;
    const int chosen = m_album ? *m_album - 1 : chooser ? chooser(lines) : -1;
    if (!alive)
        return;  // the form went away while the chooser was open
    if (chosen < 0 || chosen >= m_albumTable->GetCount()) {
        EndProcess();
        return;
    }
    m_collectId = m_albumTable->GetKey(chosen);
    ParseXunleiByAlbumList();
}

void CollectionEngine::ParseXunleiByAlbumList()
{
    const std::string url =
        std::string(sitehosts::kXunleiDataRoot) + "/voddata/xml/movieinfo/album/" + m_collectId + ".xml";
    ParseXunleiAlbumList(url, m_collectId, 0);
}

void CollectionEngine::ParseXunleiAlbumList(const std::string& url, const std::string& id, int index)
{
    StartWorker<TXunleiAlbumListParse>(url, id, index, &CollectionEngine::GetXunleiUrl);
}

void CollectionEngine::GetXunleiUrl(const std::string& Html, const std::string&, const std::string& Caption,
                                    const std::string&, int, TPageParse&)
{
    AddRow(RowFields{Caption, XunleiSourceAddress(Html), std::string(), std::string(), true});
}

}  // namespace quib::collect
