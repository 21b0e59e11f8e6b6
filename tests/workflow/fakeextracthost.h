#pragma once

#include "extract/extractcommand.h"

#include <QStringList>

#include <deque>
#include <functional>

// An Extract host whose page, options and answers a test sets, and which
// records what the run did, in order.
class FakeExtractHost : public pagewick::extract::ExtractHost
{
public:
    // Page and options.
    bool loads = true;
    std::optional<pagewick::extract::PageDocument> document;
    bool custom = false;
    QString start;
    QString end;
    bool reflowOn = false;
    bool silentModeOn = true;
    std::deque<bool> answers; // OK when they run out

    // Window and browser state.
    bool silent = true;
    QString title;
    pagewick::extract::CandidateState state;
    std::optional<QString> text1;
    QString caption;
    bool current = true;

    // Record.
    QStringList log;
    QStringList questions;
    QStringList captions;

    // Hooks that run where the real host lets events run.
    std::function<void()> whileReading;
    std::function<void()> whileSettling;
    std::function<void()> whileYielding;
    std::function<void(const QString &)> whileAsking;
    std::function<void()> whileSaving;

    bool waitForPage() override
    {
        log << QStringLiteral("wait");
        return loads && current;
    }
    bool stillCurrent() override { return current; }
    bool yieldToEvents() override
    {
        if (whileYielding)
            whileYielding();
        return current;
    }
    bool browserSilent() override { return silent; }
    void setBrowserSilent(bool s) override
    {
        silent = s;
        log << QStringLiteral("silent=%1").arg(s);
    }
    void setPageDialogsSilenced(bool s) override { log << QStringLiteral("dialogs silenced=%1").arg(s); }
    std::optional<pagewick::extract::PageDocument> readDocument() override
    {
        log << QStringLiteral("read");
        if (whileReading)
            whileReading();
        return document;
    }
    bool waitForSettledPage() override
    {
        log << QStringLiteral("settle");
        if (whileSettling)
            whileSettling();
        return loads && current;
    }
    void readFailed() override { log << QStringLiteral("read failed"); }
    bool customExtraction() override { return custom; }
    QString startKeyword() override { return start; }
    QString endKeyword() override { return end; }
    bool reflow() override { return reflowOn; }
    bool silentMode() override { return silentModeOn; }
    QString pageTitle() override { return title; }
    void setPageTitle(const QString &t) override
    {
        title = t;
        log << QStringLiteral("title");
    }
    pagewick::extract::CandidateState &candidates() override { return state; }
    void setText1(const QString &t) override
    {
        text1 = t;
        log << QStringLiteral("text1");
    }
    void setCaption(const QString &c) override
    {
        caption = c;
        captions << c;
    }
    bool ask(const QString &question) override
    {
        questions << question;
        log << QStringLiteral("ask");
        if (whileAsking)
            whileAsking(question);
        if (answers.empty())
            return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void runSave() override
    {
        log << QStringLiteral("save silent=%1").arg(silent);
        if (whileSaving)
            whileSaving();
    }
    void runNextPage() override { log << QStringLiteral("next silent=%1").arg(silent); }
};
