#include "scriptedmessages.h"

#include <QDialog>

void ScriptedMessages::Alert(const QString& text) { shown_.push_back({Kind::Alert, text}); }

void ScriptedMessages::Info(const QString& text) { shown_.push_back({Kind::Info, text}); }

int ScriptedMessages::Question(const QString& text)
{
    shown_.push_back({Kind::Question, text});
    if (answers_.empty())
        return IDNO;
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

int ScriptedMessages::ShowModal(QDialog& dialog)
{
    shown_.push_back({Kind::Modal, dialog.windowTitle()});
    return modal_ ? modal_(dialog) : QDialog::Rejected;
}

std::vector<QString> ScriptedMessages::Texts(Kind kind) const
{
    std::vector<QString> texts;
    for (const Shown& shown : shown_)
        if (shown.kind == kind)
            texts.push_back(shown.text);
    return texts;
}
