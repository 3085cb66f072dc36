#pragma once
// The IApp of the desktop host and the tests: a CoreApp whose modules' forms have an owner.
#include "host/core/coreapp.h"

#include <QPointer>
#include <QWidget>

namespace quib {

class HostApp final : public CoreApp {
public:
    using CoreApp::CoreApp;

    QWidget* GetMainForm() override { return m_mainForm; }
    void SetMainForm(QWidget* form) { m_mainForm = form; }

private:
    QPointer<QWidget> m_mainForm;
};

}  // namespace quib
