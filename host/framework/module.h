#pragma once
// The module interface the host talks to, and the error object of LoadModule.
#include <QString>
#include <string>

class QWidget;

namespace quib {

class IApp;

class IModule {
public:
    virtual ~IModule() = default;
    virtual QWidget* GetForm() = 0;
    virtual void AfterShow(IModule* module) = 0;
    virtual std::string About() = 0;
};

class ModuleException {
public:
    ModuleException(QWidget* form, QString message) : m_form(form), m_message(std::move(message)) {}
    QWidget* Form() const { return m_form; }
    const QString& Message() const { return m_message; }

private:
    QWidget* m_form;
    QString m_message;
};

// The exported entry every module library provides.
extern "C" using LoadModuleFunction = IModule * (*)(IApp * app, ModuleException** error);

}  // namespace quib
