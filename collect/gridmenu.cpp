// The grid's context menu and the commands behind it that work on the selection: quick find and
// visiting a row's page.
#include "parse.h"

#include "dataview.h"
#include "findform.h"
#include "gridfooter.h"
#include "memdata.h"
#include "messageservice.h"
#include "resultgrid.h"

namespace {

bool IsTitleColumn(const DataView& view, int column)
{
    return column >= 0 && view.model()->headerData(column, Qt::Horizontal).toString() == QStringLiteral("标题");
}

}  // namespace

MenuSpot TParseForm::SpotAt(const QPoint& globalPos)
{
    const GridFooter& footer = Grid().Footer();
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

void TParseForm::DataViewMouseUp(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button != Qt::RightButton || Running())
        return;
    GridPopupMenu->Apply(MenuVisibility(SpotAt(globalPos), !View().SelectedRows().empty()));
    GridPopupMenu->popup(globalPos);
}

void TParseForm::FindButtonClick()
{
    if (!Data().Active())
        return;
    std::string text;
    {
        TFindForm dialog(this, App);
        if (App->GetMessages().ShowModal(dialog) != QDialog::Accepted)
            return;
        text = dialog.Text();
    }
    const MemData& data = Data();
    const auto titleOf = [&data](int row) -> const std::string& { return data.Row(row).Caption; };
    View().SelectRows(FindRows(View().DisplayOrder(), titleOf, text));
}

void TParseForm::LinkButtonClick()
{
    const int row = View().FocusedRow();
    if (!Data().Active() || row < 0 || row >= Data().Count())
        return;
    if (const std::optional<QUrl> address = PageAddress(Data().Row(row).Link))
        pageOpener_(*address);
}
