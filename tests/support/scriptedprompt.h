#pragma once

#include "workflow/messageprompt.h"

#include <QStringList>

#include <deque>
#include <functional>

// Answers the program's message boxes from a script and records every text
// shown, so that a test can check the exact wording and the order of boxes.
class ScriptedPrompt : public pagewick::workflow::MessagePrompt
{
public:
    // Answers for the next questions, in order; once they run out, answerWhenEmpty.
    void queueAnswers(std::initializer_list<bool> answers)
    {
        m_answers.insert(m_answers.end(), answers.begin(), answers.end());
    }
    void setAnswerWhenEmpty(bool answer) { m_answerWhenEmpty = answer; }
    // Runs while a box would be open (a modal box lets events through), before it answers.
    void setWhileOpen(std::function<void(const QString &)> f) { m_whileOpen = std::move(f); }

    bool ask(const QString &text) override
    {
        questions << text;
        shown << text;
        if (m_whileOpen)
            m_whileOpen(text);
        if (m_answers.empty())
            return m_answerWhenEmpty;
        const bool answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    void notify(const QString &text) override
    {
        notices << text;
        shown << text;
        if (m_whileOpen)
            m_whileOpen(text);
    }

    QStringList questions;
    QStringList notices;
    QStringList shown;

private:
    std::deque<bool> m_answers;
    bool m_answerWhenEmpty = false;
    std::function<void(const QString &)> m_whileOpen;
};
