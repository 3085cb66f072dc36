#include "tests/support/scriptedmessages.h"

#include <QDialog>

namespace quib::test {

void ScriptedMessages::Alert(const QString& text) { m_shown.push_back({Kind::Alert, text}); }

void ScriptedMessages::Info(const QString& text) { m_shown.push_back({Kind::Info, text}); }

bool ScriptedMessages::Question(const QString& text)
{
    m_shown.push_back({Kind::Question, text});
    if (m_answers.empty())
        return false;
    const bool answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

int ScriptedMessages::ShowModal(QDialog& dialog)
{
    m_shown.push_back({Kind::Modal, dialog.windowTitle()});
    return m_modal ? m_modal(dialog) : QDialog::Rejected;
}

std::vector<QString> ScriptedMessages::Texts(Kind kind) const
{
    std::vector<QString> texts;
    for (const Shown& shown : m_shown)
        if (shown.kind == kind)
            texts.push_back(shown.text);
    return texts;
}

}  // namespace quib::test
