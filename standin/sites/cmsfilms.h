#pragma once
// The films of the stand-in CMS: 保存 on the film form (admin_save.asp) keeps a film, 影片管理
// (admin_p.asp) lists them and 修改 (admin_p.asp?action=edit&id=N) reopens one, as the CMS's own
// pages did. Each CMS version has a database of its own, with two films in it at first, for as
// long as the web runs.
#include "standin/standinweb.h"

#include <memory>
#include <string>

namespace quib::standin {

// What the film pages need to know of the CMS version that serves them.
struct CmsFilmVersion {
    std::string name;    // "3.1", "4.x", "5.0", "6.0"
    bool playerSelects;  // player types chosen from a list (5.0 on)
};

// Every administration page's frame around its body, in the CMS's own layout.
std::string CmsPage(const std::string& title, const std::string& body);

class CmsFilmStore;
std::shared_ptr<CmsFilmStore> MakeCmsFilmStore();

// Answers admin_save.asp and admin_p.asp (the list, or the edit form with action=edit) for one
// version; false for any other page.
bool AnswerFilmPage(CmsFilmStore& store, const CmsFilmVersion& version, const std::string& page,
                    const StandinRequest& request, httplib::Response& response);

}  // namespace quib::standin
