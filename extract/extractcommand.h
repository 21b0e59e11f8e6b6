#pragma once

#include "extract/candidatestate.h"
#include "extract/pagedocument.h"

#include <QString>

#include <optional>

namespace pagewick::extract {

// What one run of the Extract command needs from the window and the browser.
// Options are read through it at the moment each step needs them, never
// copied, so a change made while a run waits takes effect at its next step.
class ExtractHost
{
public:
    virtual ~ExtractHost() = default;

    // Waits, letting events run, until the page has loaded completely; lets
    // events run at least once. False when the run must end instead.
    virtual bool waitForPage() = 0;
    // False once a newer run has started or the window is closing; such a
    // run ends at once and changes nothing more.
    virtual bool stillCurrent() = 0;
    // Lets pending events run once; then as stillCurrent().
    virtual bool yieldToEvents() = 0;

    virtual bool browserSilent() = 0;
    virtual void setBrowserSilent(bool silent) = 0;
    // While on, the page's own script dialogs (alert, confirm, prompt) are
    // answered as dismissed whatever Silent says.
    virtual void setPageDialogsSilenced(bool silenced) = 0;
    // Lets events run while it reads; nullopt when the page cannot be read.
    virtual std::optional<PageDocument> readDocument() = 0;
    // After a failed read: waits, letting events run, until the page has
    // loaded and then a short while longer. False when the run must end instead.
    virtual bool waitForSettledPage() = 0;
    // The page could not be read, not even once it had settled.
    virtual void readFailed() = 0;

    virtual bool customExtraction() = 0; // Check1(3) has value 1
    virtual QString startKeyword() = 0;  // Txt_gjz(0)
    virtual QString endKeyword() = 0;    // Txt_gjz(1)
    virtual bool reflow() = 0;           // Check1(2) has value 1
    virtual bool silentMode() = 0;       // Check1(1) has value 1

    virtual QString pageTitle() = 0;
    virtual void setPageTitle(const QString &title) = 0;
    virtual CandidateState &candidates() = 0;
    virtual void setText1(const QString &text) = 0;
    virtual void setCaption(const QString &caption) = 0;

    // A question with OK and Cancel; true for OK.
    virtual bool ask(const QString &question) = 0;
    virtual void runSave() = 0;
    virtual void runNextPage() = 0;
};

// One run of the Extract command: wait for the page, take its main text,
// put the cleaned title in front, optionally re-flow it, show it in Text1,
// then save and go on to the next page (asking first in answer mode).
//
// A run superseded while it waits, reads or scans ends at its next yield
// without touching Text1, PageTitle, the candidates or the caption: they are
// all set together once no yield lies ahead. It still puts the browser's
// Silent back to the value it found.
//
// A read that fails is tried once more once the page has settled; when that
// fails too, the run empties PageTitle, Text1 and the candidates (nothing of
// the former page stays to be saved under this one), reports readFailed()
// and ends without saving or going on.
//
// While Silent is off for the run, the page's script dialogs stay answered
// if Silent was on before it: a prompt from the visited page would otherwise
// stop an automatic chain at a modal box until someone answers it.
void RunExtract(ExtractHost &host);

// The texts a run shows.
QString FinishedCaption(const QString &cleanTitle);
QString SaveQuestion();
QString NextPageQuestion();

} // namespace pagewick::extract
