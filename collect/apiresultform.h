#pragma once
// The video search's resource-site source: searches the chosen sites for the keyword as it opens
// and lists the series found; OK (or a double-click) picks one, whose record address Chosen gives.
#include "collect/resourcesearch.h"
#include "collect/stopflag.h"
#include "ui_apiresultform.h"

#include <QDialog>

#include <vector>

namespace quib {
class IApp;
}

namespace quib::collect {

class TApiResultForm : public QDialog, public Ui::TApiResultForm {
    Q_OBJECT
public:
    TApiResultForm(QWidget* owner, IApp* app, std::vector<ResourceSite> sites, const QString& word);
    ~TApiResultForm() override;

    bool Searching() const { return m_searching; }
    const ResourceSearch& Result() const { return m_search; }
    // The record address of the series picked; empty before OK.
    QString Chosen() const { return m_chosen; }
    void OkButtonClick();

signals:
    void SearchEnded();

private:
    void ShowSearch(ResourceSearch search);

    std::vector<ResourceSite> m_sites;
    ResourceSearch m_search;
    StopFlag m_stop;
    bool m_searching = true;
    QString m_chosen;
};

}  // namespace quib::collect
