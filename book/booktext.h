#pragma once

#include "book/chapters.h"

#include <QList>
#include <QString>

namespace pagewick::book {

// The book as one text, with CR LF line breaks: the book's name, an empty
// line, then the chapters with two empty lines between them, and one line
// break after the last line. A chapter is its title, an empty line and its
// lines. A known author stands in a line "作者：…" right under the name.
QString BookText(const QString &name, const QList<Chapter> &chapters, const QString &author = QString());

} // namespace pagewick::book
