#pragma once

#include "extract/pagedocument.h"
#include "workflow/browserport.h"

#include <QSet>
#include <QString>

namespace pagewick::workflow {

// The position in doc.all of the first link (tag name "A" in any case) whose
// inner HTML or inner text contains name, compared exactly; -1 when there is
// none. An empty name matches nothing.
int FirstLinkNamed(const extract::PageDocument &doc, const QString &name);

// The pages one automatic chain has moved on from by its next-page links,
// and the link targets it followed, since the user last started a
// navigation. A next-page link leading back into them would loop for ever.
class ChainMemory
{
public:
    void clear();
    void recordFollowed(const QString &fromUrl, const QString &target);
    // The target is the page itself (an empty target, or one that differs
    // only in its fragment) or a page or link this chain already followed.
    bool leadsBack(const QString &currentUrl, const QString &target) const;

private:
    QSet<QString> m_seen;
};

// The link the next-page command follows, or -1: the first link named name,
// unless it leads back (with an empty chain: unless it leads to the page itself).
int NextLinkToFollow(const LoadedPage &page, const QString &name, const ChainMemory &chain);

// The notice shown when no link can be followed.
QString NoNextLinkNotice();

} // namespace pagewick::workflow
