#include "shell/mainform.h"

#include "host/browser/browsertab.h"
#include "host/core/gbk.h"
#include "shell/helppage.h"
#include "host/core/messageservice.h"
#include "collect/apipage.h"
#include "host/core/messageservice.h"
#include "collect/parse.h"
#include "admin/webpage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

#include <exception>

namespace quib::collector {

using namespace quib::admin;
using namespace quib::collect;
using namespace quib::results;

TMainForm::TMainForm(QWidget* owner, IApp& app) : QWidget(owner), App(&app)
{
    setupUi(this);
    AddSiteNavButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogNewFolder));
    EditSiteNavButton->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    DelSiteNavButton->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    SitePopupMenu = new QMenu(this);
    SitePopupMenu->setObjectName(QStringLiteral("SitePopupMenu"));
    SitePopupMenu->addActions({AddSiteNavButton, EditSiteNavButton, DelSiteNavButton});
    PageControl->setCurrentWidget(CaijiTabSheet);
    // The hand is for the tabs; the pages under them keep their own cursors.
    PageControl->tabBar()->setCursor(Qt::PointingHandCursor);
    PageControl->tabBar()->installEventFilter(this);
    PageControl->installEventFilter(this);
    CaijiTabSheet->installEventFilter(this);
    connect(PageControl, &QTabWidget::currentChanged, this, &TMainForm::PageControlChange);
    connect(AddSiteNavButton, &QAction::triggered, this, &TMainForm::AddSiteNavButtonClick);
    connect(EditSiteNavButton, &QAction::triggered, this, &TMainForm::EditSiteNavButtonClick);
    connect(DelSiteNavButton, &QAction::triggered, this, &TMainForm::DelSiteNavButtonClick);
}

TMainForm::~TMainForm()
{
    // A host that frees the window without closing it still gets the settings written.
    FormClose();
}

void TMainForm::LoadProperties()
{
    Properties = App->GetProperties();
    if (!Properties)  // a host without settings for us: start from an empty table
        Properties = std::make_unique<TStringHashTable>();
    ModuleName = gbk::FromUnicode(App->GetModuleName());
}

std::string TMainForm::About() { return "res://" + ModuleName + ".bpl/About"; }

void TMainForm::AfterShow(IModule*)
{
    LoadSites();

    // The whole collection form goes into the panel: its table and copy buttons sit beside its
    // own MainPanel. Docked, its parent is the panel, so it is told who holds the template.
    ParseForm = new TParseForm(this, App);
    ParseForm->SetFormatOwner(this);
    Dock(ParseForm, MainPanel);

    HelpPage = new THelpPage(this, App);
    Dock(HelpPage->ContentPanel, HelpTabSheet);

    // After the help tab, so a remembered tab index keeps meaning the tab it meant.
    ApiPage = new TApiPage(this, App);
    ApiPage->ParseForm().SetFormatOwner(this);
    Dock(ApiPage, ApiTabSheet);
    ApiPage->LoadSites();

    Format = Properties ? Properties->GetValue("Format", "") : std::string();
    bool number = false;
    int index = QString::fromStdString(Properties ? Properties->GetValue("DefaultSheet", "0") : "0").toInt(&number);
    if (!number)
        index = 0;
    if (index >= 0 && index < PageControl->count())
        PageControl->setCurrentIndex(index);
    CaijiTabSheetResize();
}

void TMainForm::Dock(QWidget* panel, QWidget* sheet)
{
    if (!panel)
        return;
    auto* layout = qobject_cast<QVBoxLayout*>(sheet->layout());
    if (!layout) {
        layout = new QVBoxLayout(sheet);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    panel->setParent(sheet);
    layout->addWidget(panel);
    panel->show();
}

void TMainForm::CreateSite(TSiteData* site)
{
    auto* sheet = new QWidget(PageControl);
    auto sheetData = std::make_unique<TSheetData>();
    sheetData->Site = site;
    sheetData->Page = new TWebPage(this, App, gbk::ToUnicode(site->Url));
    TSheetData& stored = *sheetData;
    m_sheets[sheet] = std::move(sheetData);
    PageControl->insertTab(0, sheet, gbk::ToUnicode(site->Title));
    Dock(stored.Page->ContentPanel, sheet);
    stored.Page->Site = site;
}

TSheetData* TMainForm::SheetData(QWidget* sheet) const
{
    const auto found = m_sheets.find(sheet);
    return found == m_sheets.end() ? nullptr : found->second.get();
}

void TMainForm::PageControlChange(int index)
{
    QWidget* sheet = PageControl->widget(index);
    TTabWebForm* page = nullptr;
    if (sheet == HelpTabSheet)
        page = HelpPage;
    else if (TSheetData* sheetData = SheetData(sheet))
        page = sheetData->Page;
    if (!page)
        return;
    if (!page->GetActiveBrowser()) {
        page->AfterShow(this);
        if (TBrowserTab* tab = page->GetActiveBrowser())
            tab->Fixed = true;
    } else if (page != HelpPage) {
        page->BrowserTabs->setCurrentIndex(0);
    }
}

void TMainForm::PageControlMouseDown(Qt::MouseButton button, const QPoint& pos)
{
    if (button != Qt::RightButton)
        return;
    EditSiteNavButton->setVisible(false);
    DelSiteNavButton->setVisible(false);
    const int index = PageControl->tabBar()->tabAt(pos);
    QWidget* sheet = index >= 0 ? PageControl->widget(index) : nullptr;
    if (sheet && SheetData(sheet)) {
        EditSiteNavButton->setVisible(true);
        DelSiteNavButton->setVisible(true);
        m_popupSheet = sheet;
    }
    SitePopupMenu->popup(PageControl->tabBar()->mapToGlobal(pos));
}

void TMainForm::CaijiTabSheetResize()
{
    const QSize client = CaijiTabSheet->contentsRect().size();
    const int top = client.height() > MainPanel->height() ? (client.height() - MainPanel->height()) / 2 : 0;
    const int left = client.width() > MainPanel->width() ? (client.width() - MainPanel->width()) / 2 : 0;
    MainPanel->move(left, top);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && (watched == PageControl->tabBar() || watched == PageControl)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        QPoint pos = mouse->position().toPoint();
        if (watched == PageControl) {
            // The strip beside the tabs belongs to the tab control itself.
            if (pos.y() > PageControl->tabBar()->geometry().bottom())
                return QWidget::eventFilter(watched, event);
            pos = PageControl->tabBar()->mapFrom(PageControl, pos);
        }
        if (mouse->button() == Qt::RightButton) {
            PageControlMouseDown(mouse->button(), pos);
            return true;  // a right-click never selects a tab
        }
    } else if (event->type() == QEvent::Resize && watched == CaijiTabSheet) {
        CaijiTabSheetResize();
    }
    return QWidget::eventFilter(watched, event);
}

bool TMainForm::FormCloseQuery()
{
    if (!ParseForm)
        return true;
    // The window itself counts, not whether its page is in front: behind another module's page
    // the collection runs all the same.
    const bool running = ParseForm->Running() || (ApiPage && ApiPage->ParseForm().Running());
    if (running && !isHidden()) {
        // Refused, so the collection goes on, as the message tells the operator: stopping it is
        // his choice, made with 终止.
        App->GetMessages().Info(QStringLiteral("请先停止当前的采集工作！"));
        return false;
    }
    ParseForm->RequestStop();
    if (ApiPage)
        ApiPage->ParseForm().RequestStop();
    return true;
}

void TMainForm::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    if (HelpPage) {
        HelpPage->CloseForm();
        delete HelpPage;
        HelpPage = nullptr;
    }
    if (ParseForm) {
        ParseForm->FormClose();
        delete ParseForm;
        ParseForm = nullptr;
    }
    if (ApiPage) {
        ApiPage->ParseForm().FormClose();
        delete ApiPage;
        ApiPage = nullptr;
    }
    for (int i = 0; i < PageControl->count(); ++i) {
        TSheetData* sheetData = SheetData(PageControl->widget(i));
        if (sheetData && sheetData->Page) {
            sheetData->Page->CloseForm();
            delete sheetData->Page;
            sheetData->Page = nullptr;
        }
    }
    if (!Properties || !App || ModuleName.empty())
        return;
    try {
        Properties->Clear();
        Properties->Add("Format", Format);
        Properties->Add("DefaultSheet", std::to_string(PageControl->currentIndex()));
        Properties->SaveToFile(App->GetAppPath() + QString::fromStdString(ModuleName) + QStringLiteral(".properties"));
    } catch (const std::exception& e) {
        // The old file stays (the save replaces it whole or not at all); the log may be on the same
        // full disk, so the operator hears of it too.
        App->WriteLog(QStringLiteral("保存设置失败！"), QString::fromUtf8(e.what()), windowTitle());
        App->GetMessages().Alert(QStringLiteral("保存设置失败！"));
    }
    Properties.reset();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

}  // namespace quib::collector
