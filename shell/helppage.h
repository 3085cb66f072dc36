#pragma once
// The help tab: the host's browser on the module's help page at the publisher's web site.
#include "host/browser/tabwebform.h"

namespace quib::collector {

// The publisher's help page for this module.
inline constexpr const char* kHelpAddress = "http://www.quib.test/help/quib.html";

class THelpPage : public TTabWebForm {
    Q_OBJECT
public:
    THelpPage(QWidget* owner, IApp* app);
};

}  // namespace quib::collector
