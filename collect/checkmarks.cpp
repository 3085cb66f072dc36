// The check-mark commands: 全部选中, 全部取消, 反向选择 and the check-box column's header.
#include "parse.h"

#include "dataview.h"
#include "memdata.h"
#include "rowwalk.h"
#include "viewfreeze.h"

#include <QGuiApplication>

bool TParseForm::CheckMarksAllowed()
{
    return Data().Active() && !Running();
}

void TParseForm::SetCheckMarks(const std::vector<int>& rows, const std::function<bool(bool)>& mark)
{
    const ViewFreeze freeze(View());
    MemData& data = Data();
    WalkRows(data, rows, [&](int row) { data.SetStatus(row, mark(data.Row(row).Status)); });
}

void TParseForm::SelAllButtonClick()
{
    if (CheckMarksAllowed())
        SetCheckMarks(RowsToCheck(Data().Count(), View().SelectedRows()), [](bool) { return true; });
}

void TParseForm::UnSelAllButtonClick()
{
    if (CheckMarksAllowed())
        SetCheckMarks(AllRows(Data().Count()), [](bool) { return false; });
}

void TParseForm::DeSelButtonClick()
{
    if (CheckMarksAllowed())
        SetCheckMarks(AllRows(Data().Count()), [](bool checked) { return !checked; });
}

void TParseForm::DataViewStatusHeaderClick()
{
    if (QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier))
        UnSelAllButtonClick();
    else
        SelAllButtonClick();
}
