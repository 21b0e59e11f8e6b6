#include "workflow/extracthost.h"

#include "extract/candidatescore.h"
#include "text/eventyield.h"
#include "workflow/browserport.h"
#include "workflow/chaintiming.h"
#include "workflow/formport.h"
#include "workflow/messageprompt.h"
#include "workflow/runs.h"

#include <utility>

namespace pagewick::workflow {

PortExtractHost::PortExtractHost(BrowserPort &browser, FormPort &form, const RunGenerations &runs,
                                 quint64 generation, std::function<void()> save,
                                 std::function<void()> nextPage, int settlePauseMs,
                                 std::function<void()> readFailed, std::function<void()> pageRead)
    : m_browser(browser)
    , m_form(form)
    , m_runs(runs)
    , m_generation(generation)
    , m_save(std::move(save))
    , m_nextPage(std::move(nextPage))
    , m_settlePauseMs(settlePauseMs)
    , m_readFailed(std::move(readFailed))
    , m_pageRead(std::move(pageRead))
{
}

bool PortExtractHost::waitForPage()
{
    // A wait ends early when any run starts; only the newest goes on waiting.
    while (stillCurrent()) {
        if (m_browser.waitUntilLoaded())
            return stillCurrent();
    }
    return false;
}

bool PortExtractHost::waitForSettledPage()
{
    return waitForPage() && PauseWhile(m_settlePauseMs, [this] { return stillCurrent(); });
}

void PortExtractHost::readFailed()
{
    if (m_readFailed)
        m_readFailed();
}

bool PortExtractHost::stillCurrent()
{
    return m_runs.isCurrent(m_generation) && !m_browser.isShutDown();
}

bool PortExtractHost::yieldToEvents()
{
    text::yieldToEvents();
    return stillCurrent();
}

bool PortExtractHost::browserSilent()
{
    return m_browser.silent();
}

void PortExtractHost::setBrowserSilent(bool silent)
{
    m_browser.setSilent(silent);
}

void PortExtractHost::setPageDialogsSilenced(bool silenced)
{
    m_browser.setPageDialogsSilenced(silenced);
}

ReadParts ExtractionReadParts()
{
    ReadParts parts;
    parts.measuredTags = extract::CandidateTagNames();
    parts.carryBounds = extract::CandidateAcceptanceBounds();
    parts.tagNames = QStringList{QStringLiteral("A")};
    return parts;
}

std::optional<extract::PageDocument> PortExtractHost::readDocument()
{
    std::optional<LoadedPage> page = m_browser.readElements(ExtractionReadParts());
    if (!page)
        return std::nullopt;
    if (m_pageRead)
        m_pageRead();
    return std::move(page->document);
}

bool PortExtractHost::customExtraction()
{
    return m_form.optionChecked(CustomExtraction);
}

QString PortExtractHost::startKeyword()
{
    return m_form.keyword(0);
}

QString PortExtractHost::endKeyword()
{
    return m_form.keyword(1);
}

bool PortExtractHost::reflow()
{
    return m_form.optionChecked(Reflow);
}

bool PortExtractHost::silentMode()
{
    return m_form.optionChecked(SilentMode);
}

QString PortExtractHost::pageTitle()
{
    return m_form.pageTitle();
}

void PortExtractHost::setPageTitle(const QString &title)
{
    m_form.setPageTitle(title);
}

extract::CandidateState &PortExtractHost::candidates()
{
    return m_form.candidates();
}

void PortExtractHost::setText1(const QString &text)
{
    m_form.setResultText(text);
}

void PortExtractHost::setCaption(const QString &caption)
{
    m_form.setCaption(caption);
}

bool PortExtractHost::ask(const QString &question)
{
    return m_form.prompt().ask(question);
}

void PortExtractHost::runSave()
{
    m_save();
}

void PortExtractHost::runNextPage()
{
    m_nextPage();
}

ReadPageExtractHost::ReadPageExtractHost(extract::PageDocument page, BrowserPort &browser, FormPort &form,
                                         const RunGenerations &runs, quint64 generation,
                                         std::function<void()> save, std::function<void()> nextPage)
    : PortExtractHost(browser, form, runs, generation, std::move(save), std::move(nextPage))
    , m_page(std::move(page))
{
}

bool ReadPageExtractHost::waitForPage()
{
    return stillCurrent();
}

std::optional<extract::PageDocument> ReadPageExtractHost::readDocument()
{
    return std::exchange(m_page, std::nullopt);
}

} // namespace pagewick::workflow
