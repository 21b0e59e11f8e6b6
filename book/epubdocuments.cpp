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
    QString opf = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" unique-identifier=\"book-id\" xml:lang=\"%1\">\n"
        "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
        "<dc:identifier id=\"book-id\">%2</dc:identifier>\n"
        "<dc:title>%3</dc:title>\n"
        "<dc:language>%1</dc:language>\n"
        "<meta property=\"dcterms:modified\">%4</meta>\n"
        "</metadata>\n"
        "<manifest>\n"
        "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>\n"
        "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n"
        "<item id=\"style\" href=\"style.css\" media-type=\"text/css\"/>\n")
                      .arg(book.language, XmlText(book.identifier), XmlText(book.title),
                           book.modified.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
    const qsizetype count = book.chapters.size();
    for (qsizetype i = 0; i < count; ++i)
        opf += QStringLiteral("<item id=\"%1\" href=\"%2\" media-type=\"application/xhtml+xml\"/>\n")
                   .arg(ChapterId(i), ChapterFileName(i, count));
    opf += QStringLiteral("</manifest>\n<spine toc=\"ncx\">\n");
    for (qsizetype i = 0; i < count; ++i)
        opf += QStringLiteral("<itemref idref=\"%1\"/>\n").arg(ChapterId(i));
    opf += QStringLiteral("</spine>\n</package>\n");
    return opf.toUtf8();
}

QByteArray NavDocument(const EpubBook &book)
{
    const QString heading = book.language == QLatin1String("zh") ? QStringLiteral("目录") : QStringLiteral("Contents");
    QString nav = XhtmlHead(book, book.title, true)
        + QStringLiteral("<body>\n<nav epub:type=\"toc\" id=\"toc\">\n<h1>") + heading
        + QStringLiteral("</h1>\n<ol>\n");
    const qsizetype count = book.chapters.size();
    for (qsizetype i = 0; i < count; ++i)
        nav += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n")
                   .arg(ChapterFileName(i, count), XmlText(ShownTitle(book, book.chapters.at(i).title)));
    nav += QStringLiteral("</ol>\n</nav>\n</body>\n</html>\n");
    return nav.toUtf8();
}

QByteArray NcxDocument(const EpubBook &book)
{
    QString ncx = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" version=\"2005-1\" xml:lang=\"%1\">\n"
        "<head>\n"
        "<meta name=\"dtb:uid\" content=\"%2\"/>\n"
        "<meta name=\"dtb:depth\" content=\"1\"/>\n"
        "<meta name=\"dtb:totalPageCount\" content=\"0\"/>\n"
        "<meta name=\"dtb:maxPageNumber\" content=\"0\"/>\n"
        "</head>\n"
        "<docTitle><text>%3</text></docTitle>\n"
        "<navMap>\n")
                      .arg(book.language, XmlText(book.identifier), XmlText(book.title));
    const qsizetype count = book.chapters.size();
    for (qsizetype i = 0; i < count; ++i)
        ncx += QStringLiteral("<navPoint id=\"n%1\" playOrder=\"%1\"><navLabel><text>%2</text></navLabel>"
                              "<content src=\"%3\"/></navPoint>\n")
                   .arg(QString::number(i + 1), XmlText(ShownTitle(book, book.chapters.at(i).title)),
                        ChapterFileName(i, count));
    ncx += QStringLiteral("</navMap>\n</ncx>\n");
    return ncx.toUtf8();
}

QByteArray ChapterDocument(const EpubBook &book, qsizetype index)
{
    const Chapter &chapter = book.chapters.at(index);
    const QString title = XmlText(ShownTitle(book, chapter.title));
    QString xhtml = XhtmlHead(book, ShownTitle(book, chapter.title), false);
    qsizetype size = xhtml.size() + 64;
    for (const QString &line : chapter.lines)
        size += line.size() + 8;
    xhtml.reserve(size);
    xhtml += QStringLiteral("<body>\n<h1>");
    xhtml += title;
    xhtml += QStringLiteral("</h1>\n");
    for (const QString &line : chapter.lines) {
        const QString paragraph = XmlText(line.trimmed());
        if (text::IsBlank(paragraph))
            continue;
        xhtml += QLatin1String("<p>");
        xhtml += paragraph;
        xhtml += QLatin1String("</p>\n");
    }
    xhtml += QStringLiteral("</body>\n</html>\n");
    return xhtml.toUtf8();
}

QByteArray StyleSheet()
{
    return QByteArrayLiteral("h1 { font-size: 1.4em; text-align: center; margin: 1em 0; }\n"
                             "p { text-indent: 2em; margin: 0; line-height: 1.6; }\n");
}

} // namespace pagewick::book
