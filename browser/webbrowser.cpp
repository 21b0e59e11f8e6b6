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
// commit) is a one-liner. Now and then the engine drops the answer of a
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
constexpr int kDefaultStallLimitMs = 30000;
constexpr int kDefaultResponseLimitMs = 60000;
// net::ERR_TIMED_OUT: what a load the response limit stopped reports.
constexpr int kTimedOut = -7;
// The engine's own code for a load that failed without saying why (net::ERR_FAILED).
constexpr int kUnspecifiedNetworkError = -2;

// The status a failed top-level load reports through NavigateError: the HTTP
// status of an error answer, otherwise the network error; 0 when the load
// did not fail.
int FailureStatus(const QWebEngineLoadingInfo &info)
{
    if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus)
        return 0;
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)
        return info.errorCode() >= 400 ? info.errorCode() : 0;
    return info.errorCode() < 0 ? info.errorCode() : kUnspecifiedNetworkError;
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
    void navigateTo(const QUrl &url);
    void settleLoadWaitsIfLoaded();
    void pageChanging();
    // timeoutMs: the read time limit unless given; negative waits without one.
    std::optional<QVariant> run(const QString &script, quint32 worldId, WaitRegistry &kind,
                                std::optional<int> timeoutMs = std::nullopt);

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
        DocumentParts parts;
        QString stamp;
        DocumentSnapshot snapshot;
    };
    std::optional<LastRead> lastRead;
    int readTimeoutMs = kDefaultReadTimeoutMs;
    bool navigatePending = false;
    quint64 navigateSerial = 0;
    bool navigateReported = false;
    // False from a render process's death until a page has loaded in its
    // successor: a script sent meanwhile is lost by the engine, and its
    // wait would last the whole time limit.
    bool renderAlive = true;
    // The address the last load was for, and those already reloaded once
    // after their render process died (a page that kills it each time is
    // not reloaded for ever).
    QUrl lastLoadUrl;
    QSet<QUrl> reloadedAfterCrash;
    // Counts navigations begun, so that a reload after a crash gives way to
    // one the user or the page started meanwhile.
    quint64 navigationsBegun = 0;

    void renderProcessDied(QWebEnginePage::RenderProcessTerminationStatus status);

    // Parse watch of the top-level load under way: each load gets a serial;
    // once its own document answers that it has been parsed, the stall limit
    // runs from there.
    void watchLoad();
    void pollParsed();
    void documentParsed(quint64 serial);
    QTimer *parsePoll = nullptr;
    quint64 loadSerial = 0;
    qint64 loadStartedAtMs = 0; // epoch time, as the document's performance.timeOrigin counts
    bool pollInFlight = false;
    int stallLimitMs = kDefaultStallLimitMs;
    int responseLimitMs = kDefaultResponseLimitMs;
    // The load whose document was parsed, and the load the response limit stopped.
    quint64 parsedSerial = 0;
    quint64 timedOutSerial = 0;
    // The load finishLoadNow() stopped: its stop is reported as a completion.
    quint64 finishedEarlySerial = 0;
    // Stops the load under way, marking it in `mark` (one of the serials
    // above) for the report of its end.
    void stopLoadReportedAs(quint64 &mark);
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
    const QString url = info.url().toString();
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        navigatePending = false;
        navigateReported = false;
        lastLoadUrl = info.url();
        ++navigationsBegun;
        pageChanging();
        watchLoad();
        post([this] { emit q->DownloadBegin(); });
        return;
    }

    navigatePending = false;
    parsePoll->stop();
    const bool finishedEarly = finishedEarlySerial == loadSerial;
    finishedEarlySerial = 0;
    const bool timedOut = timedOutSerial == loadSerial;
    timedOutSerial = 0;
    const bool completed =
        info.status() != QWebEngineLoadingInfo::LoadStoppedStatus || finishedEarly || timedOut;
    // A document (or an error page) has been committed, so a render process runs it.
    if (completed)
        renderAlive = true;
    // A reload of the same address commits without a change of address.
    if (completed && !navigateReported) {
        navigateReported = true;
        post([this, url] { emit q->NavigateComplete2(kTopLevelFrame, url); });
    }
    post([this] { emit q->DownloadComplete(); });
    if (const int status = finishedEarly ? 0 : timedOut ? kTimedOut : FailureStatus(info))
        post([this, url, status] { emit q->NavigateError(kTopLevelFrame, url, status); });
    if (completed)
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
    const QUrl url = lastLoadUrl.isEmpty() && page ? page->url() : lastLoadUrl;
    if (url.isEmpty() || reloadedAfterCrash.contains(url))
        return;
    reloadedAfterCrash.insert(url);
    const quint64 begun = navigationsBegun;
    QTimer::singleShot(kCrashReloadDelayMs, q, [this, url, begun] {
        if (navigationsBegun == begun)
            navigateTo(url);
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
    const bool loading = page && page->isLoading();
    if (loading && !navigateReported) {
        pageChanging();
    } else {
        lastRead.reset();
        actions.succeedAll(true);
    }
    if (loading) {
        if (navigateReported)
            return;
        navigateReported = true;
    } else if (navigatePending) {
        // A Navigate() to a fragment of this document: done without a load.
        navigatePending = false;
        settleLoadWaitsIfLoaded();
    }
    const QString text = url.toString();
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
    post([this, url] { navigateTo(url); });
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

void WebBrowser::Private::navigateTo(const QUrl &url)
{
    if (!page || !url.isValid() || url.isEmpty())
        return;
    ++navigationsBegun;
    if (url.scheme() != QLatin1String("javascript")) {
        navigatePending = true;
        const quint64 serial = ++navigateSerial;
        QTimer::singleShot(kNavigateStartGraceMs, q, [this, serial] {
            if (navigatePending && serial == navigateSerial) {
                navigatePending = false;
                settleLoadWaitsIfLoaded();
            }
        });
    }
    page->load(url);
}

void WebBrowser::Private::watchLoad()
{
    ++loadSerial;
    loadStartedAtMs = QDateTime::currentMSecsSinceEpoch();
    pollInFlight = false;
    parsePoll->start(kParsePollMs);
    const quint64 serial = loadSerial;
    QTimer::singleShot(responseLimitMs, q, [this, serial] {
        if (serial != loadSerial || parsedSerial == serial || !page || !page->isLoading())
            return;
        const QString url = lastLoadUrl.toString();
        post([this, url] { emit q->LoadUnanswered(kTopLevelFrame, url); });
    });
}

void WebBrowser::Private::pollParsed()
{
    if (!page || !page->isLoading()) {
        parsePoll->stop();
        return;
    }
    if (pollInFlight || !renderAlive)
        return;
    pollInFlight = true;
    const quint64 serial = loadSerial;
    const qint64 startedAt = loadStartedAtMs;
    QPointer<WebBrowser> self(q);
    // Until the load commits, the document that answers is the former one:
    // it is finished ("complete") and older than the load.
    page->runJavaScript(
        QStringLiteral("[document.readyState, performance.timeOrigin]"), QWebEngineScript::ApplicationWorld,
        [this, self, serial, startedAt](const QVariant &answer) {
            if (!self || serial != loadSerial)
                return;
            pollInFlight = false;
            const QVariantList fields = answer.toList();
            if (fields.size() != 2)
                return;
            const QString state = fields.at(0).toString();
            // Both clocks are the system's; the document's starts a little before the engine reports the load.
            const bool ownDocument = fields.at(1).toDouble() >= double(startedAt) - 100;
            if (state == QLatin1String("interactive") || (state == QLatin1String("complete") && ownDocument))
                documentParsed(serial);
        });
}

void WebBrowser::Private::documentParsed(quint64 serial)
{
    parsedSerial = serial;
    parsePoll->stop();
    QTimer::singleShot(stallLimitMs, q, [this, serial] {
        if (serial != loadSerial || !page || !page->isLoading())
            return;
        const QString url = lastLoadUrl.toString();
        post([this, url] { emit q->LoadStalled(kTopLevelFrame, url); });
    });
}

void WebBrowser::Private::stopLoadReportedAs(quint64 &mark)
{
    if (!page || !page->isLoading())
        return;
    mark = loadSerial;
    page->triggerAction(QWebEnginePage::Stop);
}

void WebBrowser::Private::settleLoadWaitsIfLoaded()
{
    if (q->ReadyState() == 4)
        loadWaits.succeedAll();
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

void WebBrowser::Navigate(const QString &url)
{
    d->navigateTo(AddressUrl(url, QDir::currentPath()));
}

int WebBrowser::ReadyState() const
{
    const bool loading = d->navigatePending || (d->page && d->page->isLoading());
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
    return d->page && d->page->isLoading() ? d->lastLoadUrl.toString() : QString();
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

std::optional<DocumentSnapshot> WebBrowser::readDocument(const DocumentParts &parts)
{
    if (auto again = lastReadIfUnchanged(parts))
        return again;
    return readSnapshot(parts);
}

std::optional<DocumentSnapshot> WebBrowser::readLinks()
{
    return readDocument(DocumentParts::linksOnly());
}

std::optional<DocumentSnapshot> WebBrowser::lastReadIfUnchanged(const DocumentParts &parts)
{
    if (!d->lastRead || !d->lastRead->parts.covers(parts))
        return std::nullopt;
    QPointer<WebBrowser> self(this);
    const QString stamp = d->lastRead->stamp;
    const std::optional<QVariant> answer =
        d->run(chunked::unchangedSince(stamp), QWebEngineScript::ApplicationWorld, d->reads);
    // The page may have changed, or another read taken the place, meanwhile.
    if (!self || !answer || answer->typeId() != QMetaType::Bool || !answer->toBool() || !d->lastRead
        || d->lastRead->stamp != stamp)
        return std::nullopt;
    return d->lastRead->snapshot;
}

std::optional<DocumentSnapshot> WebBrowser::readSnapshot(const DocumentParts &parts)
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
        std::optional<DocumentSnapshot> snapshot = read.take();
        if (self && snapshot)
            d->lastRead = Private::LastRead{parts, read.stamp(), *snapshot};
        return snapshot;
    }
    // The kept answer would otherwise stay in the page until it is replaced.
    if (self && d->page && d->renderAlive)
        d->page->runJavaScript(chunked::releaseRead(read.token()), QWebEngineScript::ApplicationWorld);
    return std::nullopt;
}

bool DocumentParts::covers(const DocumentParts &other) const
{
    if (other.bodyText && !bodyText)
        return false;
    // Texts left out here for measures are texts the other read must not want.
    for (const QString &tag : measuredTags) {
        const bool measuredThere = other.measuredTags.contains(tag, Qt::CaseInsensitive);
        if (measuredThere) {
            // What the other read brings, this one must bring too.
            if (!other.carryBounds.within(carryBounds))
                return false;
        } else if (other.everyElement || other.tagNames.contains(tag, Qt::CaseInsensitive)) {
            return false;
        }
    }
    // Measures are only in a read that measures.
    for (const QString &tag : other.measuredTags) {
        if (!measuredTags.contains(tag, Qt::CaseInsensitive))
            return false;
    }
    if (!everyElement) {
        if (other.everyElement)
            return false;
        for (const QString &tag : other.tagNames) {
            if (!tagNames.contains(tag, Qt::CaseInsensitive))
                return false;
        }
    }
    // Markup left out here must be markup the other read may leave out too.
    if (textOnlyBelow <= 0)
        return true;
    for (const QString &tag : textOnlyTags) {
        const bool asked = other.everyElement || other.tagNames.contains(tag, Qt::CaseInsensitive);
        if (asked && !(other.textOnlyTags.contains(tag, Qt::CaseInsensitive)
                       && other.textOnlyBelow >= textOnlyBelow))
            return false;
    }
    return true;
}

std::optional<QString> WebBrowser::readTitle()
{
    const auto answer = d->run(scripts::readTitle(), QWebEngineScript::ApplicationWorld, d->reads);
    return answer ? scripts::parseTitle(*answer) : std::nullopt;
}

std::optional<QString> WebBrowser::readBodyText()
{
    const auto answer = d->run(scripts::readBodyText(), QWebEngineScript::ApplicationWorld, d->reads);
    return answer ? scripts::parseBodyText(*answer) : std::nullopt;
}

std::optional<QString> WebBrowser::readActiveElementHref()
{
    const auto answer = d->run(scripts::readActiveElementHref(), QWebEngineScript::ApplicationWorld, d->reads);
    return answer ? scripts::parseActiveElementHref(*answer) : std::nullopt;
}

std::optional<QString> WebBrowser::readRetryAfter()
{
    const auto answer = d->run(scripts::readRetryAfter(), QWebEngineScript::ApplicationWorld, d->reads);
    return answer ? scripts::parseRetryAfter(*answer) : std::nullopt;
}

std::optional<int> WebBrowser::readRelNextLink()
{
    const auto answer = d->run(scripts::readRelNextLink(), QWebEngineScript::ApplicationWorld, d->reads);
    return answer ? scripts::parseRelNextLink(*answer) : std::nullopt;
}

bool WebBrowser::clickElement(int index)
{
    const auto answer = d->run(scripts::clickElement(index), QWebEngineScript::ApplicationWorld, d->actions);
    return answer && answer->typeId() == QMetaType::Bool && answer->toBool();
}

ClickOutcome WebBrowser::clickLink(int index, const LinkCheck &check)
{
    const auto answer = d->run(scripts::clickLink(index, check), QWebEngineScript::ApplicationWorld, d->actions);
    return answer ? scripts::parseClickLink(*answer) : ClickOutcome::Failed;
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

bool WebBrowser::isShutDown() const
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
    d->stopLoadReportedAs(d->timedOutSerial);
}

void WebBrowser::finishLoadNow()
{
    d->stopLoadReportedAs(d->finishedEarlySerial);
}

} // namespace pagewick::browser
