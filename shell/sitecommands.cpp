// The main window's site list: loading it at start and the add, edit and delete commands.
#include "shell/addform.h"
#include "host/core/gbk.h"
#include "shell/mainform.h"
#include "host/core/messageservice.h"
#include "host/framework/resources.h"
#include "admin/webpage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <exception>

namespace quib::collector {

using namespace quib::admin;
using namespace quib::collect;
using namespace quib::results;

namespace {

QString What(const std::exception& e) { return QString::fromUtf8(e.what()); }

}  // namespace

QString TMainForm::SiteFilePath() const
{
    return App->GetAppPath() + QLatin1String(sitefile::kDataFolder) + QLatin1String(sitefile::kFileName);
}

void TMainForm::SaveSites() { Document.SaveToFile(SiteFilePath()); }

void TMainForm::LoadSites()
{
    const QString folder = App->GetAppPath() + QLatin1String(sitefile::kDataFolder);
    const QString path = SiteFilePath();
    sitefile::CarryOverOldFile(folder + QLatin1String(sitefile::kOldFileName), path);
    try {
        if (!QFileInfo::exists(path)) {
            QDir().mkdir(folder);
            GetResFile(QString::fromStdString(ModuleName) + QStringLiteral(".bpl"), QStringLiteral("XML"),
                       QStringLiteral("SITES"), path);
        }
        if (!QFileInfo::exists(path))
            throw std::runtime_error("no site file");
        Document.LoadFromFile(path);
        for (const TSiteData& loaded : Document.Sites()) {
            m_sites.push_back(std::make_unique<TSiteData>(loaded));
            CreateSite(m_sites.back().get());
            QCoreApplication::processEvents();
        }
    } catch (const std::exception& e) {
        App->WriteLog(QStringLiteral("无法加载站点列表！"), What(e), windowTitle());
        Document.SetEmpty();
        App->GetMessages().Alert(QStringLiteral("无法加载站点列表！"));
    }
}

void TMainForm::AddSiteNavButtonClick()
{
    TAddForm dialog(this, App);
    dialog.setWindowTitle(QStringLiteral("添加站点"));
    if (App->GetMessages().ShowModal(dialog) != QDialog::Accepted)
        return;
    try {
        if (SiteDocument::FindSiteNode(Document.Root(), dialog.Url())) {
            App->GetMessages().Info(QStringLiteral("该地址已经存在！"));
            return;
        }
        auto site = std::make_unique<TSiteData>(TSiteData{dialog.Title(), dialog.Url(), "0", dialog.Version()});
        Document.AppendSite(*site);
        m_sites.push_back(std::move(site));
        CreateSite(m_sites.back().get());
        SaveSites();
    } catch (const std::exception& e) {
        App->WriteLog(QStringLiteral("添加站点失败！"), What(e), windowTitle());
        App->GetMessages().Alert(QStringLiteral("添加站点失败！"));
    }
}

void TMainForm::EditSiteNavButtonClick()
{
    QWidget* sheet = m_popupSheet;
    TSheetData* sheetData = sheet ? SheetData(sheet) : nullptr;
    if (!sheetData)
        return;
    TSiteData& site = *sheetData->Site;
    TAddForm dialog(this, App);
    dialog.SetSite(site.Title, site.Url, site.Version);
    dialog.setWindowTitle(QStringLiteral("修改站点"));
    if (App->GetMessages().ShowModal(dialog) != QDialog::Accepted)
        return;
    const pugi::xml_node node = SiteDocument::FindSiteNode(Document.Root(), site.Url);
    if (!node) {
        App->GetMessages().Alert(QStringLiteral("该站点已经被删除！"));
        return;
    }
    try {
        site.Title = dialog.Title();
        site.Url = dialog.Url();
        site.Version = dialog.Version();
        SiteDocument::UpdateSite(node, site);
        PageControl->setTabText(PageControl->indexOf(sheet), gbk::ToUnicode(site.Title));
        SaveSites();
    } catch (const std::exception& e) {
        App->WriteLog(QStringLiteral("修改站点失败！"), What(e), windowTitle());
        App->GetMessages().Alert(QStringLiteral("修改站点失败！"));
    }
}

void TMainForm::DelSiteNavButtonClick()
{
    QWidget* sheet = m_popupSheet;
    TSheetData* sheetData = sheet ? SheetData(sheet) : nullptr;
    if (!sheetData)
        return;
    const QString question =
        QStringLiteral("确定要删除站点【") + gbk::ToUnicode(sheetData->Site->Title) + QStringLiteral("】吗？");
    if (!App->GetMessages().Question(question))
        return;
    try {
        // A failed save leaves the node in the list, as the tab stays too.
        if (pugi::xml_node node = SiteDocument::FindSiteNode(Document.Root(), sheetData->Site->Url))
            Document.RemoveSiteAndSave(node, SiteFilePath());
    } catch (const std::exception& e) {
        App->WriteLog(QStringLiteral("删除站点失败！"), What(e), windowTitle());
        App->GetMessages().Alert(QStringLiteral("删除站点失败！"));
        return;
    }
    FreeSheet(sheet);
}

void TMainForm::FreeSheet(QWidget* sheet)
{
    const auto found = m_sheets.find(sheet);
    if (found == m_sheets.end())
        return;
    std::unique_ptr<TSheetData> sheetData = std::move(found->second);
    m_sheets.erase(found);
    if (sheetData->Page) {
        sheetData->Page->CloseForm();
        delete sheetData->Page;
    }
    PageControl->removeTab(PageControl->indexOf(sheet));
    delete sheet;
    std::erase_if(m_sites,
                  [&sheetData](const std::unique_ptr<TSiteData>& site) { return site.get() == sheetData->Site; });
}

}  // namespace quib::collector
