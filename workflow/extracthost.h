#pragma once

#include "extract/extractcommand.h"
#include "workflow/browserport.h"

#include <QtGlobal>

#include <functional>

namespace pagewick::workflow {

class FormPort;
class RunGenerations;

// What an Extract run reads of the page: the measures of the blocks
// detection examines, with the inner text of those it could accept, and the
// links, so that the next-page command that follows the run finds the
// document already read, unless it has changed meanwhile.
ReadParts ExtractionReadParts();

// One Extract run's view of the browser and the window.
class PortExtractHost : public extract::ExtractHost
{
public:
    PortExtractHost(BrowserPort &browser, FormPort &form, const RunGenerations &runs,
                    quint64 generation, std::function<void()> save,
                    std::function<void()> nextPage, int settlePauseMs = 0,
                    std::function<void()> readFailed = {}, std::function<void()> pageRead = {});

    bool waitForPage() override;
    bool stillCurrent() override;
    bool yieldToEvents() override;

    bool browserSilent() override;
    void setBrowserSilent(bool silent) override;
    void setPageDialogsSilenced(bool silenced) override;
    std::optional<extract::PageDocument> readDocument() override;
    bool waitForSettledPage() override;
    void readFailed() override;

    bool customExtraction() override;
    QString startKeyword() override;
    QString endKeyword() override;
    bool reflow() override;
    bool silentMode() override;

    QString pageTitle() override;
    void setPageTitle(const QString &title) override;
    extract::CandidateState &candidates() override;
    void setText1(const QString &text) override;
    void setCaption(const QString &caption) override;

    bool ask(const QString &question) override;
    void runSave() override;
    void runNextPage() override;

private:
    BrowserPort &m_browser;
    FormPort &m_form;
    const RunGenerations &m_runs;
    quint64 m_generation = 0;
    std::function<void()> m_save;
    std::function<void()> m_nextPage;
    int m_settlePauseMs = 0;
    std::function<void()> m_readFailed;
    // After each read of the page that succeeded.
    std::function<void()> m_pageRead;
};

// An Extract run over a page already read: the browser may be on its way to
// the next page meanwhile, so the run neither waits for a page nor reads one.
class ReadPageExtractHost : public PortExtractHost
{
public:
    ReadPageExtractHost(extract::PageDocument page, BrowserPort &browser, FormPort &form,
                        const RunGenerations &runs, quint64 generation, std::function<void()> save,
                        std::function<void()> nextPage);

    bool waitForPage() override;
    std::optional<extract::PageDocument> readDocument() override;

private:
    std::optional<extract::PageDocument> m_page;
};

} // namespace pagewick::workflow
