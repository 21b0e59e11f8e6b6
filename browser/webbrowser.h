#pragma once

#include "workflow/browserport.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;

namespace pagewick::browser {

// Identity of the window an event concerns: the top-level page is Object(),
// frames get other values.
using FrameId = workflow::FrameId;

// The page-document operations the program uses, over Qt WebEngine; also the
// browser as the workflow uses it (workflow::BrowserPort).
//
// Reads are synchronous for the caller: they run a script in the page and wait
// for the answer while the event queue keeps running (so other handlers may run
// meanwhile). A read fails (nullopt / false) instead of hanging when the page
// changes or its render process dies before the answer arrives, when
// shutdown() has been called, or after a generous time limit.
//
// Events are delivered from the event loop, never from inside an engine
// callback, so handlers may themselves read the page or wait. The two
// cancellable events, NewWindow2 and WindowClosing, are the exception: they are
// emitted directly and their handlers must only decide (and may queue work).
class WebBrowser : public QObject, public workflow::BrowserPort
{
    Q_OBJECT

public:
    explicit WebBrowser(QWidget *parentWidget);
    ~WebBrowser() override;

    // The view to place in the window.
    QWidget *widget() const;

    // Loads url as a browser's address bar would (QUrl::fromUserInput, local
    // paths included; a "file://" text naming an existing file is that file,
    // see AddressUrl). Returns at once; ReadyState() is 1 from here on. Input
    // that makes no address is ignored. The load counts as begun by origin;
    // Page leaves a claim of expectLoadFrom() standing.
    void Navigate(const QString &url, workflow::LoadOrigin origin = workflow::LoadOrigin::User);
    // The next top-level load that begins counts as begun by origin,
    // whatever starts it (a click in the page, say); Page withdraws the claim.
    void expectLoadFrom(workflow::LoadOrigin origin) override;
    // The record of the newest top-level load begun: complete once it has
    // ended (LoadEnded); id 0 before the first.
    workflow::PageLoad newestLoad() override;

    // 4 once the last load has finished and no load is under way, 1 while
    // loading. 4 before the first load.
    int ReadyState() const;

    // While true the engine shows no dialog of its own: JavaScript alert,
    // confirm and prompt answer as cancelled, before-unload answers "leave"
    // (so the program's own navigations go on), certificate errors are
    // refused, authentication is cancelled, permissions are denied, file
    // choosers return nothing. While false the engine's own behaviour holds:
    // script dialogs, before-unload and file choosers are modal dialogs.
    bool Silent() const;
    void setSilent(bool silent) override;
    // While on, the page's alert, confirm and prompt (and the before-unload
    // question) are answered as in silent mode, whatever Silent says.
    void setPageDialogsSilenced(bool silenced) override;

    QString LocationURL() const;
    // The title of the page shown, as the engine has it (the address while
    // the document names none); no round trip to the page.
    QString LocationName() const;
    // The address a top-level load under way is fetching; empty when none is.
    QString loadingURL() const;
    FrameId Object() const;

    // Geometry in pixels, relative to the parent widget.
    void Move(int left, int top, int width, int height);
    int Height() const;

    // Scripts run in every document and frame, in the page's own script world,
    // as soon as each document is created, each on its own (one that throws
    // does not stop the next).
    void setDocumentStartScripts(const QStringList &scripts) override;

    // --- document operations (synchronous, yielding) ---
    // The top-level document, in pieces of bounded size (see chunkedread.h);
    // relNextIndex is left at -1. A document that has not changed since the
    // last read (no change to its nodes, attributes or texts) is answered
    // from that read when it covers the parts asked for, for the cost of one
    // short round trip.
    std::optional<workflow::LoadedPage> readElements(const workflow::ReadParts &parts) override;
    std::optional<QString> readTitle();
    std::optional<QString> readBodyText() override; // nullopt also when there is no body
    // href of document.activeElement; nullopt when it is not a link or cannot be read.
    std::optional<QString> readActiveElementHref() override;
    // The Retry-After the server gives the page's address now; nullopt when
    // none (or no answer of the page's origin).
    std::optional<QString> readRetryAfter() override;
    // The position of the first link marked rel="next"; -1 when none is.
    std::optional<int> readRelNextLink() override;
    // all.item(index).click(), the element focused first as a user's click
    // would; false when the element is gone or the call failed.
    bool clickElement(int index);
    // Gives all.item(index) the focus; false when it is gone or the call failed.
    bool focusElement(int index) override;
    // all.item(link.index).click() as clickElement() does, in the same script
    // that makes sure the element is still the link the read found; nothing
    // is focused or clicked otherwise.
    workflow::ClickResult clickLink(const workflow::LinkToClick &link) override;
    // parentWindow.execScript(code) in the given window; only the top-level
    // page can be reached on this engine version, frames answer false.
    bool execScript(FrameId frame, const QString &code) override;

    // Waits, with the event queue running, until ReadyState() is 4 or
    // interruptWaits()/shutdown() is called. Always lets the event queue run
    // at least once. Does not spin the processor. Returns true when loaded.
    bool waitUntilLoaded() override;
    // Ends the waits and reads under way now (they fail); later ones are unaffected.
    void interruptWaits() override;
    // Ends every wait and read, now and later; for the window closing.
    void shutdown();
    bool isShutDown() override;

    // Time limit of each read, 30 s unless set; a read that runs out fails.
    void setReadTimeout(int milliseconds);

    // How long a top-level load may go on after its document has been parsed
    // (readyState "interactive": DOMContentLoaded has fired) before
    // LoadStalled is emitted; 30 s unless set.
    void setStallLimit(int milliseconds);
    // How long a top-level load may go on before its document has been
    // parsed (a server that takes the request and never answers) before
    // LoadUnanswered is emitted; 60 s unless set.
    void setResponseLimit(int milliseconds);
    // Stops the load under way and reports it as having had no response in
    // time (LoadEnded, then DocumentComplete); nothing when none is under way.
    void failLoadNow() override;
    // Stops the load under way and reports its page as taken as loaded
    // (LoadEnded, then DocumentComplete); nothing when none is under way.
    void finishLoadNow() override;
    // Stops the load under way and reports it as Abandoned (LoadEnded, and
    // DocumentComplete when its document had been committed); nothing when
    // none is under way.
    void abandonLoad() override;

    // The workflow's names of the operations above.
    void navigate(const QString &url, workflow::LoadOrigin origin) override { Navigate(url, origin); }
    QString locationUrl() override { return LocationURL(); }
    QString loadingUrl() override { return loadingURL(); }
    QString locationName() override { return LocationName(); }
    FrameId topFrame() override { return Object(); }
    bool silent() override { return Silent(); }

signals:
    // Top-level page only (frame == Object()), once per load that ends with a
    // document, the engine's error page included; not for a stopped load.
    void DocumentComplete(pagewick::browser::FrameId frame, const QString &url);
    // Once per top-level load, when it has ended, however it ended; before
    // its DocumentComplete when there is one. A failed load's page is the
    // server's answer, the engine's error page or what arrived before the
    // failure.
    void LoadEnded(const pagewick::workflow::PageLoad &load);
    // The top-level document has been parsed, yet its load has gone on for
    // the stall limit since (a resource or frame that never finishes). Once per load.
    void LoadStalled(pagewick::browser::FrameId frame, const QString &url);
    // The top-level document has not been parsed within the response limit
    // since its load began. Once per load.
    void LoadUnanswered(pagewick::browser::FrameId frame, const QString &url);
    // When a top-level navigation commits, and for moves within the document.
    void NavigateComplete2(pagewick::browser::FrameId frame, const QString &url);
    void DownloadBegin();
    void DownloadComplete();
    // Not cancelled, the requested address replaces the current page.
    void NewWindow2(bool *cancel);
    void WindowClosing(bool isChildWindow, bool *cancel);
    // The address of the link under the mouse; empty when it leaves.
    void StatusTextChange(const QString &text);
    // The view lost the focus to another widget of its window.
    void LostFocus();

private:
    std::optional<workflow::LoadedPage> readInPieces(const workflow::ReadParts &parts);
    std::optional<workflow::LoadedPage> lastReadIfUnchanged(const workflow::ReadParts &parts);

    class Private;
    std::unique_ptr<Private> d;
};

} // namespace pagewick::browser
