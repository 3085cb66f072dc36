#pragma once
// The collector's main window: one tab per registered CMS site, the quick-collect tab and the
// help tab, with the site commands in the tab strip's context menu.
#include "host/core/app.h"
#include "results/formatowner.h"
#include "host/framework/module.h"
#include "shell/sheetdata.h"
#include "admin/sitedata.h"
#include "shell/sitefile.h"
#include "host/core/stringhashtable.h"
#include "ui_mainform.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QMenu;
namespace quib::collect {
class TApiPage;
class TParseForm;
}  // namespace quib::collect
namespace quib::admin {
class TWebPage;
}

namespace quib::collector {

class THelpPage;

class TMainForm : public QWidget, public IModule, public results::IFormatOwner, private Ui::TMainForm {
    Q_OBJECT
public:
    TMainForm(QWidget* owner, IApp& app);
    ~TMainForm() override;

    // IModule
    QWidget* GetForm() override { return this; }
    void AfterShow(IModule* module) override;
    std::string About() override;

    // IFormatOwner: the custom copy template lives here for the module's session.
    std::string GetFormat() override { return Format; }
    void SetFormat(const std::string& format) override { Format = format; }

    void CreateSite(admin::TSiteData* site);
    void PageControlChange(int index);
    void PageControlMouseDown(Qt::MouseButton button, const QPoint& pos);
    // CaijiTabSheet is the 快速采集 tab (caiji: 采集); keeps the docked collection form centred.
    void CaijiTabSheetResize();
    bool FormCloseQuery();
    void FormClose();
    // Asked by the host before it closes the form.
    Q_INVOKABLE bool CanClose() { return FormCloseQuery(); }

    // The module's settings and name, from the host. Apart from the constructor because a host
    // that fails here still leaves the window made, with its owner, for the error it is told of.
    void LoadProperties();
    void LoadSites();
    // The site commands of SitePopupMenu; the names are those of the form definition's bar buttons.
    void AddSiteNavButtonClick();
    void EditSiteNavButtonClick();
    void DelSiteNavButtonClick();

    SiteDocument Document;
    QMenu* SitePopupMenu;
    THelpPage* HelpPage = nullptr;
    collect::TParseForm* ParseForm = nullptr;
    collect::TApiPage* ApiPage = nullptr;  // the resource sites' page, with a collection form of its own
    std::unique_ptr<TStringHashTable> Properties;
    IApp* App = nullptr;
    std::string ModuleName;
    std::string Format;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString SiteFilePath() const;
    void SaveSites();
    // The tab's TSheetData; none for the two fixed tabs.
    TSheetData* SheetData(QWidget* sheet) const;
    // Puts a form's panel onto a tab, filling it.
    static void Dock(QWidget* panel, QWidget* sheet);
    void FreeSheet(QWidget* sheet);

    std::vector<std::unique_ptr<admin::TSiteData>> m_sites;
    std::map<QWidget*, std::unique_ptr<TSheetData>> m_sheets;
    QPointer<QWidget> m_popupSheet;  // the site tab last right-clicked (the menu's tag)
    bool m_closed = false;
};

}  // namespace quib::collector
