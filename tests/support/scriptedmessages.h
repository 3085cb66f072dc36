#pragma once
// Message boxes and modal dialogs answered by the test instead of a person.
#include "host/core/messageservice.h"

#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace quib::test {

class ScriptedMessages final : public MessageService {
public:
    enum class Kind { Alert, Info, Question, Modal };
    struct Shown {
        Kind kind;
        QString text;  // the dialog's window title for Modal
    };

    void Alert(const QString& text) override;
    void Info(const QString& text) override;
    bool Question(const QString& text) override;
    int ShowModal(QDialog& dialog) override;

    // Answers for the next questions, in order (true for yes); without one a question is answered no.
    void AnswerQuestions(std::initializer_list<bool> answers) { m_answers.insert(m_answers.end(), answers); }
    // Runs every modal dialog: the handler may fill in controls and returns the dialog's result.
    void OnModal(std::function<int(QDialog&)> handler) { m_modal = std::move(handler); }

    const std::vector<Shown>& Messages() const { return m_shown; }
    std::vector<QString> Texts(Kind kind) const;
    void Clear() { m_shown.clear(); }

private:
    std::vector<Shown> m_shown;
    std::deque<bool> m_answers;
    std::function<int(QDialog&)> m_modal;
};

}  // namespace quib::test
