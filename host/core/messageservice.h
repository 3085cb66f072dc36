#pragma once
// Every message box and modal dialog goes through one service: the desktop shows real boxes,
// tests answer them without a person.
#include <QString>

class QDialog;
class QWidget;

namespace quib {

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual void Alert(const QString& text) = 0;     // error box
    virtual void Info(const QString& text) = 0;      // information box
    virtual bool Question(const QString& text) = 0;  // yes/no box; true for yes
    virtual int ShowModal(QDialog& dialog) = 0;      // runs the dialog modally, returns its result
};

}  // namespace quib
