#pragma once

#include "extract/pagedocument.h"
#include "workflow/browserport.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace pagewick::workflow {

// The names Txt_Next holds: one name, or several separated by "|", in the
// order written. Each is used exactly as written (not trimmed); the empty
// names around a doubled, leading or trailing "|" are left out, so "a||b"
// is "a|b". A text without "|" is one name, even an empty one.
QStringList NextLinkNames(const QString &text);

// The position in doc.all of the first link (tag name "A" in any case) whose
// inner HTML or inner text contains name, compared exactly; -1 when there is
// none. An empty name matches nothing.
int FirstLinkNamed(const extract::PageDocument &doc, const QString &name);

// The link of the first name that some link contains: within that name the
// first such link in document order; -1 when no link holds any of them.
int FirstLinkNamed(const extract::PageDocument &doc, const QStringList &names);

// A link whose click runs the page's script instead of naming a page: no
// target at all ("" here, the resolved target of a link without one) or a
// "javascript:" one. (A target written "#…" resolves to the page itself
// with a fragment; only the page can tell it from the page's own address.)
bool IsScriptTarget(const QString &resolvedTarget);

// The pages one automatic chain has moved on from by its next-page links,
// and the link targets it followed, since the user last started a
// navigation. A next-page link leading back into them would loop for ever.
class ChainMemory
{
public:
    void clear();
    void recordFollowed(const QString &fromUrl, const QString &target);
    // The target is the page itself (one that differs only in its fragment)
    // or a page or link this chain already followed. A script link leads
    // back only from a page the chain has moved on from before: its click
    // brought the chain round to where it had been.
    bool leadsBack(const QString &currentUrl, const QString &target) const;
    // The chain moved on from this page before.
    bool hasLeft(const QString &url) const;

private:
    QSet<QString> m_seen;
    QSet<QString> m_left;
};

// What the next-page command clicks.
struct NextLinkChoice
{
    int index = -1; // -1: no link to follow
    // The resolved target is the page itself with a fragment: clicked only
    // when the link's written target starts with "#" (a script link), not
    // when it names the page's own address.
    bool onlyIfWrittenAsFragment = false;
    // Found by the search of the usual names (UsualNextLink::name; empty
    // for rel="next"), not by the name in the box.
    std::optional<QString> usualName;
};

// The first link of the names in nameText (NextLinkNames), unless it leads
// back (with an empty chain: unless it leads to the page itself). While
// nameText is the starting name and no link contains it, the link of the
// usual names (FindUsualNextLink).
NextLinkChoice ChooseNextLink(const LoadedPage &page, const QString &nameText, const ChainMemory &chain);

// The notice shown when no link can be followed.
QString NoNextLinkNotice();

} // namespace pagewick::workflow
