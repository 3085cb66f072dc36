#pragma once
// The site dialog: a site's title, CMS version and administration address.
#include "host/core/app.h"
#include "ui_addform.h"

#include <QDialog>

#include <string>

namespace quib::collector {

class TAddForm : public QDialog, private Ui::TAddForm {
    Q_OBJECT
public:
    TAddForm(QWidget* owner, IApp* app);

    // Refuses a title or an address that is empty once trimmed; the text itself is kept as typed.
    void OkButtonClick();

    // The fields as GBK text, exactly as typed.
    std::string Title() const;
    std::string Url() const;
    std::string Version() const;
    // Prefills the fields; a version not in the list leaves the list as it is.
    void SetSite(const std::string& title, const std::string& url, const std::string& version);

private:
    IApp* m_app;
};

}  // namespace quib::collector
