// Copy and export: the checked rows onto the clipboard in a fixed layout or the custom template.
#include "parse.h"

#include "copyjoiner.h"
#include "copylayout.h"
#include "dataview.h"
#include "exportform.h"
#include "gbk.h"
#include "memdata.h"
#include "messageservice.h"
#include "rowwalk.h"

#include <QClipboard>
#include <QGuiApplication>

IFormatOwner& TParseForm::FormatOwner()
{
    if (formatOwner_)
        return *formatOwner_;
    if (auto* owner = dynamic_cast<IFormatOwner*>(parent()))
        return *owner;
    return ownFormat_;
}

void TParseForm::CopyData(int layout)
{
    CopyLayout kind;
    if (!CopyLayoutFromInt(layout, kind))
        return;
    const std::string format = kind == CopyLayout::Template ? FormatOwner().GetFormat() : std::string();
    CopyJoiner joiner(SpinEdit->value());
    MemData& data = Data();
    if (data.Active()) {
        const WalkEnd end = WalkRows(data, View().DisplayOrder(), [&](int row) {
            const ResultRow& item = data.Row(row);
            if (item.Status)
                joiner.Add(CopyItem(kind, item, format));
        });
        if (end == WalkEnd::TableGone)
            return;  // the form went away while the list was being copied
    }
    QGuiApplication::clipboard()->setText(gbk::ToUnicode(joiner.Text()));
}

void TParseForm::CopyAllButtonClick() { CopyData(0); }

void TParseForm::CopyButtonClick() { CopyData(1); }

void TParseForm::CopyLinkButtonClick() { CopyData(2); }

void TParseForm::ExportButtonClick()
{
    std::string format;
    {
        TExportForm dialog(this, App);
        dialog.SetFormat(FormatOwner().GetFormat());
        if (App->GetMessages().ShowModal(dialog) != QDialog::Accepted)
            return;
        format = dialog.Format();
    }
    FormatOwner().SetFormat(format);
    CopyData(static_cast<int>(CopyLayout::Template));
}
