#pragma once

#include "extract/candidatescore.h"
#include "extract/pagedocument.h"

#include <QString>
#include <QStringList>
#include <QMetaType>
#include <QtGlobal>

#include <optional>
#include <utility>

namespace pagewick::workflow {

// Identity of the window a browser event concerns; the top-level page is
// BrowserPort::topFrame().
using FrameId = quint64;

// The current top-level document, read in one piece.
struct LoadedPage
{
    QString url;
    extract::PageDocument document;
    // Per element of document.all: the resolved target of a link, empty for
    // anything else and for a link without a target.
    QStringList hrefs;
    // The first link marked rel="next" (readRelNextLink); -1 when none is
    // or it was not asked for.
    int relNextIndex = -1;
};

// A link a read found, to be clicked only while it is still there.
struct LinkToClick
{
    int index = -1; // in document.all
    QString tagName;
    QString href;      // resolved, as LoadedPage::hrefs
    QString innerText; // CR LF breaks
    // Click only when the written target starts with "#".
    bool onlyIfWrittenAsFragment = false;
};

enum class ClickResult {
    Clicked,
    // The element at that position is no longer that link: nothing clicked.
    Changed,
    // The link is there but its written target names a page: nothing clicked.
    WrittenAsPage,
    Failed,
};

// Who began a top-level load.
enum class LoadOrigin {
    User,       // the address box, Go, a drop, Next page by hand
    ChainClick, // the silent chain's next-page step
    ChainRetry, // the silent chain loading a failed page again
    Page,       // the page itself: a link clicked in it, a script, a new window
    AnswerStep, // the Extract run's next-page step in answer mode, after the user's OK
};

enum class LoadOutcome {
    Loaded,
    HttpError,      // code: the HTTP status (400 or more); the server's answer is shown
    NetworkError,   // code: the engine's network error (net::Error numbering)
    NoResponse,     // no document within the response limit: stopped (failLoadNow)
    StoppedAsLoaded, // still loading past the stall limit: stopped, its page taken as loaded
    NoPage,         // ended without a page: 204 No Content, a download, an aborted load
    Abandoned,      // stopped by the program where the chain had ended (abandonLoad)
};

// One top-level load, from its start to its end, as the browser saw it. The
// browser hands it over once, complete, when the load ends.
struct PageLoad
{
    quint64 id = 0; // ascending in the order loads begin
    QString askedUrl; // the address the load was asked for, before any redirect
    // The address the document was committed at (redirects followed);
    // the asked one when the load ended before a commit.
    QString finalUrl;
    LoadOrigin origin = LoadOrigin::Page;
    LoadOutcome outcome = LoadOutcome::Loaded;
    int code = 0;
    // The addresses of the moves within the document while it loaded
    // (fragments, pushState, replaceState), in order.
    QStringList moves;

    // A document to read: loaded, or taken as loaded.
    bool showsPage() const { return outcome == LoadOutcome::Loaded || outcome == LoadOutcome::StoppedAsLoaded; }
    bool byChain() const { return origin == LoadOrigin::ChainClick || origin == LoadOrigin::ChainRetry; }
    // Opened by the Extract run's own next-page step, in either mode.
    bool byStep() const { return byChain() || origin == LoadOrigin::AnswerStep; }
};

// What a read needs of the document. Elements outside it keep their place in
// the answer with their tag name alone (empty texts, markup and target), so
// positions are still those of document.all.
struct ReadParts
{
    // Every element in full; tagNames is then of no account.
    bool everyElement = false;
    // The elements (tag name in any case) that need their inner text, inner
    // HTML and target.
    QStringList tagNames;
    bool bodyText = true;
    // Of these tags, an element whose inner text (CR LF breaks), without
    // leading and trailing U+0020 and U+3000, is shorter than textOnlyBelow
    // needs no inner HTML. Markup is what makes a read of deep nesting grow
    // with the square of the depth.
    QStringList textOnlyTags;
    int textOnlyBelow = 0;
    // Elements of these tags come with their measures (PageElement::measures)
    // and no markup; only those within carryBounds need their inner text.
    QStringList measuredTags;
    extract::AcceptanceBounds carryBounds;

    static ReadParts everything()
    {
        ReadParts parts;
        parts.everyElement = true;
        return parts;
    }
    static ReadParts elements(QStringList tags, bool withBodyText)
    {
        ReadParts parts;
        parts.tagNames = std::move(tags);
        parts.bodyText = withBodyText;
        return parts;
    }
    // Links (tag name A in any case) only, without the body text: all the
    // next-page step looks at.
    static ReadParts linksOnly() { return elements({QStringLiteral("A")}, false); }
    // Whether a read of these parts holds everything a read of `other` would.
    bool covers(const ReadParts &other) const;
};

// The browser as the workflow uses it. Reads and waits let events run, so
// other handlers (and newer runs) may run inside them.
class BrowserPort
{
public:
    virtual ~BrowserPort() = default;

    // origin Page leaves a claim of expectLoadFrom() standing.
    virtual void navigate(const QString &url, LoadOrigin origin) = 0;
    // The next top-level load that begins, whatever starts it, counts as
    // begun by origin (Page withdraws the claim); a navigate() replaces it.
    virtual void expectLoadFrom(LoadOrigin origin) = 0;
    // The newest top-level load begun as it stands (id 0 before the first);
    // its outcome is only meaningful once it has ended.
    virtual PageLoad newestLoad() = 0;
    virtual QString locationUrl() = 0;
    // The address a load under way is fetching; empty when none is.
    virtual QString loadingUrl() { return {}; }
    // The title of the page shown as the engine has it, without a read.
    virtual QString locationName() { return {}; }
    // Stops the load under way; its page is then reported complete.
    virtual void finishLoadNow() {}
    // Stops the load under way; it is then reported as failed (timed out).
    virtual void failLoadNow() {}
    // Stops the load under way; it is then reported as Abandoned, a load
    // nobody waits for any more.
    virtual void abandonLoad() {}
    virtual FrameId topFrame() = 0;
    virtual bool silent() = 0;
    virtual void setSilent(bool silent) = 0;
    // While on, the page's alert, confirm and prompt are answered as
    // dismissed even with Silent off.
    virtual void setPageDialogsSilenced(bool silenced) = 0;

    // Only what `parts` asks for is needed; the rest may come empty.
    // Positions are those of document.all all the same.
    virtual std::optional<LoadedPage> readElements(const ReadParts &parts) = 0;
    // All the next-page command looks at: the links (tag name A).
    std::optional<LoadedPage> readLinks() { return readElements(ReadParts::linksOnly()); }
    // nullopt also when the document has no body.
    virtual std::optional<QString> readBodyText() = 0;
    // nullopt when the focused element is not a link or cannot be read.
    virtual std::optional<QString> readActiveElementHref() = 0;
    // The Retry-After the server gives the shown page's address (an error
    // page's) when asked again; nullopt when none.
    virtual std::optional<QString> readRetryAfter() { return std::nullopt; }
    // The position in document.all of the first link marked rel="next";
    // -1 when none is, nullopt when the page could not be read.
    virtual std::optional<int> readRelNextLink() { return std::nullopt; }
    // Gives all.item(index) the focus, in a round trip of its own, so that a
    // new window it asks for can be opened in place; false when that failed.
    virtual bool focusElement(int index) = 0;
    // In one step in the page: when all.item(link.index) is still the link,
    // gives it the focus (so that a new window it asks for can be opened in
    // place) and calls its click().
    virtual ClickResult clickLink(const LinkToClick &link) = 0;
    virtual bool execScript(FrameId frame, const QString &code) = 0;
    // Scripts run by the engine itself in every document and frame as soon
    // as each is created.
    virtual void setDocumentStartScripts(const QStringList &scripts) = 0;

    // True once the page has loaded; false when interrupted or shut down.
    virtual bool waitUntilLoaded() = 0;
    // Makes the waits and reads under way now fail.
    virtual void interruptWaits() = 0;
    // The window is closing: every wait and read fails from now on.
    virtual bool isShutDown() = 0;
};

} // namespace pagewick::workflow

Q_DECLARE_METATYPE(pagewick::workflow::PageLoad)
