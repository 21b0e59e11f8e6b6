#include "browser/webbrowser.h"

#include "browser/addressurl.h"
#include "browser/chunkedread.h"
#include "browser/documentscripts.h"
#include "browser/pagewaits.h"
#include "browser/silentpage.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <algorithm>

namespace pagewick::browser {

namespace {

constexpr FrameId kTopLevelFrame = 1;

// A read that has not answered by then never will in any useful sense (a
// page script hogging the renderer); the caller carries on without it.
constexpr int kDefaultReadTimeoutMs = 30000;
// A script the program runs into a page (the pop-up suppression at each
// commit, a focus) is a one-liner. Now and then the engine drops the answer of a
// script sent while a document commits; waiting the whole read limit for it
// would hold up the handler that ran it for half a minute.
constexpr int kScriptTimeoutMs = 2000;

// Navigate() reports loading at once, before the engine does. Should the
// engine never start (a scheme it hands to the desktop, say), the claim is
// withdrawn after this long so that waits do not hang on nothing.
constexpr int kNavigateStartGraceMs = 3000;

// After a render process dies, the engine first ends the load it was part
// of; the reload that follows waits this long for a navigation of the user's
// own, which then goes first.
constexpr int kCrashReloadDelayMs = 1000;

// A load still under way after this long is asked now and then whether its
// document has been parsed; loads that finish sooner cost nothing.
constexpr int kParsePollMs = 500;
// A poll whose answer has not come by then is taken as lost (the engine
// drops a script's answer now and then while a document commits) and sent again.
constexpr int kParsePollAnswerMs = 2000;
constexpr int kDefaultStallLimitMs = 30000;
constexpr int kDefaultResponseLimitMs = 60000;
// net::ERR_TIMED_OUT: what a load the response limit stopped reports.
constexpr int kTimedOut = -7;
// net::ERR_ABORTED: a navigation that committed nothing (204, a download, a stop).
constexpr int kAborted = -3;
// The engine's own code for a load that failed without saying why (net::ERR_FAILED).
constexpr int kUnspecifiedNetworkError = -2;

using workflow::LoadOutcome;
using workflow::LoadOrigin;

// How a top-level load the program did not stop itself ended.
void SetOutcome(workflow::PageLoad &load, const QWebEngineLoadingInfo &info)
{
    load.code = 0;
    load.outcome = LoadOutcome::Loaded;
    if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus) {
        load.outcome = LoadOutcome::NoPage;
    } else if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus) {
        return;
    } else if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        if (info.errorCode() >= 400) {
            load.outcome = LoadOutcome::HttpError;
            load.code = info.errorCode();
        }
    } else if (info.errorCode() == kAborted) {
        load.outcome = LoadOutcome::NoPage;
    } else {
        load.outcome = LoadOutcome::NetworkError;
        load.code = info.errorCode() < 0 ? info.errorCode() : kUnspecifiedNetworkError;
    }
}

} // namespace

class WebBrowser::Private
{
public:
    explicit Private(WebBrowser *owner) : q(owner) {}

    // Events reach handlers from the event queue, in the order they happened,
    // never inside the engine's own callback.
    template<typename F>
    void post(F &&f)
    {
        QMetaObject::invokeMethod(q, std::forward<F>(f), Qt::QueuedConnection);
    }

    void connectPage();
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void onUrlChanged(const QUrl &url);
    void onNewWindowRequested(QWebEngineNewWindowRequest &request);
    void onWindowCloseRequested();
    void onFocusChanged(QWidget *old, QWidget *now);
    bool isInsideView(const QWidget *w) const;
    void navigateTo(const QUrl &url, LoadOrigin origin);
    void settleLoadWaitsIfLoaded();
    void pageChanging();
    // timeoutMs: the read time limit unless given; negative waits without one.
    std::optional<QVariant> run(const QString &script, quint32 worldId, WaitRegistry &kind,
                                std::optional<int> timeoutMs = std::nullopt);
    // run() of a reading script in the program's world, its answer taken
    // by the script's own reader; nullopt when no answer came.
    template <class Parse>
    auto read(const QString &script, Parse parse) -> decltype(parse(QVariant()));

    WebBrowser *q;
    QPointer<QWebEngineView> view;
    QPointer<SilentPage> page;
    // Reads fail when the page changes under them. Actions (a click, a
    // script) that change the page have done their work by then, and count
    // as succeeded: a followed link navigates before its click() answers.
    WaitRegistry reads;
    WaitRegistry actions;
    WaitRegistry loadWaits;
    QList<QWebEngineScript> startScripts;
    // The last document read, for answering a read of the same, unchanged
    // document again without reading it.
    struct LastRead
    {
        workflow::ReadParts parts;
        QString stamp;
        workflow::LoadedPage page;
    };
    std::optional<LastRead> lastRead;
    int readTimeoutMs = kDefaultReadTimeoutMs;
    // Runs from a Navigate() until its load begins: ReadyState() is 1 meanwhile.
    QTimer *navigateGrace = nullptr;
    // False from a render process's death until a page has loaded in its
    // successor: a script sent meanwhile is lost by the engine, and its
    // wait would last the whole time limit.
    bool renderAlive = true;
    // The addresses already reloaded once after their render process died
    // (a page that kills it each time is not reloaded for ever).
    QSet<QUrl> reloadedAfterCrash;

    void renderProcessDied(QWebEnginePage::RenderProcessTerminationStatus status);

    // The newest top-level load's record; `open` while it is under way.
    workflow::PageLoad newest;
    // Who begins the next load, as Navigate() or expectLoadFrom() said.
    std::optional<LoadOrigin> claim;
    struct OpenLoad
    {
        bool committed = false;
        bool parsed = false;
        // Set when the program stopped the load: how its end is reported.
        std::optional<LoadOutcome> stoppedAs;
        qint64 startedAtMs = 0; // epoch time, as the document's performance.timeOrigin counts
        qint64 pollSentAtMs = 0; // a parse poll awaits its answer since; 0: none
    };
    std::optional<OpenLoad> open;
    void loadStarted(const QWebEngineLoadingInfo &info);
    void loadEnded(const QWebEngineLoadingInfo &info);
    bool isOpen(quint64 id) const { return open && newest.id == id && page && page->isLoading(); }

    // Parse watch of the top-level load under way: once its own document
    // answers that it has been parsed, the stall limit runs from there.
    void watchLoad();
    void pollParsed();
    void documentParsed();
    QTimer *parsePoll = nullptr;
    int stallLimitMs = kDefaultStallLimitMs;
    int responseLimitMs = kDefaultResponseLimitMs;
    // Stops the load under way; its end is reported as `outcome`.
    void stopLoadAs(LoadOutcome outcome);
};

void WebBrowser::Private::connectPage()
{
    QObject::connect(page, &QWebEnginePage::loadingChanged, q,
                     [this](const QWebEngineLoadingInfo &info) { onLoadingChanged(info); });
    QObject::connect(page, &QWebEnginePage::urlChanged, q,
                     [this](const QUrl &url) { onUrlChanged(url); });
    QObject::connect(page, &QWebEnginePage::renderProcessTerminated, q,
                     [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                         renderProcessDied(status);
                     });
    QObject::connect(page, &QWebEnginePage::renderProcessPidChanged, q, [this](qint64 pid) {
        if (pid != 0)
            renderAlive = true;
    });
    QObject::connect(page, &QWebEnginePage::newWindowRequested, q,
                     [this](QWebEngineNewWindowRequest &request) { onNewWindowRequested(request); });
    QObject::connect(page, &QWebEnginePage::windowCloseRequested, q,
                     [this] { onWindowCloseRequested(); });
    QObject::connect(page, &QWebEnginePage::linkHovered, q, [this](const QString &url) {
        post([this, url] { emit q->StatusTextChange(url); });
    });
    QObject::connect(qApp, &QApplication::focusChanged, q,
                     [this](QWidget *old, QWidget *now) { onFocusChanged(old, now); });
}

void WebBrowser::Private::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
        loadStarted(info);
    else
        loadEnded(info);
}

void WebBrowser::Private::loadStarted(const QWebEngineLoadingInfo &info)
{
    navigateGrace->stop();
    workflow::PageLoad load;
    load.id = newest.id + 1;
    load.askedUrl = info.url().toString();
    load.origin = claim.value_or(LoadOrigin::Page);
    claim.reset();
    newest = load;
    open = OpenLoad{};
    pageChanging();
    watchLoad();
    post([this] { emit q->DownloadBegin(); });
}

void WebBrowser::Private::loadEnded(const QWebEngineLoadingInfo &info)
{
    parsePoll->stop();
    // An end without its start (a load begun before this browser listened).
    if (!open) {
        workflow::PageLoad load;
        load.id = newest.id + 1;
        load.askedUrl = info.url().toString();
        newest = load;
        open = OpenLoad{};
    }
    const OpenLoad ended = *std::exchange(open, std::nullopt);
    workflow::PageLoad &load = newest;
    if (load.finalUrl.isEmpty())
        load.finalUrl = info.url().toString();
    if (ended.stoppedAs) {
        load.outcome = *ended.stoppedAs;
        load.code = load.outcome == LoadOutcome::NoResponse ? kTimedOut : 0;
    } else {
        SetOutcome(load, info);
    }
    const bool shown = load.outcome != LoadOutcome::NoPage
                       && (load.outcome != LoadOutcome::Abandoned || ended.committed);
    const QString url = info.url().toString();
    // A document (or an error page) has been committed, so a render process runs it.
    if (shown)
        renderAlive = true;
    // A reload of the same address commits without a change of address.
    if (shown && !ended.committed)
        post([this, url] { emit q->NavigateComplete2(kTopLevelFrame, url); });
    post([this] { emit q->DownloadComplete(); });
    post([this, load = newest] { emit q->LoadEnded(load); });
    if (shown)
        post([this, url] { emit q->DocumentComplete(kTopLevelFrame, url); });
    settleLoadWaitsIfLoaded();
}

void WebBrowser::Private::renderProcessDied(QWebEnginePage::RenderProcessTerminationStatus status)
{
    renderAlive = false;
    reads.failAll();
    actions.failAll();
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    // The page that was shown or on its way is loaded again, as a user
    // would press reload, so that a chain of pages left running goes on;
    // only once per address.
    const QUrl url = newest.id == 0 && page ? page->url() : QUrl(newest.askedUrl);
    if (url.isEmpty() || reloadedAfterCrash.contains(url))
        return;
    reloadedAfterCrash.insert(url);
    const quint64 begun = newest.id;
    const LoadOrigin origin = newest.origin;
    QTimer::singleShot(kCrashReloadDelayMs, q, [this, url, begun, origin] {
        if (newest.id == begun && !navigateGrace->isActive())
            navigateTo(url, origin);
    });
}

void WebBrowser::Private::pageChanging()
{
    lastRead.reset();
    reads.failAll();
    actions.succeedAll(true);
}

void WebBrowser::Private::onUrlChanged(const QUrl &url)
{
    // While loading, the address changes when the navigation commits; when
    // not loading, or once the load has committed, it is a move within the
    // document (a fragment, pushState, replaceState), which leaves the
    // document and so the reads under way alone.
    const QString text = url.toString();
    const bool loading = open && page && page->isLoading();
    if (loading && !open->committed) {
        open->committed = true;
        newest.finalUrl = text;
        pageChanging();
    } else {
        lastRead.reset();
        actions.succeedAll(true);
        if (loading) {
            newest.moves << text;
            return;
        }
        if (navigateGrace->isActive()) {
            // A Navigate() to a fragment of this document: done without a load.
            navigateGrace->stop();
            settleLoadWaitsIfLoaded();
        }
    }
    post([this, text] { emit q->NavigateComplete2(kTopLevelFrame, text); });
}

void WebBrowser::Private::onNewWindowRequested(QWebEngineNewWindowRequest &request)
{
    const QUrl url = request.requestedUrl();
    QPointer<WebBrowser> self(q);
    bool cancel = false;
    emit q->NewWindow2(&cancel);
    if (!self || cancel)
        return;
    // There is no second window: the target replaces the current page.
    post([this, url] { navigateTo(url, LoadOrigin::Page); });
}

void WebBrowser::Private::onWindowCloseRequested()
{
    // The view is the program's only one; a closing that is not cancelled
    // has nothing further to do.
    bool cancel = false;
    emit q->WindowClosing(false, &cancel);
}

bool WebBrowser::Private::isInsideView(const QWidget *w) const
{
    return w && view && (w == view || view->isAncestorOf(w) || w == view->focusProxy());
}

void WebBrowser::Private::onFocusChanged(QWidget *old, QWidget *now)
{
    if (!view || !now || !isInsideView(old) || isInsideView(now))
        return;
    if (now->window() != view->window())
        return;
    post([this] { emit q->LostFocus(); });
}

void WebBrowser::Private::navigateTo(const QUrl &url, LoadOrigin origin)
{
    if (!page || !url.isValid() || url.isEmpty())
        return;
    if (origin != LoadOrigin::Page)
        claim = origin;
    if (url.scheme() != QLatin1String("javascript"))
        navigateGrace->start(kNavigateStartGraceMs);
    page->load(url);
}

void WebBrowser::Private::watchLoad()
{
    open->startedAtMs = QDateTime::currentMSecsSinceEpoch();
    parsePoll->start(kParsePollMs);
    const quint64 id = newest.id;
    QTimer::singleShot(responseLimitMs, q, [this, id] {
        if (!isOpen(id) || open->parsed)
            return;
        post([this, url = newest.askedUrl] { emit q->LoadUnanswered(kTopLevelFrame, url); });
    });
}

void WebBrowser::Private::pollParsed()
{
    if (!open || !page || !page->isLoading()) {
        parsePoll->stop();
        return;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if ((open->pollSentAtMs != 0 && now - open->pollSentAtMs < kParsePollAnswerMs) || !renderAlive)
        return;
    open->pollSentAtMs = now;
    const quint64 id = newest.id;
    const qint64 startedAt = open->startedAtMs;
    QPointer<WebBrowser> self(q);
    // Until the load commits, the document that answers is the former one:
    // it is finished ("complete") and older than the load.
    page->runJavaScript(
        scripts::parseState(), QWebEngineScript::ApplicationWorld,
        [this, self, id, startedAt](const QVariant &answer) {
            if (!self || !open || newest.id != id || open->parsed)
                return;
            open->pollSentAtMs = 0;
            if (const std::optional<scripts::ParseState> state = scripts::readParseState(answer)) {
                if (state->parsedSince(startedAt))
                    documentParsed();
            }
        });
}

void WebBrowser::Private::documentParsed()
{
    open->parsed = true;
    parsePoll->stop();
    const quint64 id = newest.id;
    QTimer::singleShot(stallLimitMs, q, [this, id] {
        if (!isOpen(id))
            return;
        post([this, url = newest.askedUrl] { emit q->LoadStalled(kTopLevelFrame, url); });
    });
}

void WebBrowser::Private::stopLoadAs(LoadOutcome outcome)
{
    if (!open || !page || !page->isLoading())
        return;
    open->stoppedAs = outcome;
    page->triggerAction(QWebEnginePage::Stop);
}

void WebBrowser::Private::settleLoadWaitsIfLoaded()
{
    if (q->ReadyState() == 4)
        loadWaits.succeedAll();
}

template <class Parse>
auto WebBrowser::Private::read(const QString &script, Parse parse) -> decltype(parse(QVariant()))
{
    const std::optional<QVariant> answer = run(script, QWebEngineScript::ApplicationWorld, reads);
    return answer ? parse(*answer) : std::nullopt;
}

std::optional<QVariant> WebBrowser::Private::run(const QString &script, quint32 worldId,
                                                 WaitRegistry &kind, std::optional<int> timeoutMs)
{
    if (!page || !renderAlive)
        return std::nullopt;
    const std::shared_ptr<WaitState> state = kind.begin();
    if (state->isSettled())
        return std::nullopt;
    // The callback holds only the shared state: it may come after the wait
    // gave up, or after this browser is gone, and then finds it settled.
    page->runJavaScript(script, worldId, [state](const QVariant &answer) { state->succeed(answer); });
    const int limitMs = timeoutMs.value_or(readTimeoutMs);
    // Nothing of this object may be touched after the wait: a handler that
    // ran meanwhile may have destroyed it.
    if (!waitFor(state, limitMs))
        return std::nullopt;
    return state->value();
}

WebBrowser::WebBrowser(QWidget *parentWidget)
    : QObject(parentWidget)
    , d(std::make_unique<Private>(this))
{
    d->view = new QWebEngineView(parentWidget);
    d->page = new SilentPage(d->view);
    d->view->setPage(d->page);
    d->navigateGrace = new QTimer(this);
    d->navigateGrace->setSingleShot(true);
    connect(d->navigateGrace, &QTimer::timeout, this, [this] { d->settleLoadWaitsIfLoaded(); });
    d->parsePoll = new QTimer(this);
    connect(d->parsePoll, &QTimer::timeout, this, [this] { d->pollParsed(); });
    d->connectPage();
}

WebBrowser::~WebBrowser()
{
    shutdown();
    if (d->page)
        QObject::disconnect(d->page, nullptr, this, nullptr);
    QObject::disconnect(qApp, nullptr, this, nullptr);
    delete d->view.data();
}

QWidget *WebBrowser::widget() const
{
    return d->view;
}

void WebBrowser::Navigate(const QString &url, LoadOrigin origin)
{
    d->navigateTo(AddressUrl(url, QDir::currentPath()), origin);
}

void WebBrowser::expectLoadFrom(LoadOrigin origin)
{
    if (origin == LoadOrigin::Page)
        d->claim.reset();
    else
        d->claim = origin;
}

workflow::PageLoad WebBrowser::newestLoad()
{
    return d->newest;
}

int WebBrowser::ReadyState() const
{
    const bool loading = d->navigateGrace->isActive() || (d->page && d->page->isLoading());
    return loading ? 1 : 4;
}

bool WebBrowser::Silent() const
{
    return d->page && d->page->isSilent();
}

void WebBrowser::setSilent(bool silent)
{
    if (d->page)
        d->page->setSilent(silent);
}

void WebBrowser::setPageDialogsSilenced(bool silenced)
{
    if (d->page)
        d->page->setScriptDialogsSilenced(silenced);
}

QString WebBrowser::loadingURL() const
{
    return d->open && d->page && d->page->isLoading() ? d->newest.askedUrl : QString();
}

QString WebBrowser::LocationURL() const
{
    return d->page ? d->page->url().toString() : QString();
}

QString WebBrowser::LocationName() const
{
    return d->page ? d->page->title() : QString();
}

FrameId WebBrowser::Object() const
{
    return kTopLevelFrame;
}

void WebBrowser::Move(int left, int top, int width, int height)
{
    if (d->view)
        d->view->setGeometry(left, top, qMax(0, width), qMax(0, height));
}

int WebBrowser::Height() const
{
    return d->view ? d->view->height() : 0;
}

void WebBrowser::setDocumentStartScripts(const QStringList &scripts)
{
    if (!d->page)
        return;
    QWebEngineScriptCollection &collection = d->page->scripts();
    for (const QWebEngineScript &s : std::as_const(d->startScripts))
        collection.remove(s);
    d->startScripts.clear();
    for (qsizetype i = 0; i < scripts.size(); ++i) {
        QWebEngineScript s;
        s.setName(QStringLiteral("pagewick-document-start-%1").arg(i));
        s.setSourceCode(scripts::guardedDocumentStart(scripts.at(i)));
        s.setInjectionPoint(QWebEngineScript::DocumentCreation);
        s.setWorldId(QWebEngineScript::MainWorld);
        s.setRunsOnSubFrames(true);
        collection.insert(s);
        d->startScripts.append(s);
    }
}

std::optional<workflow::LoadedPage> WebBrowser::readElements(const workflow::ReadParts &parts)
{
    if (auto again = lastReadIfUnchanged(parts))
        return again;
    return readInPieces(parts);
}

std::optional<workflow::LoadedPage> WebBrowser::lastReadIfUnchanged(const workflow::ReadParts &parts)
{
    if (!d->lastRead || !d->lastRead->parts.covers(parts))
        return std::nullopt;
    QPointer<WebBrowser> self(this);
    const QString stamp = d->lastRead->stamp;
    const std::optional<QVariant> answer =
        d->run(chunked::unchangedSince(stamp), QWebEngineScript::ApplicationWorld, d->reads);
    // The page may have changed, or another read taken the place, meanwhile.
    if (!self || !answer || !scripts::parseFlag(*answer) || !d->lastRead
        || d->lastRead->stamp != stamp)
        return std::nullopt;
    return d->lastRead->page;
}

std::optional<workflow::LoadedPage> WebBrowser::readInPieces(const workflow::ReadParts &parts)
{
    // A handler that runs during one of the waits may destroy this browser.
    QPointer<WebBrowser> self(this);
    const int limitMs = d->readTimeoutMs;
    QElapsedTimer clock;
    clock.start();
    chunked::Assembler read;
    std::optional<QVariant> answer =
        d->run(chunked::beginRead(chunked::kDefaultBudget, parts), QWebEngineScript::ApplicationWorld,
               d->reads);
    if (!answer || !read.begin(*answer))
        return std::nullopt;
    // The whole read keeps to one time limit.
    while (!read.finished()) {
        const int leftMs = limitMs < 0 ? -1 : limitMs - int(clock.elapsed());
        if (!self || leftMs == 0 || leftMs < -1)
            break;
        answer = d->run(chunked::readChunk(read.token(), read.nextField(), read.nextOffset()),
                        QWebEngineScript::ApplicationWorld, d->reads, leftMs);
        if (!answer || !read.feed(*answer))
            break;
    }
    if (read.finished()) {
        std::optional<workflow::LoadedPage> page = read.take();
        if (self && page)
            d->lastRead = Private::LastRead{parts, read.stamp(), *page};
        return page;
    }
    // The kept answer would otherwise stay in the page until it is replaced.
    if (self && d->page && d->renderAlive)
        d->page->runJavaScript(chunked::releaseRead(read.token()), QWebEngineScript::ApplicationWorld);
    return std::nullopt;
}

std::optional<QString> WebBrowser::readTitle()
{
    return d->read(scripts::readTitle(), scripts::parseTitle);
}

std::optional<QString> WebBrowser::readBodyText()
{
    return d->read(scripts::readBodyText(), scripts::parseBodyText);
}

std::optional<QString> WebBrowser::readActiveElementHref()
{
    return d->read(scripts::readActiveElementHref(), scripts::parseActiveElementHref);
}

std::optional<QString> WebBrowser::readRetryAfter()
{
    return d->read(scripts::readRetryAfter(), scripts::parseRetryAfter);
}

std::optional<int> WebBrowser::readRelNextLink()
{
    return d->read(scripts::readRelNextLink(), scripts::parseRelNextLink);
}

bool WebBrowser::clickElement(int index)
{
    const auto answer = d->run(scripts::clickElement(index), QWebEngineScript::ApplicationWorld, d->actions);
    return answer && scripts::parseFlag(*answer);
}

bool WebBrowser::focusElement(int index)
{
    const auto answer = d->run(scripts::focusElement(index), QWebEngineScript::ApplicationWorld, d->actions,
                               std::min(d->readTimeoutMs, kScriptTimeoutMs));
    return answer && scripts::parseFlag(*answer);
}

workflow::ClickResult WebBrowser::clickLink(const workflow::LinkToClick &link)
{
    const auto answer = d->run(scripts::clickLink(link), QWebEngineScript::ApplicationWorld, d->actions);
    return answer ? scripts::parseClickLink(*answer) : workflow::ClickResult::Failed;
}

bool WebBrowser::execScript(FrameId frame, const QString &code)
{
    if (frame != kTopLevelFrame)
        return false;
    const auto answer = d->run(scripts::guardedTopLevel(code), QWebEngineScript::MainWorld, d->actions,
                               std::min(d->readTimeoutMs, kScriptTimeoutMs));
    return answer && answer->typeId() == QMetaType::Bool && answer->toBool();
}

bool WebBrowser::waitUntilLoaded()
{
    QPointer<WebBrowser> self(this);
    QCoreApplication::processEvents();
    while (self && !d->loadWaits.isShutDown()) {
        if (ReadyState() == 4)
            return true;
        if (!waitFor(d->loadWaits.begin(), -1))
            return false;
    }
    return false;
}

void WebBrowser::interruptWaits()
{
    d->reads.failAll();
    d->actions.failAll();
    d->loadWaits.failAll();
}

void WebBrowser::shutdown()
{
    d->reads.shutdown();
    d->actions.shutdown();
    d->loadWaits.shutdown();
}

bool WebBrowser::isShutDown()
{
    return d->reads.isShutDown();
}

void WebBrowser::setReadTimeout(int milliseconds)
{
    d->readTimeoutMs = milliseconds;
}

void WebBrowser::setStallLimit(int milliseconds)
{
    d->stallLimitMs = milliseconds;
}

void WebBrowser::setResponseLimit(int milliseconds)
{
    d->responseLimitMs = milliseconds;
}

void WebBrowser::failLoadNow()
{
    d->stopLoadAs(LoadOutcome::NoResponse);
}

void WebBrowser::finishLoadNow()
{
    d->stopLoadAs(LoadOutcome::StoppedAsLoaded);
}

void WebBrowser::abandonLoad()
{
    d->stopLoadAs(LoadOutcome::Abandoned);
}

} // namespace pagewick::browser
