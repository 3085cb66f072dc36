#pragma once
// The video search dialog (视频搜索): a keyword, the kind of result (videos or albums) and the
// source to search.
#include "collect/resourcesearch.h"
#include "ui_searchform.h"

#include <QDialog>

#include <string>
#include <vector>

namespace quib {
class IApp;
}

namespace quib::admin {

class TSearchForm : public QDialog, private Ui::TSearchForm {
    Q_OBJECT
public:
    TSearchForm(QWidget* owner, IApp* app);

    void FormCreate();
    void OkButtonClick();

    void SetKeyword(const QString& keyword) { KeyEdit->setText(keyword); }
    QString Keyword() const { return KeyEdit->text(); }
    // 0 for videos, 1 for albums.
    int ResultType() const { return TypeComboBox->currentIndex(); }

    // The chosen source's key ("tudou", "wole", ... "baidu", "api"); empty until a source is chosen.
    std::string SearchSite;
    // The operator's resource sites, as the list file held them when the dialog opened.
    std::vector<collect::ResourceSite> ApiSites;
    // The resource sites to search: all of them, or the one chosen in the list.
    std::vector<collect::ResourceSite> ChosenApiSites() const;

private:
    IApp* m_app;
};

}  // namespace quib::admin
