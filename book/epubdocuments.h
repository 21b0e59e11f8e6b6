#pragma once

#include "book/chapters.h"
#include "book/volumes.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The documents inside the EPUB: an EPUB 3 package that EPUB 2 readers open
// too (they find the chapters through the spine and toc.ncx).
namespace pagewick::book {

struct EpubBook
{
    QString title;
    QString identifier; // "urn:uuid:..."
    QString language;   // "zh" or "en"
    QDateTime modified;
    QList<Chapter> chapters;
    QString author;   // empty when not known
    QByteArray cover; // PNG; empty: no cover
    // One per chapter (see ChapterPlaces), or empty for a book without volumes.
    QList<ChapterPlace> places;
};

// The same directory and name give the same identifier, so that a reader
// takes a book made again as a new edition of the same book.
QString BookIdentifier(const QString &directory, const QString &name);

// "zh", or "en" when neither the name nor the chapters hold CJK characters.
QString BookLanguage(const QString &name, const QList<Chapter> &chapters);

// Paths inside the container's content folder.
QString ChapterFileName(qsizetype index, qsizetype count);

QByteArray ContainerDocument(); // META-INF/container.xml
QByteArray PackageDocument(const EpubBook &book);
QByteArray NavDocument(const EpubBook &book);
QByteArray NcxDocument(const EpubBook &book);
QByteArray ChapterDocument(const EpubBook &book, qsizetype index);
QByteArray CoverDocument(const EpubBook &book); // the first page, showing the cover picture
QByteArray StyleSheet();

// Where the package document lies in the container.
inline const QString kContentFolder = QStringLiteral("EPUB/");
inline const QString kPackagePath = QStringLiteral("EPUB/package.opf");
inline const QString kCoverImage = QStringLiteral("cover.png");
inline const QString kCoverPage = QStringLiteral("cover.xhtml");

} // namespace pagewick::book
