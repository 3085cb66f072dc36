#pragma once
// The commands over a result grid and its table: copy and export, the check marks, the context
// menu with quick find, bulk edit, visiting a row's page, the episode order and unchecking
// repeated addresses. A form owns one and forwards its
// buttons' handlers to it.
#include "host/core/app.h"
#include "results/formatowner.h"

#include <QObject>
#include <QPoint>
#include <QUrl>

#include <functional>
#include <vector>

class QSpinBox;
class QWidget;

namespace quib::results {

class DataView;
class MemData;
class ResultGrid;
class TGridPopupMenu;
enum class MenuSpot;

class ResultCommands : public QObject {
    Q_OBJECT
public:
    // owner parents the dialogs and the menu; mergeCount is the 每 N 行合成为一行 box.
    ResultCommands(QWidget& owner, IApp& app, ResultGrid& grid, QSpinBox& mergeCount);

    TGridPopupMenu& PopupMenu() { return *m_menu; }

    // Copy and export: the checked rows in a fixed layout or the custom template.
    void CopyData(int layout);
    void CopyAllButtonClick();
    void CopyButtonClick();
    void CopyLinkButtonClick();
    void ExportButtonClick();
    // The template's holder; without one, the owner's parent if it holds it, else a session copy.
    void SetFormatOwner(IFormatOwner* owner) { m_formatOwner = owner; }

    // The check marks: 全部选中, 全部取消, 反向选择 and the check-box column's header.
    void SelAllButtonClick();
    void UnSelAllButtonClick();
    void DeSelButtonClick();
    void DataViewStatusHeaderClick();

    // The context menu and the commands behind it.
    void DataViewMouseUp(Qt::MouseButton button, const QPoint& globalPos);
    void FindButtonClick();
    void LinkButtonClick();
    void EditButtonClick();
    // 按集数排序 and 取消重复地址, over the rows in the order shown.
    void EpisodeSortButtonClick();
    void UnSelRepeatButtonClick();

    // While it answers true (a collection fills the table) the check marks and the menu rest.
    void SetBusyCheck(std::function<bool()> busy) { m_busy = std::move(busy); }
    // Opens a row's page; by default in the desktop's browser.
    using PageOpener = std::function<void(const QUrl& address)>;
    void SetPageOpener(PageOpener opener) { m_pageOpener = std::move(opener); }

signals:
    // Bulk edit rewrote titles: what was read from them may have changed.
    void TitlesEdited();

private:
    MemData& Data();
    DataView& View();
    IFormatOwner& FormatOwner();
    MenuSpot SpotAt(const QPoint& globalPos);
    bool Busy() const { return m_busy && m_busy(); }
    bool CheckMarksAllowed();
    void SetCheckMarks(const std::vector<int>& rows, const std::function<bool(bool)>& mark);

    QWidget& m_owner;
    IApp& m_app;
    ResultGrid& m_grid;
    QSpinBox& m_mergeCount;
    TGridPopupMenu* m_menu;  // a child of the owner
    IFormatOwner* m_formatOwner = nullptr;
    SessionFormat m_ownFormat;
    PageOpener m_pageOpener;
    std::function<bool()> m_busy;
};

}  // namespace quib::results
