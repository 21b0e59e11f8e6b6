#pragma once

#include "workflow/bookend.h"
#include "workflow/browserport.h"
#include "workflow/chaintiming.h"
#include "workflow/chainsummary.h"
#include "workflow/nextlink.h"
#include "workflow/pacedstep.h"
#include "workflow/runs.h"
#include "workflow/savecommand.h"
#include "workflow/throttlepace.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

#include <memory>
#include <optional>

namespace pagewick::workflow {

class FormPort;

// How a silent chain stopped, and what it put into the ledger.
struct ChainEnd
{
    enum class Reason {
        NoNextLink,   // the book's end, or a page without a next-page link
        GaveUp,       // a page could not be opened or read, retries included
        Verification, // a verification page waits for the user
        SaveFailed,   // the save directory takes no file (SaveStoppedNotice)
    };
    Reason reason = Reason::NoNextLink;
    ChainTally tally;
    // The page given up on, or the verification page; empty at a book's end.
    QString url;
    // Its load's failure (loadfailure.h) for GaveUp and Verification.
    int status = 0;
};

// The extraction cycle and the browser's other events: every top-level page
// that finishes loading starts the Extract command, which saves the result
// and follows the next-page link, whose page starts the next cycle. Also
// keeps the visited pages from opening windows, closing the browser or
// showing dialogs.
//
// Each top-level load is decided from its record (PageLoad) alone. A page
// that fails to load (an HTTP error status, a network error, no response)
// or that cannot be read is never extracted. When the silent chain's own
// next-page step opened it, or the chain's load ended without a page, the
// address the chain asked for is loaded again after the pauses of
// ChainTiming (or the site's longer Retry-After of a 429 or 503), and the
// chain gives up on it after the last one. A verification page (a 403, a
// known challenge title, also on a 503, or a 503 whose text is a check) only
// asks the user, in the status line, to pass it. Loads the user started are
// shown as they are.
//
// A page the Extract run's own next-page step opened (in either mode) that
// is the book's contents or information page ends the chain unsaved. A
// silent chain that neither waits between pages nor cuts by keywords takes
// each page in one step (stepThrough): the next page loads while the one
// read is written. Signs
// of throttling in a silent chain lengthen the pause before each next page
// (ThrottlePace); a page that comes back blank after pages with text is
// loaded once more after that pause.
class WorkflowController : public QObject
{
    Q_OBJECT

public:
    // Installs the suppression scripts in the browser. The ports must outlive
    // the controller.
    // timer: null for the event loop's own.
    WorkflowController(BrowserPort &browser, FormPort &form, QObject *parent = nullptr,
                       DelayTimer *timer = nullptr, ChainTiming timing = {});
    ~WorkflowController() override;

    // The commands of Cmd_tiqu, Cmd_save and Cmd_next.
    void extract();
    void save();
    void nextPage();

    // The user started a navigation (address box, Go, a drop, "接着上次"):
    // a new chain of next-page links begins, and its tally for the summary.
    void beginChain();
    // A new chain begins at url, its first page being the chain's own: a
    // page that fails there is loaded again as the chain's later pages are.
    void beginChainAt(const QString &url);
    // Silent mode was switched off, or the user pressed Extract or Next
    // page: a retry waiting for its time is dropped, and the page shown is
    // the user's from now on.
    void cancelRetry();

    // The address "接着上次" opens: the last page the save directory's
    // ledger has as saved. nullopt once the user has been told there is none.
    std::optional<QString> continueAddress();

    // Silent mode was switched on or off; off calls off a waiting next-page
    // step or retry.
    void onSilentModeChanged(bool on);

    // Browser events.
    // The end of a top-level load, the browser's DocumentComplete included:
    // a page that loaded starts a cycle, one that did not is shown as failed
    // or, when the silent chain began it, loaded again after a pause.
    void onLoadEnded(const PageLoad &load);
    // In silent mode the load is stopped and its page taken as complete.
    void onLoadStalled(FrameId frame, const QString &url);
    // In silent mode a load whose document never came fails (timed out),
    // so that the chain's retries take over.
    void onLoadUnanswered(FrameId frame, const QString &url);
    // Decides at once; the navigation that follows is queued.
    void onNewWindow2(bool *cancel);
    void onWindowClosing(bool isChildWindow, bool *cancel);
    void onDownloadBegin();
    void onDownloadComplete();
    void onStatusTextChange(const QString &text);
    void onLostFocus();

signals:
    // The chain ended (its summary has gone to the status line), or stopped
    // at a verification page: in the window the user may pass the check and
    // the chain goes on; a run without a window ends there.
    void chainEnded(const pagewick::workflow::ChainEnd &end);

private:
    // A new run of the Extract command (or of the one step): earlier ones end.
    quint64 beginRun();
    // The page's cycle in the usual order: body, contents-page check, the
    // Extract run, whose save and next-page step follow it.
    void cycleInOrder(const PageLoad &load);
    // The page's cycle in one step, for a silent chain without a pause or
    // keywords: one read of everything the cycle needs, the click on the
    // next link, then the detection, the result box and the save while the
    // next page loads. Decides as the usual order does.
    void stepThrough(const PageLoad &load);
    // The step itself; the loads that ended meanwhile wait. Answers the
    // newest load it called off, whose loads are no pages of the chain.
    std::optional<quint64> takeStep(const PageLoad &load);
    // The step's last decision, once its page has been written.
    void stepDone(const NextLinkChoice &choice, std::optional<ClickResult> click);
    // The page is blank (no body, or only spaces): true once handled.
    bool blankPage(const PageLoad &load, const std::optional<QString> &body);
    // Something started after `generation` or the window is closing.
    bool outdated(quint64 generation);
    // Drops a pending retry and the count of failures; whether the page on
    // its way is the chain's stays as it is.
    void forgetRetries();
    // Only a silent run can go round in circles: there the chain also ends
    // at a link back to a page it has left. chainStep: the Extract run's own
    // step, not the user's button. attempt: the lookups already made.
    void followNextLink(bool guardAgainstLoops, bool chainStep, int attempt = 0);
    // Focuses and clicks the chosen link, and keeps what the chain must know
    // of the click; Changed and WrittenAsPage clicked nothing.
    ClickResult clickNextLink(const LoadedPage &page, const NextLinkChoice &choice, LoadOrigin origin,
                              quint64 generation);
    // The link the next-page step follows; the rel="next" link is asked for
    // only when no name is found. named: ChooseNextLink's answer for the
    // page, names and guard, when it has been made already.
    NextLinkChoice chooseNextLink(LoadedPage &page, bool guardAgainstLoops,
                                  const std::optional<NextLinkChoice> &named = std::nullopt);
    // The Extract run's last step: at once, or after the page interval in
    // silent mode.
    void continueChain();
    // A paced click and a watch for the click's page are called off.
    void cancelPendingNextPage();
    // Ends the chain should no page start loading within noNavigationMs.
    void watchForNavigation();
    void noNavigationAfterClick();
    // The chain ends: no next-page link, or none that opened a page.
    void noNextLink();
    // The chain's step reached the book's contents page (IsBookEnd): it
    // ends there, unsaved, with its ledger line.
    void endAtBookEnd(const QString &url);
    // A chain page came back blank after pages with text: loaded once more
    // after the throttle's pause, then recorded empty.
    void blankChainPage(const QString &url);
    // The paced wait before the chain's next load, the throttle's pause
    // when it is the longer one.
    void paceThen(std::function<void()> due);
    void openActiveLink();
    void silenceWhileBlocking();
    // A top-level load ended on no chapter (status: see loadfailure.h).
    void pageFailed(const PageLoad &load, int status);
    // In a silent chain, loads the address the chain asked for again after
    // the next pause, or gives up.
    void retryOrGiveUp(const PageLoad &load, int status);
    void retryPage(const QString &url);
    // The chain ends on a page it could not open or read, even after its retries.
    void chainGaveUpOnPage(const QString &url, int status);
    // A run could not read its page, not even once the page had settled.
    void readFailed();
    // The chain has ended: its summary goes to the status line.
    void endChain(ChainEnd end);
    // A page that left no file still gets its ledger line.
    void recordUnsaved(const QString &url, LedgerStatus status);

    BrowserPort &m_browser;
    FormPort &m_form;
    RunGenerations m_runs;
    SaveCommand m_saveCommand;
    ChainMemory m_chain;
    ChainTally m_tally;
    PacedStep m_pacing;
    // Runs from a silent chain's click until a page starts loading.
    QTimer m_navigationWatch;
    // A next-page link with an address whose click went unanswered: should
    // no page start loading, the watch opens the address itself, once.
    struct UnansweredClick
    {
        QString pageUrl;
        QString href;
    };
    std::optional<UnansweredClick> m_unansweredClick;
    // The last load that ended on a page, and the one whose page the last
    // run read: its address is what a save records.
    std::optional<PageLoad> m_shownLoad;
    std::optional<PageLoad> m_readLoad;
    // A page read in one step is being written (its next page on the way),
    // and the loads that ended meanwhile, in order.
    bool m_stepWriting = false;
    QVector<PageLoad> m_loadsAfterStep;
    // A new-window request is being answered: later ones join it.
    bool m_openingActiveLink = false;
    bool m_newWindowAskedMeanwhile = false;

    std::unique_ptr<DelayTimer> m_ownTimer;
    DelayTimer *m_retryTimer = nullptr;
    ChainTiming m_timing;
    // The page's save failed in a way every later one would: its run
    // stops before the next page.
    bool m_saveStoppedChain = false;
    SavedChapters m_savedChapters;
    ThrottlePace m_throttle;
    // The blank page being loaded once more.
    QString m_blankRefetchUrl;
    // The page being retried and its failures so far.
    QString m_retryUrl;
    int m_retryFailures = 0;
};

// The question of the page-loaded handling in answer mode.
QString PageLoadedQuestion();

// The notice of "接着上次" in a save directory without a saved page.
QString NothingCollectedNotice();
// The status line when the next-page link changed before each of its clicks.
QString LinkChangedText();

} // namespace pagewick::workflow
