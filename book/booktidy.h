#pragma once

#include "book/chapters.h"

#include <QList>
#include <QString>

// The book as a reader wants it: the site's additions to every page left
// out, each title once, the author found.
namespace pagewick::book {

// One kind of line left out.
struct RemovedLine
{
    QString line;            // the line as it stood (trimmed); for repeated titles, a description
    qsizetype times = 0;     // how often it was left out
    QList<qsizetype> chapters; // the chapters it stood in, by their place in the book, from 0
};

struct TidyBook
{
    QList<Chapter> chapters;
    QString author; // empty when no page names one
    QList<RemovedLine> removed;
};

inline const QString kRepeatedTitles = QStringLiteral("（章节开头重复的章节标题）");

// The chapters of `pages` (see JoinChapters) with each page's text starting
// after a repeat of its title, without the author lines at the head of a
// page, and without the site's lines (see SiteLines; lines naming a volume
// stay). With `keepEverything` no line is left out; the author is still
// found. The author is the name the head lines of the pages give most often.
TidyBook Tidy(const QList<BookPage> &pages, const QString &bookName, bool keepEverything);

// The text of "<book>.removed.txt", CR LF line breaks.
QString RemovedReport(const QString &bookName, const QList<RemovedLine> &removed);

} // namespace pagewick::book
