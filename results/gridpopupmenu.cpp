#include "results/gridpopupmenu.h"

namespace quib::results {

TGridPopupMenu::TGridPopupMenu(QWidget* parent)
    : QMenu(parent), EditButton(AddItem("EditButton", QStringLiteral("编辑数据"))),
      FindButton(AddItem("FindButton", QStringLiteral("快速查找"))),
      SelAllButton(AddItem("SelAllButton", QStringLiteral("全部选中"))),
      UnSelAllButton(AddItem("UnSelAllButton", QStringLiteral("全部取消"))),
      DeSelButton(AddItem("DeSelButton", QStringLiteral("反向选择"))),
      LinkButton(AddItem("LinkButton", QStringLiteral("访问页面"))),
      RetryButton(AddItem("RetryButton", QStringLiteral("重新采集"))),
      AutoRetryButton(AddItem("AutoRetryButton", QStringLiteral("自动重采"))),
      EpisodeSortButton(AddItem("EpisodeSortButton", QStringLiteral("按集数排序"))),
      UnSelRepeatButton(AddItem("UnSelRepeatButton", QStringLiteral("取消重复地址")))
{
    setObjectName(QStringLiteral("GridPopupMenu"));
    setToolTipsVisible(true);
}

QAction* TGridPopupMenu::AddItem(const char* name, const QString& caption)
{
    QAction* action = addAction(caption);  // owned by the menu
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(caption);
    action->setStatusTip(caption);
    return action;
}

void TGridPopupMenu::Apply(const MenuItemsShown& shown)
{
    EditButton->setVisible(shown.edit);
    FindButton->setVisible(shown.find);
    SelAllButton->setVisible(shown.selAll);
    UnSelAllButton->setVisible(shown.unSelAll);
    DeSelButton->setVisible(shown.deSel);
    LinkButton->setVisible(shown.link);
    RetryButton->setVisible(shown.retry);
    AutoRetryButton->setVisible(shown.autoRetry);
    EpisodeSortButton->setVisible(shown.episodeSort);
    UnSelRepeatButton->setVisible(shown.unSelRepeat);
    if (shown.scope)
        Scope = *shown.scope;
}

MenuItemsShown TGridPopupMenu::Shown() const
{
    MenuItemsShown shown;
    shown.edit = EditButton->isVisible();
    shown.find = FindButton->isVisible();
    shown.selAll = SelAllButton->isVisible();
    shown.unSelAll = UnSelAllButton->isVisible();
    shown.deSel = DeSelButton->isVisible();
    shown.link = LinkButton->isVisible();
    shown.retry = RetryButton->isVisible();
    shown.autoRetry = AutoRetryButton->isVisible();
    shown.episodeSort = EpisodeSortButton->isVisible();
    shown.unSelRepeat = UnSelRepeatButton->isVisible();
    shown.scope = Scope;
    return shown;
}

}  // namespace quib::results
