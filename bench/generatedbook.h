#pragma once

#include <QByteArray>
#include <QString>

// A synthetic serialized book whose saved files are known in advance: each
// chapter page holds about 10 KB of chapter text (lines joined by <br> in one
// content div) among about 1,500 elements of navigation, sidebar and
// comments, none of which can win the main-text detection.
namespace pagewick::bench {

struct GeneratedChapter
{
    QByteArray html;   // UTF-8, declared as such
    QString fileTitle; // the title as cleaned for the file name: "第N章 ..."
    QString expected;  // what the saved file holds, as text with CR LF breaks
};

// Chapter `number` (1-based) of a book of `count` chapters whose pages lie
// at pathPrefix + number + ".html"; the last one has no next-page link.
GeneratedChapter GenerateChapter(int number, int count, const QString &pathPrefix);

// Elements of a chapter page, as document.all counts them.
int ChapterElementCount(const QByteArray &html);

} // namespace pagewick::bench
