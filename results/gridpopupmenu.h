#pragma once
// The grid's context menu: its items in their fixed order, each caption also its hint,
// and the edit scope that bulk edit reads.
#include "results/gridcommands.h"

#include <QMenu>

namespace quib::results {

class TGridPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit TGridPopupMenu(QWidget* parent = nullptr);

    // Shows and hides the items and sets the scope as the spot asks.
    void Apply(const MenuItemsShown& shown);
    MenuItemsShown Shown() const;

    // Menu items that keep the names of the bar buttons they were (DeSelButton inverts the marks).
    QAction* EditButton;         // 编辑数据
    QAction* FindButton;         // 快速查找
    QAction* SelAllButton;       // 全部选中
    QAction* UnSelAllButton;     // 全部取消
    QAction* DeSelButton;        // 反向选择
    QAction* LinkButton;         // 访问页面
    QAction* RetryButton;        // 重新采集
    QAction* AutoRetryButton;    // 自动重采
    QAction* EpisodeSortButton;  // 按集数排序
    QAction* UnSelRepeatButton;  // 取消重复地址
    EditScope Scope = EditScope::AllChecked;

private:
    QAction* AddItem(const char* name, const QString& caption);
};

}  // namespace quib::results
