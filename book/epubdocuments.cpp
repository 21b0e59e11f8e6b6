#include "book/epubdocuments.h"

#include "book/xmltext.h"
#include "text/spaces.h"

#include <QDir>
#include <QUuid>

namespace pagewick::book {

namespace {

// Namespace of Pagewick's name-based book identifiers.
const QUuid kBookNamespace(QStringLiteral("{6f0c2e9a-3b1d-5c47-9e52-8d4a1f7b2c60}"));

QString ChapterId(qsizetype index)
{
    return QStringLiteral("c%1").arg(index + 1);
}

// A reader's table of contents needs a text for every entry.
QString ShownTitle(const EpubBook &book, const QString &title)
{
    if (!text::IsBlank(title))
        return title;
    return book.language == QLatin1String("zh") ? QStringLiteral("（无标题）") : QStringLiteral("Untitled");
}

QString LanguageAttributes(const EpubBook &book)
{
    return QStringLiteral(" xml:lang=\"%1\" lang=\"%1\"").arg(book.language);
}

QString XhtmlHead(const EpubBook &book, const QString &title, bool epubNamespace)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<!DOCTYPE html>\n"
                          "<html xmlns=\"http://www.w3.org/1999/xhtml\"")
        + (epubNamespace ? QStringLiteral(" xmlns:epub=\"http://www.idpf.org/2007/ops\"") : QString())
        + LanguageAttributes(book)
        + QStringLiteral(">\n<head>\n<meta charset=\"utf-8\"/>\n<title>") + XmlText(title)
        + QStringLiteral("</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\"/>\n"
                         "</head>\n");
}

} // namespace

QString BookIdentifier(const QString &directory, const QString &name)
{
    const QString key = QDir::cleanPath(directory) + QLatin1Char('/') + name;
    return QStringLiteral("urn:uuid:") + QUuid::createUuidV5(kBookNamespace, key.toUtf8()).toString(QUuid::WithoutBraces);
}

QString BookLanguage(const QString &name, const QList<Chapter> &chapters)
{
    if (HasCjk(name))
        return QStringLiteral("zh");
    for (const Chapter &chapter : chapters) {
        if (HasCjk(chapter.title))
            return QStringLiteral("zh");
        for (const QString &line : chapter.lines) {
            if (HasCjk(line))
                return QStringLiteral("zh");
        }
    }
    return QStringLiteral("en");
}

QString ChapterFileName(qsizetype index, qsizetype count)
{
    const int width = std::max<int>(4, int(QString::number(count).size()));
    return QStringLiteral("chapter%1.xhtml").arg(index + 1, width, 10, QLatin1Char('0'));
}

QByteArray ContainerDocument()
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
                          "<rootfiles>\n"
                          "<rootfile full-path=\"%1\" media-type=\"application/oebps-package+xml\"/>\n"
                          "</rootfiles>\n"
                          "</container>\n")
        .arg(kPackagePath)
        .toUtf8();
}

QByteArray PackageDocument(const EpubBook &book)
{
    const bool cover = !book.cover.isEmpty();
    QString opf = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" unique-identifier=\"book-id\" xml:lang=\"%1\">\n"
        "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
        "<dc:identifier id=\"book-id\">%2</dc:identifier>\n"
        "<dc:title>%3</dc:title>\n"
        "<dc:language>%1</dc:language>\n")
                      .arg(book.language, XmlText(book.identifier), XmlText(book.title));
    if (!book.author.isEmpty())
        opf += QStringLiteral("<dc:creator>%1</dc:creator>\n").arg(XmlText(book.author));
    opf += QStringLiteral("<meta property=\"dcterms:modified\">%1</meta>\n")
               .arg(book.modified.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
    // EPUB 2 readers find the cover through this.
    if (cover)
        opf += QStringLiteral("<meta name=\"cover\" content=\"cover-image\"/>\n");
    opf += QStringLiteral("</metadata>\n<manifest>\n"
                          "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>\n"
                          "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n"
                          "<item id=\"style\" href=\"style.css\" media-type=\"text/css\"/>\n");
    if (cover)
        opf += QStringLiteral("<item id=\"cover-image\" href=\"%1\" media-type=\"image/png\" properties=\"cover-image\"/>\n"
                              "<item id=\"cover\" href=\"%2\" media-type=\"application/xhtml+xml\"/>\n")
                   .arg(kCoverImage, kCoverPage);
    const qsizetype count = book.chapters.size();
    for (qsizetype i = 0; i < count; ++i)
        opf += QStringLiteral("<item id=\"%1\" href=\"%2\" media-type=\"application/xhtml+xml\"/>\n")
                   .arg(ChapterId(i), ChapterFileName(i, count));
    opf += QStringLiteral("</manifest>\n<spine toc=\"ncx\">\n");
    if (cover)
        opf += QStringLiteral("<itemref idref=\"cover\"/>\n");
    for (qsizetype i = 0; i < count; ++i)
        opf += QStringLiteral("<itemref idref=\"%1\"/>\n").arg(ChapterId(i));
    opf += QStringLiteral("</spine>\n");
    if (cover)
        opf += QStringLiteral("<guide>\n<reference type=\"cover\" title=\"Cover\" href=\"%1\"/>\n</guide>\n").arg(kCoverPage);
    opf += QStringLiteral("</package>\n");
    return opf.toUtf8();
}

namespace {

// One entry of a table of contents: a volume (children follow until the
// next volume) or a chapter.
struct TocEntry
{
    QString label;
    QString target;
    bool volume = false;
    bool inVolume = false; // a chapter under a volume
};

QList<TocEntry> TocEntries(const EpubBook &book)
{
    QList<TocEntry> entries;
    const qsizetype count = book.chapters.size();
    entries.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const QString file = ChapterFileName(i, count);
        if (book.places.size() != count) {
            entries.append({ShownTitle(book, book.chapters.at(i).title), file});
            continue;
        }
        const ChapterPlace &place = book.places.at(i);
        if (!place.opens.isEmpty())
            entries.append({place.opens, file, true});
        if (!place.opens.isEmpty() && place.heading.isEmpty())
            continue;
        entries.append({ShownTitle(book, place.heading),
                        place.opens.isEmpty() ? file : file + QStringLiteral("#heading"), false,
                        place.inVolume});
    }
    return entries;
}

bool HasVolumes(const EpubBook &book)
{
    return book.places.size() == book.chapters.size() && !book.places.isEmpty();
}

} // namespace

QByteArray NavDocument(const EpubBook &book)
{
    const bool zh = book.language == QLatin1String("zh");
    QString nav = XhtmlHead(book, book.title, true)
        + QStringLiteral("<body>\n<nav epub:type=\"toc\" id=\"toc\">\n<h1>")
        + (zh ? QStringLiteral("目录") : QStringLiteral("Contents")) + QStringLiteral("</h1>\n<ol>\n");
    const QList<TocEntry> entries = TocEntries(book);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const TocEntry &entry = entries.at(i);
        const bool opensList = entry.volume && i + 1 < entries.size() && entries.at(i + 1).inVolume;
        const bool closesList = entry.inVolume && (i + 1 == entries.size() || !entries.at(i + 1).inVolume);
        nav += QStringLiteral("<li><a href=\"%1\">%2</a>").arg(entry.target, XmlText(entry.label));
        if (opensList)
            nav += QStringLiteral("\n<ol>\n");
        else
            nav += QStringLiteral("</li>\n");
        if (closesList)
            nav += QStringLiteral("</ol>\n</li>\n");
    }
    nav += QStringLiteral("</ol>\n</nav>\n");
    if (!book.cover.isEmpty() && !book.chapters.isEmpty())
        nav += QStringLiteral("<nav epub:type=\"landmarks\" id=\"landmarks\" hidden=\"hidden\">\n<ol>\n"
                              "<li><a epub:type=\"cover\" href=\"%1\">%2</a></li>\n"
                              "<li><a epub:type=\"bodymatter\" href=\"%3\">%4</a></li>\n</ol>\n</nav>\n")
                   .arg(kCoverPage, zh ? QStringLiteral("封面") : QStringLiteral("Cover"),
                        ChapterFileName(0, book.chapters.size()), zh ? QStringLiteral("正文") : QStringLiteral("Text"));
    nav += QStringLiteral("</body>\n</html>\n");
    return nav.toUtf8();
}

QByteArray NcxDocument(const EpubBook &book)
{
    QString ncx = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" version=\"2005-1\" xml:lang=\"%1\">\n"
        "<head>\n"
        "<meta name=\"dtb:uid\" content=\"%2\"/>\n"
        "<meta name=\"dtb:depth\" content=\"%4\"/>\n"
        "<meta name=\"dtb:totalPageCount\" content=\"0\"/>\n"
        "<meta name=\"dtb:maxPageNumber\" content=\"0\"/>\n"
        "</head>\n"
        "<docTitle><text>%3</text></docTitle>\n"
        "<navMap>\n")
                      .arg(book.language, XmlText(book.identifier), XmlText(book.title),
                           HasVolumes(book) ? QStringLiteral("2") : QStringLiteral("1"));
    const QList<TocEntry> entries = TocEntries(book);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const TocEntry &entry = entries.at(i);
        const bool opensList = entry.volume && i + 1 < entries.size() && entries.at(i + 1).inVolume;
        const bool closesList = entry.inVolume && (i + 1 == entries.size() || !entries.at(i + 1).inVolume);
        ncx += QStringLiteral("<navPoint id=\"n%1\" playOrder=\"%1\"><navLabel><text>%2</text></navLabel>"
                              "<content src=\"%3\"/>")
                   .arg(QString::number(i + 1), XmlText(entry.label), entry.target);
        ncx += opensList ? QStringLiteral("\n") : QStringLiteral("</navPoint>\n");
        if (closesList)
            ncx += QStringLiteral("</navPoint>\n");
    }
    ncx += QStringLiteral("</navMap>\n</ncx>\n");
    return ncx.toUtf8();
}

QByteArray ChapterDocument(const EpubBook &book, qsizetype index)
{
    const Chapter &chapter = book.chapters.at(index);
    const ChapterPlace place = HasVolumes(book) ? book.places.at(index) : ChapterPlace{{}, chapter.title};
    const QString heading = place.heading.isEmpty() && !place.opens.isEmpty() ? QString()
                                                                               : XmlText(ShownTitle(book, place.heading));
    QString xhtml = XhtmlHead(book, place.opens.isEmpty() ? ShownTitle(book, place.heading) : place.opens, false);
    qsizetype size = xhtml.size() + 128;
    for (const QString &line : chapter.lines)
        size += line.size() + 8;
    xhtml.reserve(size);
    xhtml += QStringLiteral("<body>\n");
    if (!place.opens.isEmpty())
        xhtml += QStringLiteral("<h1>") + XmlText(place.opens) + QStringLiteral("</h1>\n");
    if (!heading.isEmpty())
        xhtml += (place.opens.isEmpty() ? QStringLiteral("<h2>") : QStringLiteral("<h2 id=\"heading\">")) + heading
            + QStringLiteral("</h2>\n");
    for (qsizetype i = 0; i < chapter.lines.size(); ++i) {
        // The line naming the volume is the heading above.
        if (i == place.volumeLine)
            continue;
        const QString paragraph = XmlText(chapter.lines.at(i).trimmed());
        if (text::IsBlank(paragraph))
            continue;
        xhtml += QLatin1String("<p>");
        xhtml += paragraph;
        xhtml += QLatin1String("</p>\n");
    }
    xhtml += QStringLiteral("</body>\n</html>\n");
    return xhtml.toUtf8();
}

QByteArray CoverDocument(const EpubBook &book)
{
    return (XhtmlHead(book, book.title, true)
            + QStringLiteral("<body class=\"cover\">\n<section epub:type=\"cover\">\n"
                             "<img src=\"%1\" alt=\"%2\"/>\n</section>\n</body>\n</html>\n")
                  .arg(kCoverImage, XmlText(book.title)))
        .toUtf8();
}

QByteArray StyleSheet()
{
    return QByteArrayLiteral("h1 { font-size: 1.6em; text-align: center; margin: 2em 0 1em; }\n"
                             "h2 { font-size: 1.3em; text-align: center; margin: 1em 0; }\n"
                             "p { text-indent: 2em; margin: 0; line-height: 1.6; }\n"
                             "body.cover { margin: 0; padding: 0; text-align: center; }\n"
                             "body.cover img { height: 100%; max-width: 100%; }\n");
}

} // namespace pagewick::book
