// 编辑数据: the bulk title rewrites over the rows in the context menu's edit scope.
#include "parse.h"

#include "bulkedit.h"
#include "dataview.h"
#include "editform.h"
#include "memdata.h"
#include "messageservice.h"
#include "rowwalk.h"
#include "viewfreeze.h"

void TParseForm::EditButtonClick()
{
    if (!Data().Active())
        return;
    BulkEditSettings settings;
    {
        TEditForm dialog(this, App);
        if (App->GetMessages().ShowModal(dialog) != QDialog::Accepted)
            return;
        settings = dialog.Settings();
    }
    const ViewFreeze freeze(View());
    MemData& data = Data();
    const std::vector<int> rows = EditWalk(GridPopupMenu->Scope, View().SelectedRows(), data.Count());
    WalkRows(data, rows, [&](int row) {
        const ResultRow& item = data.Row(row);
        if (!item.Status)
            return;  // unchecked rows are never edited
        RowFields fields;
        fields.Caption = bulkedit::EditTitle(item.Caption, item.RecId, settings, kCaptionSize);
        data.Update(row, fields);
    });
}
