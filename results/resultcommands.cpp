#include "results/resultcommands.h"

#include "results/bulkedit.h"
#include "results/busycursor.h"
#include "results/copytext.h"
#include "results/dataview.h"
#include "results/editform.h"
#include "results/eventhook.h"
#include "results/exportform.h"
#include "results/findform.h"
#include "host/core/gbk.h"
#include "results/gridfooter.h"
#include "results/gridpopupmenu.h"
#include "results/memdata.h"
#include "host/core/messageservice.h"
#include "results/resultgrid.h"
#include "results/rowwalk.h"
#include "results/viewfreeze.h"
#include "results/visitaddress.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QSpinBox>

namespace quib::results {

namespace {

bool IsTitleColumn(const DataView& view, int column)
{
    return column >= 0 && view.model()->headerData(column, Qt::Horizontal).toString() == QStringLiteral("标题");
}

}  // namespace

ResultCommands::ResultCommands(QWidget& owner, IApp& app, ResultGrid& grid, QSpinBox& mergeCount)
    : QObject(&owner), m_owner(owner), m_app(app), m_grid(grid), m_mergeCount(mergeCount),
      m_menu(new TGridPopupMenu(&owner)), m_pageOpener([](const QUrl& address) { QDesktopServices::openUrl(address); })
{
    connect(m_menu->EditButton, &QAction::triggered, this, [this] { EditButtonClick(); });
    connect(m_menu->FindButton, &QAction::triggered, this, [this] { FindButtonClick(); });
    connect(m_menu->SelAllButton, &QAction::triggered, this, [this] { SelAllButtonClick(); });
    connect(m_menu->UnSelAllButton, &QAction::triggered, this, [this] { UnSelAllButtonClick(); });
    connect(m_menu->DeSelButton, &QAction::triggered, this, [this] { DeSelButtonClick(); });
    connect(m_menu->LinkButton, &QAction::triggered, this, [this] { LinkButtonClick(); });
    connect(m_menu->EpisodeSortButton, &QAction::triggered, this, [this] { EpisodeSortButtonClick(); });
    connect(m_menu->UnSelRepeatButton, &QAction::triggered, this, [this] { UnSelRepeatButtonClick(); });

    connect(&View(), &DataView::StatusHeaderClicked, this, [this] { DataViewStatusHeaderClick(); });
    // The menu works on the selection as the user left it, so a right press does not select.
    EventHook::Install(*View().viewport(), QEvent::MouseButtonPress,
                       [](QEvent& event) { return static_cast<QMouseEvent&>(event).button() == Qt::RightButton; });
    // The context menu answers a right-button release anywhere on the grid: cells, header, footer.
    for (QWidget* part : {static_cast<QWidget*>(View().viewport()), static_cast<QWidget*>(View().horizontalHeader()),
                          static_cast<QWidget*>(&m_grid.Footer())})
        EventHook::Install(*part, QEvent::MouseButtonRelease, [this](QEvent& event) {
            const auto& mouse = static_cast<QMouseEvent&>(event);
            DataViewMouseUp(mouse.button(), mouse.globalPosition().toPoint());
            return false;
        });
}

MemData& ResultCommands::Data() { return m_grid.Data(); }

DataView& ResultCommands::View() { return m_grid.View(); }

// Copy and export.

IFormatOwner& ResultCommands::FormatOwner()
{
    if (m_formatOwner)
        return *m_formatOwner;
    if (auto* owner = dynamic_cast<IFormatOwner*>(m_owner.parent()))
        return *owner;
    return m_ownFormat;
}

void ResultCommands::CopyData(int layout)
{
    CopyLayout kind;
    if (!CopyLayoutFromInt(layout, kind))
        return;
    const std::string format = kind == CopyLayout::Template ? FormatOwner().GetFormat() : std::string();
    // A copy of a hundred thousand rows takes seconds; the window says it is at work.
    const BusyCursor busy;
    const CopiedText copy = CopyText(Data(), View().DisplayOrder(), kind, format, m_mergeCount.value());
    if (copy.gone)
        return;  // the form went away while the list was being copied
    QGuiApplication::clipboard()->setText(copy.text);
    m_grid.SetNote(copy.withoutAddress > 0
                       ? QStringLiteral("已复制 %1 条，%2 条无地址未复制").arg(copy.copied).arg(copy.withoutAddress)
                       : QStringLiteral("已复制 %1 条").arg(copy.copied));
}

void ResultCommands::CopyAllButtonClick() { CopyData(0); }

void ResultCommands::CopyButtonClick() { CopyData(1); }

void ResultCommands::CopyLinkButtonClick() { CopyData(2); }

void ResultCommands::ExportButtonClick()
{
    std::string format;
    {
        TExportForm dialog(&m_owner, &m_app);
        dialog.SetFormat(FormatOwner().GetFormat());
        if (m_app.GetMessages().ShowModal(dialog) != QDialog::Accepted)
            return;
        format = dialog.Format();
    }
    FormatOwner().SetFormat(format);
    CopyData(static_cast<int>(CopyLayout::Template));
}

// The check marks.

bool ResultCommands::CheckMarksAllowed() { return Data().Active() && !Busy(); }

void ResultCommands::SetCheckMarks(const std::vector<int>& rows, const std::function<bool(bool)>& mark)
{
    const ViewFreeze freeze(View());
    MemData& data = Data();
    WalkRows(data, rows, [&](int row) { data.SetStatus(row, mark(data.Row(row).Status)); });
}

void ResultCommands::SelAllButtonClick()
{
    if (CheckMarksAllowed())
        SetCheckMarks(RowsToCheck(Data().Count(), View().SelectedRows()), [](bool) { return true; });
}

void ResultCommands::UnSelAllButtonClick()
{
    if (CheckMarksAllowed())
        SetCheckMarks(AllRows(Data().Count()), [](bool) { return false; });
}

void ResultCommands::DeSelButtonClick()
{
    if (CheckMarksAllowed())
        SetCheckMarks(AllRows(Data().Count()), [](bool checked) { return !checked; });
}

void ResultCommands::UnSelRepeatButtonClick()
{
    if (CheckMarksAllowed())
        SetCheckMarks(RepeatedCheckedAddresses(Data(), View().DisplayOrder()), [](bool) { return false; });
}

void ResultCommands::DataViewStatusHeaderClick()
{
    if (QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier))
        UnSelAllButtonClick();
    else
        SelAllButtonClick();
}

// The context menu, quick find and visiting a row's page.

MenuSpot ResultCommands::SpotAt(const QPoint& globalPos)
{
    const GridFooter& footer = m_grid.Footer();
    const QPoint inFooter = footer.mapFromGlobal(globalPos);
    if (footer.rect().contains(inFooter))
        return IsTitleColumn(View(), footer.ColumnAt(inFooter.x())) ? MenuSpot::TitleFooter : MenuSpot::Elsewhere;
    const QWidget& viewport = *View().viewport();
    const QPoint inView = viewport.mapFromGlobal(globalPos);
    if (!viewport.rect().contains(inView))
        return MenuSpot::Elsewhere;
    const QModelIndex cell = View().indexAt(inView);
    return cell.isValid() && IsTitleColumn(View(), cell.column()) ? MenuSpot::TitleCell : MenuSpot::Elsewhere;
}

void ResultCommands::DataViewMouseUp(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button != Qt::RightButton || Busy())
        return;
    m_menu->Apply(MenuVisibility(SpotAt(globalPos), !View().SelectedRows().empty()));
    m_menu->popup(globalPos);
}

void ResultCommands::FindButtonClick()
{
    if (!Data().Active())
        return;
    std::string text;
    {
        TFindForm dialog(&m_owner, &m_app);
        if (m_app.GetMessages().ShowModal(dialog) != QDialog::Accepted)
            return;
        text = dialog.Text();
    }
    const MemData& data = Data();
    const auto titleOf = [&data](int row) -> const std::string& { return data.Row(row).Caption; };
    View().SelectRows(FindRows(View().DisplayOrder(), titleOf, text));
}

void ResultCommands::LinkButtonClick()
{
    const int row = View().FocusedRow();
    if (!Data().Active() || row < 0 || row >= Data().Count())
        return;
    if (const std::optional<QUrl> address = VisitAddress(Data().Row(row).Link))
        m_pageOpener(*address);
}

// The rows stay where they are in the table; only the view shows them in episode order, so the
// copy commands (which follow the view) write them so, and a header click restores a column's.
void ResultCommands::EpisodeSortButtonClick()
{
    if (!Data().Active() || Busy())
        return;
    View().ShowInOrder(ByEpisode(Data(), View().DisplayOrder()));
}

// 编辑数据: the bulk title rewrites over the rows in the context menu's edit scope.
void ResultCommands::EditButtonClick()
{
    if (!Data().Active())
        return;
    BulkEditSettings settings;
    {
        TEditForm dialog(&m_owner, &m_app);
        if (m_app.GetMessages().ShowModal(dialog) != QDialog::Accepted)
            return;
        settings = dialog.Settings();
    }
    const ViewFreeze freeze(View());
    MemData& data = Data();
    const std::vector<int> rows = EditWalk(m_menu->Scope, View().SelectedRows(), data.Count());
    const WalkEnd end = WalkRows(data, rows, [&](int row) {
        const ResultRow& item = data.Row(row);
        if (!item.Status)
            return;  // unchecked rows are never edited
        RowFields fields;
        fields.Caption = bulkedit::EditTitle(item.Caption, item.RecId, settings, kCaptionSize);
        data.Update(row, fields);
    });
    if (end != WalkEnd::TableGone)  // else the form, and these commands, went with the table
        emit TitlesEdited();
}

}  // namespace quib::results
