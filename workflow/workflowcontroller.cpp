#include "workflow/workflowcontroller.h"

#include "extract/extractcommand.h"
#include "workflow/clock.h"
#include "workflow/extracthost.h"
#include "workflow/filesystem.h"
#include "workflow/ledger.h"
#include "workflow/formport.h"
#include "workflow/loadfailure.h"
#include "workflow/messageprompt.h"
#include "workflow/pageaddress.h"
#include "workflow/retryafter.h"
#include "workflow/savedirectory.h"
#include "workflow/suppression.h"
#include "workflow/usualnextlink.h"

#include <QMetaObject>
#include <QPointer>

#include <utility>

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

// Where the next page may load while this one is written: nothing waits
// between pages and nothing is cut by keywords.
bool InOneStep(FormPort &form, const ThrottlePace &throttle)
{
    return form.optionChecked(SilentMode) && !form.optionChecked(CustomExtraction)
           && throttle.intervalSeconds(form.pageIntervalSeconds()) <= 0;
}

} // namespace

QString PageLoadedQuestion()
{
    return QStringLiteral("网页加载完毕，要分析本页吗？     ");
}

QString NothingCollectedNotice()
{
    return QStringLiteral("   当前保存路径下还没有提取保存过网页，无法接着上次提取!    ");
}

QString LinkChangedText()
{
    return QStringLiteral("网页在点击前变了，下一页链接没有点击");
}

WorkflowController::WorkflowController(BrowserPort &browser, FormPort &form, QObject *parent,
                                       DelayTimer *timer, ChainTiming timing)
    : QObject(parent)
    , m_browser(browser)
    , m_form(form)
    , m_retryTimer(timer)
    , m_timing(std::move(timing))
{
    if (!m_retryTimer) {
        m_ownTimer = std::make_unique<EventLoopDelayTimer>();
        m_retryTimer = m_ownTimer.get();
    }
    m_navigationWatch.setSingleShot(true);
    // A coarse timer may fire up to 5 % early: the chain gives a click its full time.
    m_navigationWatch.setTimerType(Qt::PreciseTimer);
    connect(&m_navigationWatch, &QTimer::timeout, this, &WorkflowController::noNavigationAfterClick);
    // Run by the engine in every document and frame as it is created: no
    // page has its dialogs or windows before them, and no load waits for them.
    m_browser.setDocumentStartScripts(SuppressionScripts());
}

WorkflowController::~WorkflowController() = default;

bool WorkflowController::outdated(quint64 generation)
{
    return !m_runs.isCurrent(generation) || m_browser.isShutDown();
}

quint64 WorkflowController::beginRun()
{
    const quint64 generation = m_runs.begin();
    m_saveStoppedChain = false;
    cancelPendingNextPage();
    // An earlier run waiting for the page or reading it gives up at once.
    m_browser.interruptWaits();
    return generation;
}

void WorkflowController::extract()
{
    const quint64 generation = beginRun();
    PortExtractHost host(m_browser, m_form, m_runs, generation, [this] { save(); },
                         [this] { continueChain(); }, m_timing.readRetryPauseMs, [this] { readFailed(); },
                         [this] { m_readLoad = m_shownLoad; });
    extract::RunExtract(host);
}

void WorkflowController::save()
{
    const QString directory = m_form.saveDirectory();
    if (!directory.isEmpty() && directory == m_form.saveDirectoryMadeOnDemand())
        CreateSaveDirectoryOnDemand(m_form.fileSystem(), directory);
    // The page the text was read from, as committed: neither a page opened
    // since nor its own later moves (a replaceState stamp) change it.
    const QString address = m_readLoad ? m_readLoad->finalUrl : m_browser.locationUrl();
    const SaveOutcome outcome = m_saveCommand.save(m_form.fileSystem(), directory, m_form.pageTitle(),
                                                   address, m_form.resultText(), m_form.clock().now());
    m_tally.add(outcome.status, outcome.ledger == LedgerWrite::Written);
    if (WroteFile(outcome.status))
        m_savedChapters.add(address);
    m_form.setStatusText(SaveStatus(outcome));
    // Every later page would fail alike: the rest of the book is not fetched for nothing.
    if (!outcome.written && FailsEveryFile(outcome.failure) && m_form.optionChecked(SilentMode)) {
        m_saveStoppedChain = true;
        // The page read in one step has already sent the chain on.
        if (m_stepWriting && m_browser.newestLoad().origin == LoadOrigin::ChainClick)
            m_browser.abandonLoad();
        m_form.prompt().notify(SaveStoppedNotice(outcome, address));
        endChain(ChainEnd{ChainEnd::Reason::SaveFailed, {}, address, 0});
    }
}

void WorkflowController::nextPage()
{
    cancelRetry();
    cancelPendingNextPage();
    followNextLink(false, false);
}

void WorkflowController::continueChain()
{
    if (std::exchange(m_saveStoppedChain, false))
        return;
    if (!m_form.optionChecked(SilentMode)) {
        followNextLink(false, true);
        return;
    }
    m_throttle.cleanPage();
    paceThen([this] { followNextLink(true, true); });
}

void WorkflowController::paceThen(std::function<void()> due)
{
    const int userSeconds = m_form.pageIntervalSeconds();
    const int seconds = m_throttle.intervalSeconds(userSeconds);
    if (seconds <= 0) {
        due();
        return;
    }
    const bool throttled = m_throttle.governs(userSeconds);
    m_pacing.start(
        seconds, m_timing,
        [this, throttled](const QString &text) {
            m_form.setStatusText(throttled ? ThrottledCountdownText(text) : text);
        },
        [this, generation = m_runs.current(), due = std::move(due)] {
            if (outdated(generation))
                return;
            // Unticked during the wait: the user takes over.
            if (m_form.optionChecked(SilentMode))
                due();
        });
}

void WorkflowController::cancelPendingNextPage()
{
    m_navigationWatch.stop();
    m_unansweredClick.reset();
    if (m_pacing.cancel())
        m_form.setStatusText(PacingCancelledText());
}

void WorkflowController::onSilentModeChanged(bool on)
{
    if (on)
        return;
    cancelPendingNextPage();
    cancelRetry();
}

NextLinkChoice WorkflowController::chooseNextLink(LoadedPage &page, bool guardAgainstLoops,
                                                  const std::optional<NextLinkChoice> &named)
{
    const QString names = m_form.nextLinkName();
    const ChainMemory none;
    const ChainMemory &chain = guardAgainstLoops ? m_chain : none;
    const NextLinkChoice choice = named ? *named : ChooseNextLink(page, names, chain);
    if (choice.index >= 0 || names != StartingNextLinkName() || page.relNextIndex >= 0)
        return choice;
    const std::optional<int> rel = m_browser.readRelNextLink();
    if (!rel || *rel < 0 || *rel >= page.document.all.size())
        return choice;
    page.relNextIndex = *rel;
    return ChooseNextLink(page, names, chain);
}

void WorkflowController::followNextLink(bool guardAgainstLoops, bool chainStep, int attempt)
{
    const quint64 generation = m_runs.current();
    // A page that changed between the read and the click is read again after
    // a pause, as its script may still be at work; twice at most.
    constexpr int kLookups = 3;
    for (; attempt < kLookups; ++attempt) {
        if (attempt > 0
            && !PauseWhile(m_timing.linkChangedPauseMs, [this, generation] { return !outdated(generation); }))
            return;
        std::optional<LoadedPage> page = m_browser.readLinks();
        // A run that started while the page was read owns the page now.
        if (outdated(generation) || !page)
            return;

        const NextLinkChoice choice = chooseNextLink(*page, guardAgainstLoops);
        if (outdated(generation))
            return;
        if (choice.index < 0)
            break;
        const LoadOrigin origin = guardAgainstLoops ? LoadOrigin::ChainClick
                                  : chainStep       ? LoadOrigin::AnswerStep
                                                    : LoadOrigin::User;
        const ClickResult result = clickNextLink(*page, choice, origin, generation);
        if (result == ClickResult::WrittenAsPage)
            break;
        if (result == ClickResult::Changed) {
            if (attempt + 1 < kLookups)
                continue;
            m_form.setStatusText(LinkChangedText());
            break;
        }
        if (choice.usualName && !outdated(generation))
            m_form.setStatusText(FollowedNameText(*choice.usualName));
        return;
    }
    noNextLink();
}

ClickResult WorkflowController::clickNextLink(const LoadedPage &page, const NextLinkChoice &choice,
                                              LoadOrigin origin, quint64 generation)
{
    const extract::PageElement &element = page.document.all.at(choice.index);
    LinkToClick link;
    link.index = choice.index;
    link.tagName = element.tagName;
    link.href = page.hrefs.value(choice.index);
    link.innerText = element.innerText;
    link.onlyIfWrittenAsFragment = choice.onlyIfWrittenAsFragment;
    const quint64 loadsBefore = m_browser.newestLoad().id;
    // The page may start loading while the click is answered.
    m_browser.expectLoadFrom(origin);
    // Focused in a round trip of its own first: a link that asks for a
    // new window is opened in place as the active element (onNewWindow2),
    // and a read of the active element under way must already see it.
    m_browser.focusElement(choice.index);
    const ClickResult result = m_browser.clickLink(link);
    if (result == ClickResult::Changed || result == ClickResult::WrittenAsPage) {
        m_browser.expectLoadFrom(LoadOrigin::Page);
        return result;
    }
    const bool chainClick = origin == LoadOrigin::ChainClick;
    // A click that failed may have been made all the same, its answer
    // lost: the page it opens is still the chain's.
    if (result == ClickResult::Clicked)
        m_chain.recordFollowed(page.url, link.href);
    else if (chainClick && OpensAnotherPage(link.href, page.url))
        m_unansweredClick = UnansweredClick{page.url, link.href};
    // A script link may start nothing at all; the chain must not wait
    // for a page that never comes.
    if (chainClick && !outdated(generation) && m_browser.newestLoad().id == loadsBefore)
        watchForNavigation();
    return result;
}

void WorkflowController::watchForNavigation()
{
    m_navigationWatch.start(qMax(0, m_timing.noNavigationMs));
}

void WorkflowController::noNavigationAfterClick()
{
    if (m_browser.isShutDown() || !m_form.optionChecked(SilentMode))
        return;
    // The engine now and then drops a click's answer, and with it the click,
    // while the page opens a window: the link's own address is what the
    // click would have opened.
    if (const std::optional<UnansweredClick> click = std::exchange(m_unansweredClick, std::nullopt)) {
        m_chain.recordFollowed(click->pageUrl, click->href);
        m_browser.navigate(click->href, LoadOrigin::ChainClick);
        watchForNavigation();
        return;
    }
    m_browser.expectLoadFrom(LoadOrigin::Page);
    noNextLink();
}

void WorkflowController::noNextLink()
{
    m_form.prompt().notify(NoNextLinkNotice());
    m_form.focusNextLinkName();
    endChain(ChainEnd{});
}

void WorkflowController::beginChain()
{
    cancelPendingNextPage();
    m_chain.clear();
    cancelRetry();
    m_tally.clear();
    m_savedChapters.clear();
    m_throttle.clear();
    m_blankRefetchUrl.clear();
}

void WorkflowController::beginChainAt(const QString &url)
{
    beginChain();
    m_browser.navigate(url, LoadOrigin::ChainClick);
}

void WorkflowController::endChain(ChainEnd end)
{
    const QString summary = m_tally.summary();
    if (!summary.isEmpty())
        m_form.setStatusText(summary);
    end.tally = std::exchange(m_tally, ChainTally());
    emit chainEnded(end);
}

std::optional<QString> WorkflowController::continueAddress()
{
    const std::optional<QByteArray> ledger =
        m_form.fileSystem().readFile(m_form.saveDirectory() + LedgerFileName());
    const std::optional<QString> address = ledger ? LastSavedAddress(ParseLedger(*ledger)) : std::nullopt;
    if (!address)
        m_form.prompt().notify(NothingCollectedNotice());
    return address;
}

void WorkflowController::forgetRetries()
{
    m_retryTimer->cancel();
    m_retryUrl.clear();
    m_retryFailures = 0;
}

void WorkflowController::cancelRetry()
{
    forgetRetries();
    m_browser.expectLoadFrom(LoadOrigin::Page);
    if (m_shownLoad)
        m_shownLoad->origin = LoadOrigin::User;
}

void WorkflowController::onLoadEnded(const PageLoad &load)
{
    // The page read in one step is still being written: the chain's loads
    // that end meanwhile (the one its click began) wait for it. A load of
    // the user's takes over at once, as during any run.
    if (m_stepWriting && load.byChain()) {
        m_loadsAfterStep.append(load);
        return;
    }
    if (load.outcome == LoadOutcome::Abandoned)
        return;
    if (load.outcome == LoadOutcome::NoPage) {
        // The page shown stays as it was. A load that gave way to a newer
        // one leaves the decision to that one; a link of the user's that
        // only downloads is nothing to report.
        if (load.byChain() && m_browser.newestLoad().id == load.id)
            pageFailed(load, kNoPage);
        return;
    }
    if (!load.showsPage()) {
        pageFailed(load, FailureStatus(load));
        return;
    }
    m_shownLoad = load;
    const QString url = load.finalUrl;
    if (IsVerificationPage(0, m_browser.locationName())) {
        pageFailed(load, 0);
        return;
    }
    // The chain is on a page again.
    forgetRetries();
    if (InOneStep(m_form, m_throttle))
        stepThrough(load);
    else
        cycleInOrder(load);
}

void WorkflowController::cycleInOrder(const PageLoad &load)
{
    const QString url = load.finalUrl;
    const quint64 generation = m_runs.current();
    std::optional<QString> body = m_browser.readBodyText();
    if (outdated(generation))
        return;
    // Now and then the engine drops the answer to a script sent as a page
    // completes (a frame of it opening windows, say): a page still there
    // (no load begun since; it may have moved within itself) is asked once
    // more before it counts as blank, or a silent chain would stop on it
    // without a word.
    if (!body && m_browser.newestLoad().id == load.id) {
        body = m_browser.readBodyText();
        if (outdated(generation))
            return;
    }
    if (blankPage(load, body))
        return;
    if (load.byStep()) {
        // The body was read a moment ago: only the links are asked for.
        std::optional<LoadedPage> links = m_browser.readLinks();
        if (outdated(generation))
            return;
        if (links) {
            links->document.bodyText = body;
            if (IsBookEnd(*links, m_savedChapters,
                          ChooseNextLink(*links, m_form.nextLinkName(), m_chain).index >= 0)) {
                endAtBookEnd(url);
                return;
            }
        }
    }
    if (!m_form.optionChecked(SilentMode) && !m_form.prompt().ask(PageLoadedQuestion()))
        return;
    extract();
}

bool WorkflowController::blankPage(const PageLoad &load, const std::optional<QString> &body)
{
    // A document without a body (or one that cannot be read) is treated as
    // the blank page: nothing to extract.
    if (body && !HoldsOnlySpaces(*body)) {
        m_blankRefetchUrl.clear();
        return false;
    }
    m_form.setCaption(m_form.programTitle());
    if (load.byStep() && m_form.optionChecked(SilentMode) && !m_savedChapters.isEmpty())
        blankChainPage(load.finalUrl);
    return true;
}

void WorkflowController::stepThrough(const PageLoad &load)
{
    m_stepWriting = true;
    const std::optional<quint64> calledOffUpTo = takeStep(load);
    m_stepWriting = false;
    for (const PageLoad &later : std::exchange(m_loadsAfterStep, {})) {
        // The chain stopped at the step's page: what its click began is the
        // user's to look at, not a page of the chain.
        if (calledOffUpTo && later.id > load.id && later.id <= *calledOffUpTo) {
            if (later.showsPage()) {
                m_shownLoad = later;
                m_shownLoad->origin = LoadOrigin::User;
            }
            continue;
        }
        QMetaObject::invokeMethod(this, [this, later] { onLoadEnded(later); }, Qt::QueuedConnection);
    }
}

std::optional<quint64> WorkflowController::takeStep(const PageLoad &load)
{
    const quint64 generation = beginRun();
    // As an Extract run reads: the page's own dialogs answered meanwhile.
    const bool formerSilent = m_browser.silent();
    m_browser.setSilent(false);
    m_browser.setPageDialogsSilenced(formerSilent);
    std::optional<LoadedPage> page = m_browser.readElements(ExtractionReadParts());
    m_browser.setPageDialogsSilenced(false);
    m_browser.setSilent(formerSilent);
    if (outdated(generation))
        return std::nullopt;
    // The usual order reads a page that would not read once more, once it
    // has settled.
    if (!page) {
        cycleInOrder(load);
        return std::nullopt;
    }
    if (blankPage(load, page->document.bodyText))
        return std::nullopt;
    // The named link decides the contents-page check and, found, the click.
    const NextLinkChoice named = ChooseNextLink(*page, m_form.nextLinkName(), m_chain);
    if (load.byStep() && IsBookEnd(*page, m_savedChapters, named.index >= 0)) {
        endAtBookEnd(load.finalUrl);
        return std::nullopt;
    }
    const NextLinkChoice choice = chooseNextLink(*page, true, named);
    if (outdated(generation))
        return std::nullopt;
    const quint64 loadsBefore = m_browser.newestLoad().id;
    std::optional<ClickResult> click;
    if (choice.index >= 0)
        click = clickNextLink(*page, choice, LoadOrigin::ChainClick, generation);

    m_readLoad = load;
    bool goesOn = false;
    ReadPageExtractHost host(std::move(page->document), m_browser, m_form, m_runs, generation, [this] { save(); },
                             [&goesOn] { goesOn = true; });
    extract::RunExtract(host);
    // The save failed for every later page too: the chain has ended here
    // (save() called the next page's load off).
    if (std::exchange(m_saveStoppedChain, false))
        return m_browser.newestLoad().id;
    if (outdated(generation))
        return std::nullopt;
    // Answer mode was chosen meanwhile and the user declined the next page:
    // the load the click began is called off, not another's.
    if (!goesOn) {
        const PageLoad newest = m_browser.newestLoad();
        if (newest.id == loadsBefore || newest.origin != LoadOrigin::ChainClick)
            return std::nullopt;
        m_browser.abandonLoad();
        return newest.id;
    }
    stepDone(choice, click);
    return std::nullopt;
}

void WorkflowController::stepDone(const NextLinkChoice &choice, std::optional<ClickResult> click)
{
    m_throttle.cleanPage();
    if (!click || *click == ClickResult::WrittenAsPage) {
        noNextLink();
    } else if (*click == ClickResult::Changed) {
        // As the usual order does once the page changed under its click.
        followNextLink(true, true, 1);
    } else if (choice.usualName) {
        m_form.setStatusText(FollowedNameText(*choice.usualName));
    }
}

void WorkflowController::endAtBookEnd(const QString &url)
{
    cancelRetry();
    m_form.setCaption(m_form.programTitle());
    recordUnsaved(url, LedgerStatus::BookEnd);
    m_form.prompt().notify(NoNextLinkNotice());
    endChain(ChainEnd{});
}

void WorkflowController::blankChainPage(const QString &url)
{
    if (url == m_blankRefetchUrl) {
        m_blankRefetchUrl.clear();
        cancelRetry();
        recordUnsaved(url, LedgerStatus::Empty);
        endChain(ChainEnd{});
        return;
    }
    m_blankRefetchUrl = url;
    m_throttle.sign();
    paceThen([this, url] { m_browser.navigate(url, LoadOrigin::ChainRetry); });
}

void WorkflowController::onLoadUnanswered(FrameId frame, const QString &)
{
    if (frame == m_browser.topFrame() && m_form.optionChecked(SilentMode))
        m_browser.failLoadNow();
}

void WorkflowController::onLoadStalled(FrameId frame, const QString &)
{
    if (frame == m_browser.topFrame() && m_form.optionChecked(SilentMode))
        m_browser.finishLoadNow();
}

void WorkflowController::pageFailed(const PageLoad &load, int status)
{
    bool verification = IsVerificationPage(status, m_browser.locationName());
    // A busy answer may be a check page too: its text tells.
    if (!verification && status == kServiceUnavailable) {
        const quint64 generation = m_runs.current();
        const std::optional<QString> body = m_browser.readBodyText();
        if (outdated(generation) || m_browser.newestLoad().id != load.id)
            return;
        verification = body && IsVerificationText(*body);
    }
    if (verification) {
        // The user passes the check in the browser; the page that follows
        // completes as any other.
        m_retryTimer->cancel();
        if (m_form.optionChecked(SilentMode))
            m_throttle.sign();
        m_form.setStatusText(VerificationStatus(status, load.finalUrl));
        emit chainEnded(ChainEnd{ChainEnd::Reason::Verification, m_tally, load.finalUrl, status});
        return;
    }
    if (!load.byChain() || !m_form.optionChecked(SilentMode)) {
        m_form.setStatusText(FailedLoadStatus(status, load.finalUrl));
        return;
    }
    retryOrGiveUp(load, status);
}

void WorkflowController::retryOrGiveUp(const PageLoad &load, int status)
{
    // The address the chain asked for: a redirect's target may be the
    // busy page, not the chapter.
    const QString url = load.askedUrl;
    if (url != m_retryUrl) {
        m_retryUrl = url;
        m_retryFailures = 0;
    }
    ++m_retryFailures;
    const bool throttled = status == 429 || status == 503;
    if (throttled)
        m_throttle.sign();
    if (m_retryFailures > m_timing.retryDelaysMs.size()) {
        chainGaveUpOnPage(url, status);
        return;
    }
    int pauseMs = m_timing.retryDelaysMs.at(m_retryFailures - 1);
    if (throttled) {
        const quint64 loadsBefore = m_browser.newestLoad().id;
        const std::optional<QString> retryAfter = m_browser.readRetryAfter();
        // The read let events run: a load begun meanwhile, or the chain
        // ended, owns the page now.
        if (m_browser.isShutDown() || m_browser.newestLoad().id != loadsBefore || m_retryUrl != url
            || !m_form.optionChecked(SilentMode))
            return;
        if (const std::optional<int> seconds =
                retryAfter ? RetryAfterSeconds(*retryAfter, m_form.clock().now()) : std::nullopt)
            pauseMs = qMax(pauseMs, *seconds * m_timing.secondMs);
    }
    m_form.setStatusText(RetryStatus(status, (pauseMs + 999) / 1000, m_retryFailures, url));
    m_retryTimer->start(pauseMs, [this, url] { retryPage(url); });
}

void WorkflowController::retryPage(const QString &url)
{
    // Silent mode is read afresh: unticked meanwhile, the chain has ended.
    if (m_browser.isShutDown() || !m_form.optionChecked(SilentMode)) {
        cancelRetry();
        return;
    }
    m_browser.navigate(url, LoadOrigin::ChainRetry);
}

void WorkflowController::chainGaveUpOnPage(const QString &url, int status)
{
    const int retries = m_retryFailures - 1;
    cancelRetry();
    recordUnsaved(url, status == kUnreadablePage ? LedgerStatus::ReadFailed : LedgerStatus::LoadFailed);
    m_form.setStatusText(FailedLoadStatus(status, url));
    m_form.prompt().notify(GaveUpNotice(status, retries, url));
    endChain(ChainEnd{ChainEnd::Reason::GaveUp, {}, url, status});
}

void WorkflowController::recordUnsaved(const QString &url, LedgerStatus status)
{
    const LedgerWrite written = m_saveCommand.recordUnsaved(
        m_form.fileSystem(), m_form.saveDirectory(), QString(), url, status, m_form.clock().now());
    m_tally.add(status, written == LedgerWrite::Written);
}

void WorkflowController::readFailed()
{
    m_form.setCaption(m_form.programTitle());
    if (m_shownLoad && m_shownLoad->byChain() && m_form.optionChecked(SilentMode))
        retryOrGiveUp(*m_shownLoad, kUnreadablePage);
    else {
        const QString url = m_shownLoad ? m_shownLoad->finalUrl : m_browser.locationUrl();
        recordUnsaved(url, LedgerStatus::ReadFailed);
        m_form.setStatusText(FailedLoadStatus(kUnreadablePage, url));
    }
}

void WorkflowController::onNewWindow2(bool *cancel)
{
    *cancel = true;
    // A page calling window.open in a loop asks many times while the active
    // link is read; that one read answers them all, instead of each request
    // nesting a read of its own inside the one before.
    if (m_openingActiveLink) {
        m_newWindowAskedMeanwhile = true;
        return;
    }
    m_openingActiveLink = true;
    QMetaObject::invokeMethod(this, &WorkflowController::openActiveLink, Qt::QueuedConnection);
}

void WorkflowController::openActiveLink()
{
    QPointer<WorkflowController> self(this);
    std::optional<QString> href;
    // A link clicked while the active element was being read (the chain's
    // click during a page's own window.open) was not yet focused for that
    // read: one more read finds it.
    for (int read = 0; read < 2 && !href; ++read) {
        m_newWindowAskedMeanwhile = false;
        href = m_browser.readActiveElementHref();
        if (!self)
            return;
        if (!m_newWindowAskedMeanwhile || m_browser.isShutDown())
            break;
    }
    m_openingActiveLink = false;
    // Loading the address again would only start the load under way anew:
    // a page asking for windows all the time would never be left.
    if (href && !m_browser.isShutDown() && EncodedAddress(*href) != EncodedAddress(m_browser.loadingUrl()))
        m_browser.navigate(*href, LoadOrigin::Page);
}

void WorkflowController::onWindowClosing(bool, bool *cancel)
{
    *cancel = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_browser.isShutDown())
                m_browser.navigate(QStringLiteral("about:blank"), LoadOrigin::Page);
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
    // A page is on its way: the click worked, or a page the user or the page
    // itself opened takes the chain's place.
    cancelPendingNextPage();
    // A retry waiting for its time gives way to any navigation but its own.
    if (m_retryTimer->isPending() && !m_browser.newestLoad().byChain())
        cancelRetry();
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
