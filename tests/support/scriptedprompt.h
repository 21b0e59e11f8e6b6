#pragma once

#include "workflow/messageprompt.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

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
    // Answers for the next text questions, in order (nullopt is Cancel); once
    // they run out, Cancel.
    void queueTextAnswers(std::initializer_list<std::optional<QString>> answers)
    {
        m_textAnswers.insert(m_textAnswers.end(), answers.begin(), answers.end());
    }
    // Ticks for the next text questions with a tick box, in order; once they
    // run out, the tick box is left as it starts.
    void queueChoiceAnswers(std::initializer_list<bool> answers)
    {
        m_choiceAnswers.insert(m_choiceAnswers.end(), answers.begin(), answers.end());
    }
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

    std::optional<QString> askText(const QString &text, const QString &initial) override
    {
        textQuestions << text;
        offeredTexts << initial;
        shown << text;
        if (m_whileOpen)
            m_whileOpen(text);
        if (m_textAnswers.empty())
            return std::nullopt;
        const std::optional<QString> answer = m_textAnswers.front();
        m_textAnswers.pop_front();
        return answer;
    }

    std::optional<pagewick::workflow::TextAndChoice> askTextAndChoice(const QString &text, const QString &initial,
                                                                      const QString &choice, bool checked) override
    {
        choices << choice;
        bool tick = checked;
        if (!m_choiceAnswers.empty()) {
            tick = m_choiceAnswers.front();
            m_choiceAnswers.pop_front();
        }
        const std::optional<QString> answer = askText(text, initial);
        if (!answer)
            return std::nullopt;
        return pagewick::workflow::TextAndChoice{*answer, tick};
    }

    QStringList questions;
    QStringList choices;
    QStringList textQuestions;
    QStringList offeredTexts;
    QStringList notices;
    QStringList shown;

private:
    std::deque<bool> m_answers;
    std::deque<std::optional<QString>> m_textAnswers;
    std::deque<bool> m_choiceAnswers;
    bool m_answerWhenEmpty = false;
    std::function<void(const QString &)> m_whileOpen;
};
