#pragma once
// The resource-site dialog: a site's name and the base address of its catalogue.
#include "collect/resourcesitelist.h"
#include "ui_apisiteform.h"

#include <QDialog>

namespace quib {
class IApp;
}

namespace quib::collect {

class TApiSiteForm : public QDialog, public Ui::TApiSiteForm {
    Q_OBJECT
public:
    TApiSiteForm(QWidget* owner, IApp* app);

    // Refuses an empty name and an address that is not a web address.
    void OkButtonClick();

    // The fields, trimmed.
    ResourceSite Site() const;
    void SetSite(const ResourceSite& site);

private:
    IApp* m_app;
};

}  // namespace quib::collect
