#pragma once

#include "extract/candidatestate.h"
#include "workflow/formport.h"
#include "workflow/messageprompt.h"

#include <QString>

#include <functional>

namespace pagewick::cli {

// Message boxes without a window: a notice is passed on as a line of text,
// a question is answered "Cancel" at once. Nothing waits for a person.
class LoggedPrompt : public workflow::MessagePrompt
{
public:
    explicit LoggedPrompt(std::function<void(const QString &)> log);

    bool ask(const QString &text) override;
    void notify(const QString &text) override;
    std::optional<QString> askText(const QString &text, const QString &initial) override;

private:
    std::function<void(const QString &)> m_log;
};

// The form of a run without a window: a silent chain with pop-up blocking,
// no re-flow and no keywords, over the given save directory, link names and
// page interval. The result text and the page title are kept as the
// window's controls keep them.
class HeadlessForm : public workflow::FormPort
{
public:
    HeadlessForm(workflow::MessagePrompt &prompt, workflow::FileSystem &fileSystem);

    // directory ends in "/".
    void setSaveDirectory(const QString &directory) { m_directory = directory; }
    void setNextLinkName(const QString &names) { m_linkNames = names; }
    void setPageInterval(int seconds) { m_intervalSeconds = seconds; }
    // Called with every status line the workflow shows.
    void onStatusText(std::function<void(const QString &)> call) { m_statusText = std::move(call); }

    bool optionChecked(int index) override;
    QString saveDirectory() override { return m_directory; }
    QString nextLinkName() override { return m_linkNames; }
    QString keyword(int) override { return QString(); }
    int pageIntervalSeconds() override { return m_intervalSeconds; }
    QString resultText() override { return m_resultText; }
    void setResultText(const QString &text) override { m_resultText = text; }
    void setCaption(const QString &) override {}
    QString programTitle() override;
    void setStatusText(const QString &text) override;
    void setAddressText(const QString &) override {}
    void focusAddressBox() override {}
    void focusNextLinkName() override {}
    QString pageTitle() override { return m_pageTitle; }
    void setPageTitle(const QString &title) override { m_pageTitle = title; }
    extract::CandidateState &candidates() override { return m_candidates; }
    workflow::MessagePrompt &prompt() override { return m_prompt; }
    workflow::FileSystem &fileSystem() override { return m_fileSystem; }
    workflow::Clock &clock() override;

private:
    workflow::MessagePrompt &m_prompt;
    workflow::FileSystem &m_fileSystem;
    QString m_directory;
    QString m_linkNames;
    int m_intervalSeconds = 0;
    QString m_resultText;
    QString m_pageTitle;
    extract::CandidateState m_candidates;
    std::function<void(const QString &)> m_statusText;
};

} // namespace pagewick::cli
