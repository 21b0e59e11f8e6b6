#pragma once

#include "extract/pagedocument.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

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
};

// What a read needs of the document.
struct ReadParts
{
    // The elements (tag name in any case) that need their inner text, inner
    // HTML and target.
    QStringList tagNames;
    bool bodyText = true;
    // Of these tags, an element whose inner text (CR LF breaks), without
    // leading and trailing U+0020 and U+3000, is shorter than textOnlyBelow
    // needs no inner HTML.
    QStringList textOnlyTags;
    int textOnlyBelow = 0;
};

// The browser as the workflow uses it. Reads and waits let events run, so
// other handlers (and newer runs) may run inside them.
class BrowserPort
{
public:
    virtual ~BrowserPort() = default;

    virtual void navigate(const QString &url) = 0;
    virtual QString locationUrl() = 0;
    // The address a load under way is fetching; empty when none is.
    virtual QString loadingUrl() { return {}; }
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
    std::optional<LoadedPage> readLinks()
    {
        ReadParts links;
        links.tagNames = QStringList{QStringLiteral("A")};
        links.bodyText = false;
        return readElements(links);
    }
    // nullopt also when the document has no body.
    virtual std::optional<QString> readBodyText() = 0;
    // nullopt when the focused element is not a link or cannot be read.
    virtual std::optional<QString> readActiveElementHref() = 0;
    // Gives all.item(index) the focus, so that a new window it asks for can
    // be opened in place; false when that failed.
    virtual bool focusElement(int index) = 0;
    virtual bool clickElement(int index) = 0;
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
