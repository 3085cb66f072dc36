#pragma once
// The resource-site page (资源站) of the collector's window: the operator's resource sites, one
// keyword search over all of them at once, the merged list of series found, and below it a
// collection form whose grid takes the episodes of the series double-clicked.
#include "collect/resourcesearch.h"
#include "collect/resourcesitelist.h"
#include "collect/stopflag.h"
#include "ui_apipage.h"

#include <QWidget>

#include <optional>
#include <vector>

namespace quib {
class IApp;
}

namespace quib::collect {

class TParseForm;

class TApiPage : public QWidget, public Ui::TApiPage {
    Q_OBJECT
public:
    TApiPage(QWidget* owner, IApp* app);
    ~TApiPage() override;

    TParseForm& ParseForm() { return *m_parseForm; }

    // Shows the sites the list file holds; says so when it cannot be read.
    void LoadSites();
    void AddButtonClick();
    void EditButtonClick();
    void DelButtonClick();

    // Searches every listed site for the keyword; SearchEnded tells when the list is filled.
    void SearchButtonClick();
    bool Searching() const { return m_searching; }
    // What the last search found, in the order listed, and how each site answered.
    const ResourceSearch& LastSearch() const { return m_search; }
    // Collects the episodes of the series at that row of the result list into the grid.
    void ResultListDblClick(int row);

signals:
    void SearchEnded();

private:
    QString ListPath() const;
    // The list as the file has it now; an unreadable file gives an empty list (a save then
    // keeps the file aside).
    ResourceSiteList ReadList();
    // Saves and shows the list; false (said) when it could not be saved.
    bool WriteList(const ResourceSiteList& list, const QString& failure);
    void ShowSites(const std::vector<ResourceSite>& sites);
    std::optional<ResourceSite> SelectedSite() const;
    void ShowSearch(ResourceSearch search);

    IApp* m_app;
    TParseForm* m_parseForm;               // a child of the grid panel
    std::vector<ResourceSite> m_sites;     // as shown
    std::vector<ResourceSite> m_searched;  // the sites the last search asked, in its order
    ResourceSearch m_search;
    StopFlag m_stop;  // the running search's
    bool m_searching = false;
};

}  // namespace quib::collect
