#pragma once

#include "tests/support/loopbackserver.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Serves samples/book-utf8 under /book/.
void ServeSampleBook(pagewick::testsupport::LoopbackServer &server);

// The text a chapter of the sample book is saved with: the cleaned title,
// an empty line, the paragraphs of its content block separated by empty
// lines, and a final line break. Worked out from the page source.
QString ExpectedChapterText(const QString &chapterFile);
// The cleaned title of a chapter of the sample book.
QString ChapterTitle(const QString &chapterFile);

// The sample book's chapter files in reading order.
QStringList SampleChapters();

// A page with a title, a prose block the detection takes and the given
// extra markup at the end of the body.
QByteArray ProsePage(const QString &title, const QString &extraBody, const QString &sentence = {});
