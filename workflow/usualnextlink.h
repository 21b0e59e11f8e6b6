#pragma once

#include "extract/pagedocument.h"
#include "workflow/browserport.h"

#include <QString>
#include <QStringList>

namespace pagewick::workflow {

// The link-name box's starting value. While the box holds it, a page whose
// links do not contain it is searched for the names sites usually give
// their next link (UsualNextNames).
QString StartingNextLinkName();

// The names looked for after the starting one, in their order: the Chinese
// names, then "Next Chapter", "Next Page" and "Next" as a word (English
// names in any case). A link marked rel="next" comes after all of them.
QStringList UsualNextNames();

// A link as a reader sees it: its markup as one space each, character
// references decoded, every run of white space one space, no space at
// either end. The inner text stands in when the markup was not read.
QString ReaderLinkText(const extract::PageElement &link);

// Whether a link of this reader's text (and markup) bears the usual name.
// Chinese names are contained anywhere (also in the markup, an image's
// alternative text); "Next" must stand as a word and not name another work
// ("Next Work", "Next Story", "Next Book").
bool BearsUsualName(const extract::PageElement &link, const QString &readerText, const QString &name);

// The link the search follows, and the name it went by.
struct UsualNextLink
{
    int index = -1;
    QString name; // empty for rel="next"
};

// The first usual name that some link bears, within it the first such link
// in document order; then the first link marked rel="next". index -1 when
// none.
UsualNextLink FindUsualNextLink(const LoadedPage &page);

// The status line once the search followed a link: "按“下一章”继续".
QString FollowedNameText(const QString &name);

} // namespace pagewick::workflow
