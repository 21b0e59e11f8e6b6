#pragma once

#include <QString>
#include <QStringList>

// Stateless text operations used by the extraction. Positions and lengths are
// UTF-16 code units; a line break is CR LF and nothing else; "space" is U+0020
// unless a function says otherwise.
namespace pagewick::text {

// Every stretch of Strall between an occurrence of FirstStr and the next
// occurrence of EndStr (markers excluded), joined by SplitStr.
QString FindStrMulti(const QString &Strall, const QString &FirstStr, const QString &EndStr,
                     const QString &SplitStr);

// Drops the lines of length 0. Yields to the event queue while it walks.
QString DelSpace(const QString &Text);
// Removes the leading spaces (U+0020 and U+3000, see spaces.h) of every line;
// keeps the line count. Yields.
QString DellSpace(const QString &Text);
// Removes the trailing spaces (U+0020 and U+3000) of every line; keeps the
// line count. Yields.
QString DelrSpace(const QString &Text);
// Inserts four spaces after every CR LF.
QString addSpace(const QString &Text);

// Paragraph re-flow: one indented paragraph per non-blank line, separated by
// an empty line, every U+0020 and U+3000 removed, U+00A8 ends a paragraph.
// A line made only of U+0020 and U+3000 is blank.
QString dlcp(const QString &txt);

// Sorts a[low..high] in place, ascending by ordinal (code unit) order.
// Does nothing when high <= low or when the range reaches outside the array.
void SortStr(QStringList &a, int low, int high);

} // namespace pagewick::text
