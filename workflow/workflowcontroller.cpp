#include "workflow/workflowcontroller.h"

#include "extract/extractcommand.h"
#include "workflow/extracthost.h"
#include "workflow/formport.h"
#include "workflow/messageprompt.h"
#include "workflow/suppression.h"

#include <QMetaObject>
#include <QPointer>

namespace pagewick::workflow {

namespace {

// Only U+0020 counts: a body of line breaks or tabs is not empty.
bool HoldsOnlySpaces(const QString &text)
{
    for (const QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

} // namespace

QString PageLoadedQuestion()
{
    return QStringLiteral("网页加载完毕，要分析本页吗？     ");
}

WorkflowController::WorkflowController(BrowserPort &browser, FormPort &form, QObject *parent)
    : QObject(parent)
    , m_browser(browser)
    , m_form(form)
{
    // Also reaches frames and documents created before NavigateComplete2.
    m_browser.setDocumentStartScripts(SuppressionScripts());
}

bool WorkflowController::outdated(quint64 generation)
{
    return !m_runs.isCurrent(generation) || m_browser.isShutDown();
}

void WorkflowController::extract()
{
    const quint64 generation = m_runs.begin();
    // An earlier run waiting for the page or reading it gives up at once.
    m_browser.interruptWaits();
    PortExtractHost host(m_browser, m_form, m_runs, generation, [this] { save(); },
                         [this] { followNextLink(m_form.optionChecked(SilentMode)); });
    extract::RunExtract(host);
}

void WorkflowController::save()
{
    const SaveOutcome outcome = m_saveCommand.save(m_form.fileSystem(), m_form.saveDirectory(),
                                                   m_form.pageTitle(), m_browser.locationUrl(),
                                                   m_form.resultText());
    m_form.setStatusText(SaveStatus(outcome));
}

void WorkflowController::nextPage()
{
    followNextLink(false);
}

void WorkflowController::followNextLink(bool guardAgainstLoops)
{
    const quint64 generation = m_runs.current();
    const std::optional<LoadedPage> page = m_browser.readLinks();
    // A run that started while the page was read owns the page now.
    if (outdated(generation) || !page)
        return;

    const int index =
        NextLinkToFollow(*page, m_form.nextLinkName(), guardAgainstLoops ? m_chain : ChainMemory());
    if (index < 0) {
        m_form.prompt().notify(NoNextLinkNotice());
        m_form.focusNextLinkName();
        return;
    }
    m_chain.recordFollowed(page->url, page->hrefs.value(index));
    // A link that asks for a new window is then opened in place (onNewWindow2).
    m_browser.focusElement(index);
    m_browser.clickElement(index);
}

void WorkflowController::beginChain()
{
    m_chain.clear();
}

void WorkflowController::onDocumentComplete(FrameId frame, const QString &)
{
    if (frame != m_browser.topFrame())
        return;
    const quint64 generation = m_runs.current();
    const std::optional<QString> body = m_browser.readBodyText();
    if (outdated(generation))
        return;
    // A document without a body (or one that cannot be read) is treated as
    // the blank page: nothing to extract.
    if (!body || HoldsOnlySpaces(*body)) {
        m_form.setCaption(m_form.programTitle());
        return;
    }
    if (!m_form.optionChecked(SilentMode) && !m_form.prompt().ask(PageLoadedQuestion()))
        return;
    extract();
}

void WorkflowController::onNavigateComplete2(FrameId frame, const QString &)
{
    for (const QString &script : SuppressionScripts())
        m_browser.execScript(frame, script);
}

void WorkflowController::onNewWindow2(bool *cancel)
{
    *cancel = true;
    // A page calling window.open in a loop asks many times while the active
    // link is read; that one read answers them all, instead of each request
    // nesting a read of its own inside the one before.
    if (m_openingActiveLink)
        return;
    m_openingActiveLink = true;
    QMetaObject::invokeMethod(this, &WorkflowController::openActiveLink, Qt::QueuedConnection);
}

void WorkflowController::openActiveLink()
{
    QPointer<WorkflowController> self(this);
    const std::optional<QString> href = m_browser.readActiveElementHref();
    if (!self)
        return;
    m_openingActiveLink = false;
    // Loading the address again would only start the load under way anew:
    // a page asking for windows all the time would never be left.
    if (href && !m_browser.isShutDown() && *href != m_browser.loadingUrl())
        m_browser.navigate(*href);
}

void WorkflowController::onWindowClosing(bool, bool *cancel)
{
    *cancel = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_browser.isShutDown())
                m_browser.navigate(QStringLiteral("about:blank"));
        },
        Qt::QueuedConnection);
}

void WorkflowController::silenceWhileBlocking()
{
    // Unchecking the box later does not switch Silent off again.
    if (m_form.optionChecked(PopupBlocking))
        m_browser.setSilent(true);
}

void WorkflowController::onDownloadBegin()
{
    silenceWhileBlocking();
}

void WorkflowController::onDownloadComplete()
{
    silenceWhileBlocking();
    m_form.setAddressText(m_browser.locationUrl());
}

void WorkflowController::onStatusTextChange(const QString &text)
{
    m_form.setStatusText(text);
}

void WorkflowController::onLostFocus()
{
    m_form.focusAddressBox();
}

} // namespace pagewick::workflow
