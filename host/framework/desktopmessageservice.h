#pragma once
// The message service of a desktop session: real message boxes, parented to the active window.
#include "host/core/messageservice.h"

namespace quib {

class DesktopMessageService final : public MessageService {
public:
    void Alert(const QString& text) override;
    void Info(const QString& text) override;
    bool Question(const QString& text) override;
    int ShowModal(QDialog& dialog) override;
};

}  // namespace quib
