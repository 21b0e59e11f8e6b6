#include "book/epubwriter.h"

#include "book/ziparchive.h"

namespace pagewick::book {

std::optional<QByteArray> EpubBytes(const EpubBook &book)
{
    QList<ZipEntry> entries;
    const qsizetype count = book.chapters.size();
    entries.reserve(count + 9);
    entries.append({QStringLiteral("mimetype"), QByteArrayLiteral("application/epub+zip"), true});
    entries.append({QStringLiteral("META-INF/container.xml"), ContainerDocument()});
    entries.append({kPackagePath, PackageDocument(book)});
    entries.append({kContentFolder + QStringLiteral("nav.xhtml"), NavDocument(book)});
    entries.append({kContentFolder + QStringLiteral("toc.ncx"), NcxDocument(book)});
    entries.append({kContentFolder + QStringLiteral("style.css"), StyleSheet()});
    if (!book.cover.isEmpty()) {
        // PNG data is packed already.
        entries.append({kContentFolder + kCoverImage, book.cover, true});
        entries.append({kContentFolder + kCoverPage, CoverDocument(book)});
    }
    for (qsizetype i = 0; i < count; ++i)
        entries.append({kContentFolder + ChapterFileName(i, count), ChapterDocument(book, i)});
    return ZipArchive(entries);
}

} // namespace pagewick::book
