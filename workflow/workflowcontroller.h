#pragma once

#include "workflow/browserport.h"
#include "workflow/nextlink.h"
#include "workflow/runs.h"
#include "workflow/savecommand.h"

#include <QObject>
#include <QString>

namespace pagewick::workflow {

class FormPort;

// The extraction cycle and the browser's other events: every top-level page
// that finishes loading starts the Extract command, which saves the result
// and follows the next-page link, whose page starts the next cycle. Also
// keeps the visited pages from opening windows, closing the browser or
// showing dialogs.
class WorkflowController : public QObject
{
    Q_OBJECT

public:
    // Installs the suppression scripts in the browser. The ports must outlive
    // the controller.
    WorkflowController(BrowserPort &browser, FormPort &form, QObject *parent = nullptr);

    // The commands of Cmd_tiqu, Cmd_save and Cmd_next.
    void extract();
    void save();
    void nextPage();

    // The user started a navigation (address box, Go, a drop): a new chain
    // of next-page links begins.
    void beginChain();

    // Browser events.
    void onDocumentComplete(FrameId frame, const QString &url);
    void onNavigateComplete2(FrameId frame, const QString &url);
    // Decides at once; the navigation that follows is queued.
    void onNewWindow2(bool *cancel);
    void onWindowClosing(bool isChildWindow, bool *cancel);
    void onDownloadBegin();
    void onDownloadComplete();
    void onStatusTextChange(const QString &text);
    void onLostFocus();

private:
    // Something started after `generation` or the window is closing.
    bool outdated(quint64 generation);
    // Only a silent run can go round in circles: there the chain also ends
    // at a link back to a page it has left.
    void followNextLink(bool guardAgainstLoops);
    void openActiveLink();
    void silenceWhileBlocking();

    BrowserPort &m_browser;
    FormPort &m_form;
    RunGenerations m_runs;
    SaveCommand m_saveCommand;
    ChainMemory m_chain;
    // A new-window request is being answered: later ones join it.
    bool m_openingActiveLink = false;
};

// The question of the page-loaded handling in answer mode.
QString PageLoadedQuestion();

} // namespace pagewick::workflow
