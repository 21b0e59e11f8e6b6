#pragma once

#include "workflow/browserport.h"

#include <QSet>
#include <QString>

namespace pagewick::workflow {

// The chapters a chain saved, by PageAddress, and the page it stopped at.
class SavedChapters
{
public:
    void clear() { m_addresses.clear(); }
    void add(const QString &url);
    bool isEmpty() const { return m_addresses.isEmpty(); }
    // How many distinct saved chapters the page's links lead to (the page
    // itself not counted).
    int linkedFrom(const LoadedPage &page) const;

private:
    QSet<QString> m_addresses;
};

// The page's visible text outside its links: the body text with each link's
// inner text taken out once, in document order, then counted without white
// space. A link whose text the body does not show (a hidden menu) takes
// nothing out.
qsizetype TextOutsideLinks(const LoadedPage &page);

// A page a chain reached that is the book's table of contents or its
// information page instead of a chapter: it links to two or more of the
// chapters the chain saved, shows little text of its own and has no next
// link to follow (hasNextLink), or nearly all of its text is the text of
// its many links. A chapter page links to the chapter before it and may
// list the book's latest chapters beside its own text, and it leads on.
bool IsBookEnd(const LoadedPage &page, const SavedChapters &saved, bool hasNextLink);

// The status line and summary part when the chain stopped there.
QString BookEndText();

} // namespace pagewick::workflow
