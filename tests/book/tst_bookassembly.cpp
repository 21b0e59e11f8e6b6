// Which pages make the book, in what order, and what of each file it keeps:
// a ledger and chapter files in a temporary save directory, read back through
// the program's file system and laid out as the book's text file.
#include "book/booksource.h"
#include "book/booktext.h"
#include "tests/book/bookdir.h"
#include "tests/workflow/localescope.h"
#include "text/textops.h"
#include "workflow/filesystem.h"

#include <QStringEncoder>
#include <QTest>

using pagewick::book::BookSource;
using pagewick::book::BookText;
using pagewick::book::ReadBookSource;

namespace {

const QString A = QStringLiteral("http://example.com/1.html");
const QString B = QStringLiteral("http://example.com/2.html");
const QString C = QStringLiteral("http://example.com/3.html");
const QString D = QStringLiteral("http://example.com/4.html");

QString Line(const QString &address, const QString &title, const QString &file,
             const QString &status = QStringLiteral("saved"))
{
    return QStringList{address, title, file, status}.join(QLatin1Char('|'));
}

// Files as the save command writes them: the title line (or the four spaces
// standing for it), the text, CR LF breaks.
QString Saved(const QString &title, const QString &text)
{
    return title + QStringLiteral("\r\n\r\n") + text + QStringLiteral("\r\n");
}

} // namespace

class TestBookAssembly : public QObject
{
    Q_OBJECT

private slots:
    void bookText_data();
    void bookText();
    void nothingToMerge_data();
    void nothingToMerge();
    void ledgerFilesAreKnown();
    void localeCharacterSet_data();
    void localeCharacterSet();
};

void TestBookAssembly::bookText_data()
{
    QTest::addColumn<QStringList>("ledger");
    QTest::addColumn<QStringList>("files"); // name, content, name, content, ...
    QTest::addColumn<QString>("expected");  // the text file of the book "书"

    const QString one = QStringLiteral("第一章 雨夜来客");
    const QString two = QStringLiteral("第二章 旧钟表铺");

    QTest::newRow("one page, title line dropped")
        << QStringList{Line(A, one, one + ".txt")}
        << QStringList{one + ".txt", Saved(one, "雨下了一夜。\r\n\r\n门响了。")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n雨下了一夜。\r\n\r\n门响了。\r\n");
    QTest::newRow("four spaces standing for the title dropped")
        << QStringList{Line(A, one, one + ".txt")}
        << QStringList{one + ".txt", "    \r\n第一章 雨夜来客，雨下了一夜。\r\n"}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n第一章 雨夜来客，雨下了一夜。\r\n");
    QTest::newRow("four spaces before text on the same line: only the spaces go")
        << QStringList{Line(A, one, one + ".txt")}
        << QStringList{one + ".txt", "    雨下了一夜。\r\n门响了。"}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n雨下了一夜。\r\n门响了。\r\n");
    // Re-flow indents the title line and takes its spaces: the title once all the same.
    QTest::newRow("re-flowed page, title line dropped")
        << QStringList{Line(A, one, one + ".txt")}
        << QStringList{one + ".txt", pagewick::text::dlcp(pagewick::text::DelSpace(one + "\r\n雨下了一夜。\r\n门响了。"))}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n    雨下了一夜。\r\n\r\n    门响了。\r\n");
    QTest::newRow("two chapters, two empty lines between them")
        << QStringList{Line(A, one, one + ".txt"), Line(B, two, two + ".txt")}
        << QStringList{one + ".txt", Saved(one, "一。"), two + ".txt", Saved(two, "二。")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n一。\r\n\r\n\r\n第二章 旧钟表铺\r\n\r\n二。\r\n");
    QTest::newRow("split chapter joined with one empty line between pages")
        << QStringList{Line(A, one, one + ".txt"), Line(B, one, one + "(2).txt"), Line(C, one, one + "(3).txt"),
                       Line(D, two, two + ".txt")}
        << QStringList{one + ".txt", Saved(one, "上。\r\n\r\n"), one + "(2).txt", Saved(one, "\r\n中。"),
                       one + "(3).txt", "    \r\n下。", two + ".txt", Saved(two, "二。")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n上。\r\n\r\n中。\r\n\r\n下。\r\n\r\n\r\n"
                          "第二章 旧钟表铺\r\n\r\n二。\r\n");
    QTest::newRow("one title apart from its first run is another chapter")
        << QStringList{Line(A, one, "a.txt"), Line(B, two, "b.txt"), Line(C, one, "c.txt")}
        << QStringList{"a.txt", Saved(one, "甲"), "b.txt", Saved(two, "乙"), "c.txt", Saved(one, "丙")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n甲\r\n\r\n\r\n第二章 旧钟表铺\r\n\r\n乙\r\n\r\n\r\n"
                          "第一章 雨夜来客\r\n\r\n丙\r\n");
    QTest::newRow("repeated page left out")
        << QStringList{Line(A, one, "a.txt"), Line(B, two, "b.txt", "repeat"), Line(C, two, "c.txt")}
        << QStringList{"a.txt", Saved(one, "甲"), "b.txt", Saved(two, "甲"), "c.txt", Saved(two, "乙")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n甲\r\n\r\n\r\n第二章 旧钟表铺\r\n\r\n乙\r\n");
    QTest::newRow("missing file left out")
        << QStringList{Line(A, one, "a.txt"), Line(B, two, "gone.txt"), Line(C, two, "c.txt")}
        << QStringList{"a.txt", Saved(one, "甲"), "c.txt", Saved(two, "丙")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n甲\r\n\r\n\r\n第二章 旧钟表铺\r\n\r\n丙\r\n");
    QTest::newRow("failed lines left out, their files too")
        << QStringList{Line(A, one, "a.txt"), Line(B, two, "b.txt", "save-failed"),
                       Line(C, two, "c.txt", "load-failed"), Line(D, two, "d.txt", "read-failed")}
        << QStringList{"a.txt", Saved(one, "甲"), "b.txt", Saved(two, "乙"), "c.txt", Saved(two, "丙"),
                       "d.txt", Saved(two, "丁")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n甲\r\n");
    QTest::newRow("latest line of an address wins, at the place of its first line")
        << QStringList{Line(A, "旧名", "old.txt"), Line(B, two, "b.txt"), Line(A, one, "a.txt"),
                       Line(A, one, "a.txt", "load-failed")}
        << QStringList{"old.txt", Saved("旧名", "旧"), "a.txt", Saved(one, "新"), "b.txt", Saved(two, "乙")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n新\r\n\r\n\r\n第二章 旧钟表铺\r\n\r\n乙\r\n");
    QTest::newRow("address saved again as a repeat is left out")
        << QStringList{Line(A, one, "a.txt"), Line(B, two, "b.txt"), Line(B, two, "b.txt", "repeat")}
        << QStringList{"a.txt", Saved(one, "甲"), "b.txt", Saved(two, "甲")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n甲\r\n");
    QTest::newRow("a file written again for another address belongs to that one")
        << QStringList{Line(A, one, "x.txt"), Line(B, two, "b.txt"), Line(C, one, "x.txt")}
        << QStringList{"x.txt", Saved(one, "丙"), "b.txt", Saved(two, "乙")}
        << QStringLiteral("书\r\n\r\n第二章 旧钟表铺\r\n\r\n乙\r\n\r\n\r\n第一章 雨夜来客\r\n\r\n丙\r\n");
    QTest::newRow("empty page adds nothing to its chapter")
        << QStringList{Line(A, one, "a.txt"), Line(B, one, "b.txt", "empty"), Line(C, one, "c.txt")}
        << QStringList{"a.txt", Saved(one, "甲"), "b.txt", one + "\r\n", "c.txt", Saved(one, "丙")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n甲\r\n\r\n丙\r\n");
    QTest::newRow("chapter of an empty page keeps its title")
        << QStringList{Line(A, one, "a.txt", "empty"), Line(B, two, "b.txt")}
        << QStringList{"a.txt", one + "\r\n", "b.txt", Saved(two, "乙")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n\r\n\r\n\r\n第二章 旧钟表铺\r\n\r\n乙\r\n");
    QTest::newRow("blank lines around the text dropped, inside kept")
        << QStringList{Line(A, one, "a.txt")}
        << QStringList{"a.txt", one + "\r\n \r\n\u3000\u3000\r\n\u3000\u3000甲\r\n\r\n  \r\n\u3000\u3000乙\r\n\t\r\n\r\n"}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n\u3000\u3000甲\r\n\r\n  \r\n\u3000\u3000乙\r\n");
    QTest::newRow("a file edited with LF line ends")
        << QStringList{Line(A, one, "a.txt")}
        << QStringList{"a.txt", one + "\n\n甲\n乙\n"}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n甲\r\n乙\r\n");
    QTest::newRow("files outside the save directory are not taken in")
        << QStringList{Line(A, one, "a.txt"), Line(B, two, "../b.txt"), Line(C, two, "..")}
        << QStringList{"a.txt", Saved(one, "甲")}
        << QStringLiteral("书\r\n\r\n第一章 雨夜来客\r\n\r\n甲\r\n");
}

void TestBookAssembly::bookText()
{
    QFETCH(QStringList, ledger);
    QFETCH(QStringList, files);
    QFETCH(QString, expected);
    BookDir dir;
    QVERIFY(dir.isValid());
    dir.writeLedger(ledger);
    for (qsizetype i = 0; i + 1 < files.size(); i += 2)
        dir.writeFile(files.at(i), files.at(i + 1).toUtf8());

    const BookSource source = ReadBookSource(pagewick::workflow::realFileSystem(), dir.path());
    QCOMPARE(source.state, BookSource::State::Ready);
    QCOMPARE(BookText(QStringLiteral("书"), source.chapters), expected);
}

void TestBookAssembly::nothingToMerge_data()
{
    QTest::addColumn<bool>("withLedger");
    QTest::addColumn<QStringList>("ledger");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<BookSource::State>("state");

    QTest::newRow("no ledger") << false << QStringList{} << QStringList{"a.txt", Saved("甲", "甲")}
                               << BookSource::State::NoLedger;
    QTest::newRow("empty ledger") << true << QStringList{} << QStringList{} << BookSource::State::NoPages;
    QTest::newRow("failures only")
        << true << QStringList{Line(A, "甲", "a.txt", "save-failed"), Line(B, "", "", "load-failed")}
        << QStringList{"a.txt", Saved("甲", "甲")} << BookSource::State::NoPages;
    QTest::newRow("every file gone") << true << QStringList{Line(A, "甲", "a.txt"), Line(B, "乙", "b.txt")}
                                     << QStringList{} << BookSource::State::NoPages;
    QTest::newRow("repeats only") << true << QStringList{Line(A, "甲", "a.txt", "repeat")}
                                   << QStringList{"a.txt", Saved("甲", "甲")} << BookSource::State::NoPages;
}

void TestBookAssembly::nothingToMerge()
{
    QFETCH(bool, withLedger);
    QFETCH(QStringList, ledger);
    QFETCH(QStringList, files);
    QFETCH(BookSource::State, state);
    BookDir dir;
    if (withLedger)
        dir.writeLedger(ledger);
    for (qsizetype i = 0; i + 1 < files.size(); i += 2)
        dir.writeFile(files.at(i), files.at(i + 1).toUtf8());

    const BookSource source = ReadBookSource(pagewick::workflow::realFileSystem(), dir.path());
    QCOMPARE(source.state, state);
    QVERIFY(source.chapters.isEmpty());
}

void TestBookAssembly::ledgerFilesAreKnown()
{
    BookDir dir;
    dir.writeLedger({Line(A, "甲", "a.txt"), Line(B, "乙", "b.txt", "save-failed"), Line(C, "", "", "load-failed")});
    dir.writeFile("a.txt", Saved("甲", "甲").toUtf8());
    const BookSource source = ReadBookSource(pagewick::workflow::realFileSystem(), dir.path());
    QCOMPARE(source.ledgerFiles, (QSet<QString>{"a.txt", "b.txt"}));
}

void TestBookAssembly::localeCharacterSet_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QByteArray>("charset");
    QTest::newRow("zh_CN.GBK") << QByteArray("zh_CN.GBK") << QByteArray("GBK");
    QTest::newRow("zh_CN.UTF-8") << QByteArray("zh_CN.UTF-8") << QByteArray("UTF-8");
    QTest::newRow("C") << QByteArray("C") << QByteArray("UTF-8");
}

// The files are read back in the character set they were written in.
void TestBookAssembly::localeCharacterSet()
{
    QFETCH(QByteArray, locale);
    QFETCH(QByteArray, charset);
    LocaleScope scope(locale);
    QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
    QStringEncoder encode(charset.constData());
    QVERIFY(encode.isValid());

    BookDir dir;
    dir.writeLedger({Line(A, "第一章 雨夜来客", "1.txt"), Line(B, "第一章 雨夜来客", "2.txt")});
    dir.writeFile("1.txt", encode(Saved("第一章 雨夜来客", "雨下了一夜，石板路上积着水。")));
    dir.writeFile("2.txt", encode(Saved("第一章 雨夜来客", "“谁？”老陈问。")));

    const BookSource source = ReadBookSource(pagewick::workflow::realFileSystem(), dir.path());
    QCOMPARE(source.state, BookSource::State::Ready);
    QCOMPARE(BookText(QStringLiteral("青石巷旧事"), source.chapters),
             QStringLiteral("青石巷旧事\r\n\r\n第一章 雨夜来客\r\n\r\n雨下了一夜，石板路上积着水。\r\n\r\n"
                            "“谁？”老陈问。\r\n"));
}

QTEST_APPLESS_MAIN(TestBookAssembly)
#include "tst_bookassembly.moc"
