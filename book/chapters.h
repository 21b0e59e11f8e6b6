#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace pagewick::book {

// One saved page as the book holds it.
struct BookPage
{
    QString title;     // the cleaned title the page was saved under
    QStringList lines; // its text, line by line
};

// Pages of one title in a row: a chapter split over several pages is one
// chapter of the book.
struct Chapter
{
    QString title;
    // The pages' lines, one empty line between two pages; pages without
    // text add nothing.
    QStringList lines;
};

// The lines of a saved file's text: its first line dropped (the title line,
// or the four spaces that stand for the title when it occurs in the text;
// when more follows those four spaces on the line, only the spaces go, so
// that no text is lost), and the empty lines before and after the text.
// Lines end at CR LF; a lone LF or CR ends a line too, since a file edited
// by hand may have them. A line of blanks only counts as empty. A first
// line that is the title as paragraph re-flow leaves it goes whole.
QStringList PageLines(const QString &content, const QString &title);

// Consecutive pages with the same title form one chapter.
QList<Chapter> JoinChapters(const QList<BookPage> &pages);

} // namespace pagewick::book
