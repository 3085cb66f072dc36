#pragma once
// The module interface the host talks to, and the error object of LoadModule.
#include <QString>
#include <string>

class QWidget;
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
    ModuleException(QWidget* form, QString message) : form_(form), message_(std::move(message)) {}
    QWidget* Form() const { return form_; }
    const QString& Message() const { return message_; }

private:
    QWidget* form_;
    QString message_;
};

// The exported entry every module library provides.
extern "C" using LoadModuleFunction = IModule* (*)(IApp* app, ModuleException** error);
