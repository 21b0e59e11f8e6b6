#pragma once

#include "book/chapters.h"

#include <QHash>
#include <QString>

#include <functional>

// Lines that a site puts into every chapter page (advertising, its address,
// "next page" notices) as opposed to the story's own lines.
namespace pagewick::book {

// The line holds a web address or one of the phrases of a site's notices.
bool IsSiteNotice(const QString &line);

// The lines (trimmed) that the book leaves out, each with the number of
// chapters it stands in. A line counts once per chapter however often it
// stands there, since a chapter's own repeated lines belong to the story. A
// line goes when it has 6 or more characters and stands in at least 3
// chapters and in at least a fifth of them, or when it is a site notice that
// stands in 2 or more chapters. Lines that `keep` accepts always stay.
QHash<QString, qsizetype> SiteLines(const QList<Chapter> &chapters,
                                    const std::function<bool(const QString &)> &keep);

} // namespace pagewick::book
