// Wires the result commands of the collection form: the copy buttons, the grid's context menu,
// the check-box header, and the events the form reacts to.
#include "parse.h"

#include "dataview.h"
#include "eventhook.h"
#include "gridfooter.h"
#include "resultgrid.h"

#include <QDesktopServices>
#include <QHeaderView>
#include <QMouseEvent>

namespace {

// The context menu answers a right-button release anywhere on the grid: cells, header, footer.
void HookMouseUp(QWidget& widget, TParseForm& form)
{
    EventHook::Install(widget, QEvent::MouseButtonRelease, [&form](QEvent& event) {
        const auto& mouse = static_cast<QMouseEvent&>(event);
        form.DataViewMouseUp(mouse.button(), mouse.globalPosition().toPoint());
        return false;
    });
}

}  // namespace

void TParseForm::SetupResultCommands()
{
    pageOpener_ = [](const QUrl& address) { QDesktopServices::openUrl(address); };

    connect(CopyAllButton, &QPushButton::clicked, this, [this] { CopyAllButtonClick(); });
    connect(CopyButton, &QPushButton::clicked, this, [this] { CopyButtonClick(); });
    connect(CopyLinkButton, &QPushButton::clicked, this, [this] { CopyLinkButtonClick(); });
    connect(ExportButton, &QPushButton::clicked, this, [this] { ExportButtonClick(); });

    GridPopupMenu = new TGridPopupMenu(this);  // owned by the form
    TGridPopupMenu& menu = *GridPopupMenu;
    connect(menu.EditButton, &QAction::triggered, this, [this] { EditButtonClick(); });
    connect(menu.FindButton, &QAction::triggered, this, [this] { FindButtonClick(); });
    connect(menu.SelAllButton, &QAction::triggered, this, [this] { SelAllButtonClick(); });
    connect(menu.UnSelAllButton, &QAction::triggered, this, [this] { UnSelAllButtonClick(); });
    connect(menu.DeSelButton, &QAction::triggered, this, [this] { DeSelButtonClick(); });
    connect(menu.LinkButton, &QAction::triggered, this, [this] { LinkButtonClick(); });
    connect(menu.RetryButton, &QAction::triggered, this, [this] { RetryButtonClick(); });
    connect(menu.AutoRetryButton, &QAction::triggered, this, [this] { AutoRetryButtonClick(); });

    connect(&View(), &DataView::StatusHeaderClicked, this, [this] { DataViewStatusHeaderClick(); });
    // The menu works on the selection as the user left it, so a right press does not select.
    EventHook::Install(*View().viewport(), QEvent::MouseButtonPress, [](QEvent& event) {
        return static_cast<QMouseEvent&>(event).button() == Qt::RightButton;
    });
    HookMouseUp(*View().viewport(), *this);
    HookMouseUp(*View().horizontalHeader(), *this);
    HookMouseUp(Grid().Footer(), *this);

    EventHook::Install(*UrlEdit, QEvent::MouseButtonDblClick, [this](QEvent&) {
        UrlEditDblClick();
        return true;  // instead of the box's own word selection
    });
    EventHook::Install(*this, QEvent::Close, [this](QEvent&) {
        FormClose();
        return false;
    });
}
