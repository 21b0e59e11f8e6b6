// The EPUBs of the sample book, of a generated 300-chapter book and of a book
// from pages that carry what sites add to them pass epubcheck without any
// error or warning. epubcheck is a Java program that takes a second or two to
// start, so it runs once per book. The last book's text file and list of
// lines left out are compared byte for byte with the expected files, and its
// package is read back.
#include "book/mergebook.h"
#include "extract/titleclean.h"
#include "tests/book/bookdir.h"
#include "tests/book/unzip.h"
#include "tests/support/scriptedprompt.h"
#include "tests/workflow/localescope.h"
#include "workflow/filesystem.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace pagewick::book;

namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(13, 30), Qt::UTC);

// The chapter files the save command leaves for the sample book: the cleaned
// title, an empty line, the paragraphs of the content block with empty lines
// between them.
void WriteSampleBook(BookDir &dir)
{
    QStringList ledger;
    for (int n = 1; n <= 5; ++n) {
        QFile page(QStringLiteral(PAGEWICK_SOURCE_DIR "/samples/book-utf8/ch%1.htm").arg(n, 2, 10, QLatin1Char('0')));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        static const QRegularExpression titleTag(QStringLiteral("<title>(.*?)</title>"));
        static const QRegularExpression block(QStringLiteral("<div id=\"content\">(.*?)</div>"),
                                              QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression paragraph(QStringLiteral("<p>(.*?)</p>"));
        const QString title = pagewick::extract::CleanPageTitle(titleTag.match(html).captured(1));
        QStringList paragraphs;
        for (auto it = paragraph.globalMatch(block.match(html).captured(1)); it.hasNext();)
            paragraphs << it.next().captured(1);
        QVERIFY(!title.isEmpty() && paragraphs.size() >= 10);
        dir.writeFile(title + ".txt", (title + "\r\n\r\n" + paragraphs.join("\r\n\r\n") + "\r\n").toUtf8());
        ledger << QStringLiteral("file:///book/ch%1.htm|%2|%2.txt|saved").arg(n).arg(title);
    }
    dir.writeLedger(ledger);
}

// Titles and text with what a web page can bring along: markup characters,
// controls, emoji, an empty title, an empty page, split chapters.
void WriteGeneratedBook(BookDir &dir, int chapters)
{
    QStringList ledger;
    int page = 0;
    for (int n = 1; n <= chapters; ++n) {
        QString title = QStringLiteral("第%1章 <风> & “雨”").arg(n);
        if (n == 7)
            title.clear();
        const int pages = n % 10 == 0 ? 3 : 1;
        for (int p = 0; p < pages; ++p) {
            const QString file = QStringLiteral("p%1.txt").arg(++page);
            QString text;
            for (int line = 0; line < 20; ++line)
                text += QStringLiteral("\u3000\u3000第%1行：他说“a<b && c>d”，\x01\x7f\u0085 😀 然后走了。\r\n\r\n").arg(line);
            if (n == 9)
                text.clear();
            dir.writeFile(file, ((n % 2 ? title : QStringLiteral("    ")) + "\r\n\r\n" + text).toUtf8());
            ledger << QStringLiteral("http://example.com/%1|%2|%3|%4")
                          .arg(QString::number(page), title, file, n == 9 ? QStringLiteral("empty") : QStringLiteral("saved"));
        }
    }
    dir.writeLedger(ledger);
}

// Runs epubcheck; its whole report when it is not clean.
QString EpubcheckProblems(const QString &epub)
{
    const QString jar = QStringLiteral(PAGEWICK_EPUBCHECK_JAR);
    const QString java = QStringLiteral(PAGEWICK_JAVA);
    if (jar.isEmpty() || java.isEmpty())
        return QStringLiteral("epubcheck or java missing: run scripts/install-deps.sh");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // A short run: the quick compiler alone and the simplest collector halve
    // the time the Java machine takes.
    process.start(java, {QStringLiteral("-XX:TieredStopAtLevel=1"), QStringLiteral("-XX:+UseSerialGC"),
                         QStringLiteral("-jar"), jar, epub});
    if (!process.waitForFinished(240000))
        return QStringLiteral("epubcheck did not finish");
    const QString report = QString::fromUtf8(process.readAll());
    const bool clean = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0
        && report.contains(QStringLiteral("No errors or warnings detected"))
        && !report.contains(QStringLiteral("WARNING")) && !report.contains(QStringLiteral("ERROR"));
    return clean ? QString() : report;
}

} // namespace

class TestEpubcheck : public QObject
{
    Q_OBJECT

private slots:
    void book_data();
    void book();
    void siteBook();
};

void TestEpubcheck::book_data()
{
    QTest::addColumn<int>("chapters"); // 0: the sample book
    QTest::addColumn<int>("expectedChapters");
    QTest::newRow("sample book") << 0 << 5;
    QTest::newRow("generated book of 300 chapters") << 300 << 300;
}

void TestEpubcheck::book()
{
    QFETCH(int, chapters);
    QFETCH(int, expectedChapters);
    BookDir dir;
    if (chapters == 0)
        WriteSampleBook(dir);
    else
        WriteGeneratedBook(dir, chapters);
    ScriptedPrompt prompt;
    prompt.queueTextAnswers({QStringLiteral("青石巷旧事")});
    // The generated lines repeat in every chapter: kept, so that their
    // characters reach the pages.
    prompt.queueChoiceAnswers({chapters != 0});

    QCOMPARE(MergeBookCommand(pagewick::workflow::realFileSystem(), prompt, dir.path(), kNow),
             QStringLiteral("已合并：青石巷旧事.txt、青石巷旧事.epub，共 %1 章").arg(expectedChapters));
    const QString problems = EpubcheckProblems(dir.path() + QStringLiteral("青石巷旧事.epub"));
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

namespace {

const QString kSiteBook = QStringLiteral(PAGEWICK_SOURCE_DIR "/tests/book/data/sitebook/");

QByteArray DataFile(const QString &name)
{
    QFile file(kSiteBook + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing " + name.toUtf8() + ">");
}

} // namespace

// Chapter pages with the title again at their head (in brackets, with the
// book's name, under the four spaces that stand for it), an author line, the
// site's lines, two volumes (named in the titles, and by a line), and lines
// of the story that must stay: a short one in every chapter, dialogue said
// twice in one chapter, an address in one chapter only, a line in two
// chapters of five.
void TestEpubcheck::siteBook()
{
    LocaleScope scope("zh_CN.UTF-8");
    QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
    const QStringList pages = {"第一卷 青石巷 第一章 雨夜来客", "第一卷 青石巷 第二章 旧钟表铺",
                               "第一卷 青石巷 第三章 灯下",     "第一卷 青石巷 第三章 灯下(2)",
                               "第四章 远行",                 "第五章 渡口"};
    BookDir dir;
    QStringList ledger;
    for (int i = 0; i < pages.size(); ++i) {
        const QString file = pages.at(i) + ".txt";
        dir.writeFile(file, DataFile(file));
        ledger << QStringLiteral("http://www.xxxx.com/book/%1.html|%2|%3|saved")
                      .arg(i + 1)
                      .arg(QString(pages.at(i)).remove("(2)"), file);
    }
    dir.writeLedger(ledger);
    ScriptedPrompt prompt;
    prompt.queueTextAnswers({QStringLiteral("青石巷旧事")});

    QCOMPARE(MergeBookCommand(pagewick::workflow::realFileSystem(), prompt, dir.path(), kNow),
             QStringLiteral("已合并：青石巷旧事.txt、青石巷旧事.epub，共 5 章，略去 7 种行（见 青石巷旧事.removed.txt）"));
    QCOMPARE(prompt.choices, QStringList{kKeepEverythingChoice});
    for (const QString &page : pages)
        QCOMPARE(dir.readFile(page + ".txt").value_or(""), DataFile(page + ".txt"));
    QCOMPARE(dir.readFile("青石巷旧事.txt").value_or(""), DataFile("expected/青石巷旧事.txt"));
    QCOMPARE(dir.readFile("青石巷旧事.removed.txt").value_or(""), DataFile("expected/青石巷旧事.removed.txt"));

    const QString epub = dir.path() + QStringLiteral("青石巷旧事.epub");
    const QString problems = EpubcheckProblems(epub);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));

    const QList<Entry> entries = Unzip(dir.readFile("青石巷旧事.epub").value_or(""));
    const QString opf = QString::fromUtf8(EntryData(entries, "EPUB/package.opf"));
    QVERIFY(opf.contains("<dc:creator>林听雨</dc:creator>"));
    QVERIFY(opf.contains("<meta name=\"cover\" content=\"cover-image\"/>"));
    QVERIFY(opf.contains("<item id=\"cover-image\" href=\"cover.png\" media-type=\"image/png\" properties=\"cover-image\"/>"));
    QVERIFY(opf.contains("<spine toc=\"ncx\">\n<itemref idref=\"cover\"/>\n<itemref idref=\"c1\"/>"));
    const QImage cover = QImage::fromData(EntryData(entries, "EPUB/cover.png"), "PNG");
    QCOMPARE(cover.size(), QSize(1600, 2400));
    QVERIFY(EntryData(entries, "EPUB/cover.xhtml").contains("<img src=\"cover.png\""));

    const QString nav = QString::fromUtf8(EntryData(entries, "EPUB/nav.xhtml"));
    QVERIFY2(nav.contains("<ol>\n"
                          "<li><a href=\"chapter0001.xhtml\">第一卷 青石巷</a>\n<ol>\n"
                          "<li><a href=\"chapter0001.xhtml#heading\">第一章 雨夜来客</a></li>\n"
                          "<li><a href=\"chapter0002.xhtml\">第二章 旧钟表铺</a></li>\n"
                          "<li><a href=\"chapter0003.xhtml\">第三章 灯下</a></li>\n"
                          "</ol>\n</li>\n"
                          "<li><a href=\"chapter0004.xhtml\">第二卷 远方</a>\n<ol>\n"
                          "<li><a href=\"chapter0004.xhtml#heading\">第四章 远行</a></li>\n"
                          "<li><a href=\"chapter0005.xhtml\">第五章 渡口</a></li>\n"
                          "</ol>\n</li>\n</ol>"),
             qPrintable(nav));
    const QString ncx = QString::fromUtf8(EntryData(entries, "EPUB/toc.ncx"));
    QVERIFY(ncx.contains("<meta name=\"dtb:depth\" content=\"2\"/>"));
    QVERIFY2(ncx.contains("<text>第二卷 远方</text></navLabel><content src=\"chapter0004.xhtml\"/>\n"
                          "<navPoint id=\"n6\" playOrder=\"6\"><navLabel><text>第四章 远行</text></navLabel>"
                          "<content src=\"chapter0004.xhtml#heading\"/></navPoint>\n"
                          "<navPoint id=\"n7\" playOrder=\"7\"><navLabel><text>第五章 渡口</text></navLabel>"
                          "<content src=\"chapter0005.xhtml\"/></navPoint>\n</navPoint>\n</navMap>"),
             qPrintable(ncx));
    const QString chapter = QString::fromUtf8(EntryData(entries, "EPUB/chapter0004.xhtml"));
    QCOMPARE(chapter.mid(chapter.indexOf("<body>")),
             QStringLiteral("<body>\n<h1>第二卷 远方</h1>\n<h2 id=\"heading\">第四章 远行</h2>\n"
                            "<p>船在清早开了。</p>\n<p>嗯。</p>\n<p>雨一直下到天亮。</p>\n</body>\n</html>\n"));
}

QTEST_MAIN(TestEpubcheck)
#include "tst_epubcheck.moc"
