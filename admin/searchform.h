#pragma once
// The video search dialog (视频搜索): a keyword, the kind of result (videos or albums) and the
// source to search.
#include "ui_searchform.h"

#include <QDialog>

#include <string>

class IApp;

class TSearchForm : public QDialog, public Ui::TSearchForm {
    Q_OBJECT
public:
    TSearchForm(QWidget* owner, IApp* app);

    void FormCreate();
    void OkButtonClick();

    // The chosen source's key ("tudou", "wole", ... "baidu"); empty until a source is chosen.
    std::string SearchSite;

private:
    IApp* m_app;
};
