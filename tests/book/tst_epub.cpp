// The EPUB's container and documents, read back with libzip: what readers
// rely on and epubcheck does not look at (the identifier's stability, the
// language, the text that reaches the pages).
#include "book/epubdocuments.h"
#include "book/epubwriter.h"
#include "book/xmltext.h"
#include "tests/book/unzip.h"

#include <QTest>
#include <QUuid>

#include <zip.h>

using namespace pagewick::book;

namespace {

quint16 Le16(const QByteArray &bytes, int at)
{
    return quint16(uchar(bytes.at(at)) | uchar(bytes.at(at + 1)) << 8);
}

EpubBook Book(const QList<Chapter> &chapters, const QString &language = QStringLiteral("zh"))
{
    EpubBook book;
    book.title = QStringLiteral("青石巷旧事");
    book.identifier = BookIdentifier(QStringLiteral("/home/reader/青石巷旧事/"), book.title);
    book.language = language;
    book.modified = QDateTime(QDate(2026, 12, 8), QTime(13, 5, 9), Qt::OffsetFromUTC, 8 * 3600);
    book.chapters = chapters;
    return book;
}

} // namespace

class TestEpub : public QObject
{
    Q_OBJECT

private slots:
    void container();
    void identifier_data();
    void identifier();
    void language_data();
    void language();
    void xmlText_data();
    void xmlText();
    void chapterDocument();
    void tablesOfContentsListEveryChapter();
    void volumesNest();
};

void TestEpub::container()
{
    const QList<Chapter> chapters = {{"第一章", {"甲"}}, {"第二章", {"乙"}}};
    const QByteArray bytes = EpubBytes(Book(chapters)).value_or(QByteArray());

    // "mimetype" opens the file, stored, without an extra field, so that
    // its text lies at offset 38 where readers look for it.
    QVERIFY(bytes.size() > 60);
    QCOMPARE(bytes.left(4), QByteArray("PK\x03\x04"));
    QCOMPARE(Le16(bytes, 8), quint16(0));  // stored
    QCOMPARE(Le16(bytes, 26), quint16(8)); // name length
    QCOMPARE(Le16(bytes, 28), quint16(0)); // extra field length
    QCOMPARE(bytes.mid(30, 28), QByteArray("mimetypeapplication/epub+zip"));

    const QList<Entry> entries = Unzip(bytes);
    QStringList names;
    for (const Entry &entry : entries) {
        names << entry.name;
        QCOMPARE(entry.method, entry.name == "mimetype" ? quint16(ZIP_CM_STORE) : quint16(ZIP_CM_DEFLATE));
    }
    QCOMPARE(names, (QStringList{"mimetype", "META-INF/container.xml", "EPUB/package.opf", "EPUB/nav.xhtml",
                                 "EPUB/toc.ncx", "EPUB/style.css", "EPUB/chapter0001.xhtml",
                                 "EPUB/chapter0002.xhtml"}));
    QVERIFY(entries.at(1).data.contains("full-path=\"EPUB/package.opf\""));
    QVERIFY(entries.at(7).data.contains("<h2>第二章</h2>\n<p>乙</p>"));
}

void TestEpub::identifier_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("same");
    QTest::newRow("same directory and name") << "/home/reader/青石巷旧事/" << "青石巷旧事" << true;
    QTest::newRow("directory without final slash") << "/home/reader/青石巷旧事" << "青石巷旧事" << true;
    QTest::newRow("another name") << "/home/reader/青石巷旧事/" << "青石巷" << false;
    QTest::newRow("another directory") << "/home/reader/书/" << "青石巷旧事" << false;
}

void TestEpub::identifier()
{
    QFETCH(QString, directory);
    QFETCH(QString, name);
    QFETCH(bool, same);
    const QString reference = BookIdentifier(QStringLiteral("/home/reader/青石巷旧事/"), QStringLiteral("青石巷旧事"));
    const QString id = BookIdentifier(directory, name);
    QVERIFY(id.startsWith(QStringLiteral("urn:uuid:")));
    const QUuid uuid(id.mid(9));
    QVERIFY(!uuid.isNull());
    QCOMPARE(uuid.version(), QUuid::Sha1);
    QCOMPARE(id == reference, same);
}

void TestEpub::language_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("language");
    QTest::newRow("Chinese text") << "Book" << "Chapter 1" << "雨下了一夜。" << "zh";
    QTest::newRow("Chinese title") << "Book" << "第一章" << "It rained." << "zh";
    QTest::newRow("Chinese name") << "青石巷" << "Chapter 1" << "It rained." << "zh";
    QTest::newRow("extension B ideograph") << "Book" << "Chapter 1" << "\U00020000" << "zh";
    QTest::newRow("ideographic comma only") << "Book" << "Chapter 1" << "a\u3001b" << "zh";
    QTest::newRow("no CJK") << "Book" << "Chapter 1" << "It rained — all night, café." << "en";
}

void TestEpub::language()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, line);
    QFETCH(QString, language);
    QCOMPARE(BookLanguage(name, {{title, {QStringLiteral("x"), line}}}), language);
}

void TestEpub::xmlText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("xml");
    QTest::newRow("markup characters") << "a & b <c> d" << "a &amp; b &lt;c&gt; d";
    QTest::newRow("entity text stays text") << "&amp;" << "&amp;amp;";
    QTest::newRow("quotes kept") << "\"'" << "\"'";
    QTest::newRow("controls dropped, tab kept") << QString("a\x01\x08\x0b\x0c\x1f\tb") << "a\tb";
    QTest::newRow("NUL dropped") << QStringView(u"a\0b", 3).toString() << "ab";
    QTest::newRow("C1 controls dropped") << "a\u0080\u0085\u009fb" << "ab";
    QTest::newRow("noncharacters dropped") << "a\uFFFE\uFFFF\uFDD0b" << "ab";
    QTest::newRow("supplementary character kept") << "a\U0001F600b" << "a\U0001F600b";
    QTest::newRow("lone surrogates dropped")
        << QStringView(u"a\xD800" "b\xDC00" "c").toString() << "abc";
    QTest::newRow("plane 1 noncharacter dropped") << "a\U0001FFFEb" << "ab";
}

void TestEpub::xmlText()
{
    QFETCH(QString, text);
    QFETCH(QString, xml);
    QCOMPARE(XmlText(text), xml);
}

void TestEpub::chapterDocument()
{
    const EpubBook book = Book({{"第一章 <雨> & 风", {"\u3000\u3000雨下了一夜。", "", "  \u3000", "  “谁？”  ", "a\x01" "b"}}});
    const QString xhtml = QString::fromUtf8(ChapterDocument(book, 0));
    QVERIFY(xhtml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"));
    QVERIFY(xhtml.contains("xml:lang=\"zh\" lang=\"zh\""));
    QVERIFY(xhtml.contains("<title>第一章 &lt;雨&gt; &amp; 风</title>"));
    QVERIFY(xhtml.contains("href=\"style.css\""));
    const qsizetype body = xhtml.indexOf("<body>");
    QCOMPARE(xhtml.mid(body), QStringLiteral("<body>\n<h2>第一章 &lt;雨&gt; &amp; 风</h2>\n<p>雨下了一夜。</p>\n"
                                             "<p>“谁？”</p>\n<p>ab</p>\n</body>\n</html>\n"));
}

// Every chapter in both tables, an untitled one under a stand-in title (a
// reader's table needs a text), and file names that sort in reading order.
void TestEpub::tablesOfContentsListEveryChapter()
{
    QList<Chapter> chapters;
    for (int i = 1; i <= 12; ++i)
        chapters.append({QStringLiteral("第%1章").arg(i), {QStringLiteral("文")}});
    chapters[4].title = QString();
    const EpubBook book = Book(chapters);
    const QString nav = QString::fromUtf8(NavDocument(book));
    const QString ncx = QString::fromUtf8(NcxDocument(book));
    for (int i = 0; i < chapters.size(); ++i) {
        const QString file = ChapterFileName(i, chapters.size());
        const QString title = i == 4 ? QStringLiteral("（无标题）") : chapters.at(i).title;
        QVERIFY2(nav.contains(QStringLiteral("<li><a href=\"%1\">%2</a></li>").arg(file, title)), qPrintable(file));
        QVERIFY2(ncx.contains(QStringLiteral("playOrder=\"%1\"><navLabel><text>%2</text></navLabel><content src=\"%3\"/>")
                                  .arg(QString::number(i + 1), title, file)),
                 qPrintable(file));
    }
    QCOMPARE(ChapterFileName(11999, 12000), QStringLiteral("chapter12000.xhtml"));
    QCOMPARE(ChapterFileName(0, 12000), QStringLiteral("chapter00001.xhtml"));
}

// Chapters before the first volume stay at the top, a volume's own page
// without chapters has no list under it, a chapter whose text names the
// volume has that line as the volume's heading instead of a paragraph.
void TestEpub::volumesNest()
{
    const QList<Chapter> chapters = {{"楔子", {"甲"}},
                                     {"第一卷 风起", {"卷首语"}},
                                     {"第二卷 云涌", {}},
                                     {"第一章 雨", {"乙"}},
                                     {"第二章 晴", {"第三卷 终局", "丙"}}};
    EpubBook book = Book(chapters);
    book.places = ChapterPlaces(chapters);
    const QString nav = QString::fromUtf8(NavDocument(book));
    QVERIFY2(nav.contains("<ol>\n"
                          "<li><a href=\"chapter0001.xhtml\">楔子</a></li>\n"
                          "<li><a href=\"chapter0002.xhtml\">第一卷 风起</a></li>\n"
                          "<li><a href=\"chapter0003.xhtml\">第二卷 云涌</a>\n<ol>\n"
                          "<li><a href=\"chapter0004.xhtml\">第一章 雨</a></li>\n"
                          "</ol>\n</li>\n"
                          "<li><a href=\"chapter0005.xhtml\">第三卷 终局</a>\n<ol>\n"
                          "<li><a href=\"chapter0005.xhtml#heading\">第二章 晴</a></li>\n"
                          "</ol>\n</li>\n</ol>\n"),
             qPrintable(nav));
    const QString ncx = QString::fromUtf8(NcxDocument(book));
    QCOMPARE(ncx.count("<navPoint "), 6);
    QCOMPARE(ncx.count("</navPoint>"), 6);
    const QString own = QString::fromUtf8(ChapterDocument(book, 1));
    QVERIFY(own.contains("<body>\n<h1>第一卷 风起</h1>\n<p>卷首语</p>\n</body>"));
    const QString named = QString::fromUtf8(ChapterDocument(book, 4));
    QVERIFY(named.contains("<body>\n<h1>第三卷 终局</h1>\n<h2 id=\"heading\">第二章 晴</h2>\n<p>丙</p>\n</body>"));
}

QTEST_APPLESS_MAIN(TestEpub)
#include "tst_epub.moc"
