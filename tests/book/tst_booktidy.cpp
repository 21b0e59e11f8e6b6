// What the book leaves out of the pages and what it finds in them: the
// site's lines (and the story's lines that must stay), the title at a page's
// head, the author, the volumes.
#include "book/booktidy.h"
#include "book/pagehead.h"
#include "book/volumes.h"

#include <QTest>

using namespace pagewick::book;

namespace {

// `count` chapters, each with a line of its own; the first also holds
// `first`, and the chapters listed (from 1) hold `extra`.
QList<BookPage> Pages(int count, const QStringList &first, const QString &extra, const QList<int> &extraIn)
{
    QList<BookPage> pages;
    for (int n = 1; n <= count; ++n) {
        QStringList lines = n == 1 ? first : QStringList();
        lines << QStringLiteral("　　第%1章自己的一行。").arg(n);
        if (extraIn.contains(n))
            lines << extra;
        pages.append({QStringLiteral("第%1章").arg(n), lines});
    }
    return pages;
}

bool Holds(const QList<Chapter> &chapters, const QString &line)
{
    for (const Chapter &chapter : chapters) {
        for (const QString &l : chapter.lines) {
            if (l.trimmed() == line.trimmed())
                return true;
        }
    }
    return false;
}

} // namespace

class TestBookTidy : public QObject
{
    Q_OBJECT

private slots:
    void siteLines_data();
    void siteLines();
    void titleLine_data();
    void titleLine();
    void author_data();
    void author();
    void volume_data();
    void volume();
};

void TestBookTidy::siteLines_data()
{
    QTest::addColumn<int>("chapters");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<int>>("in");
    QTest::addColumn<bool>("leftOut");

    const QList<int> all = {1, 2, 3, 4, 5};
    QTest::newRow("short line in every chapter stays") << 5 << "　　嗯。" << all << false;
    QTest::newRow("5 characters in every chapter stay") << 5 << "雨还在下。" << all << false;
    QTest::newRow("6 characters in every chapter go") << 5 << "雨还在下着。" << all << true;
    QTest::newRow("line in two chapters of five stays") << 5 << "雨一直下到了天亮。" << QList<int>{1, 4} << false;
    QTest::newRow("three chapters of fifteen: a fifth, goes") << 15 << "雨一直下到了天亮。" << QList<int>{2, 7, 9}
                                                            << true;
    QTest::newRow("three chapters of sixteen: less than a fifth, stays")
        << 16 << "雨一直下到了天亮。" << QList<int>{2, 7, 9} << false;
    QTest::newRow("address in one chapter only stays") << 5 << "他在纸上写下 www.qingshi.com 这几个字。"
                                                       << QList<int>{3} << false;
    QTest::newRow("notice in two chapters goes") << 40 << "本章未完，请点击下一页继续阅读" << QList<int>{3, 30} << true;
    QTest::newRow("full-width address in two chapters goes") << 40 << "请收藏：ｍ．ｘｘｘｘ．ｃｏｍ" << QList<int>{1, 2}
                                                             << true;
    QTest::newRow("volume line in every chapter stays") << 5 << "第一卷 青石巷" << all << false;
}

void TestBookTidy::siteLines()
{
    QFETCH(int, chapters);
    QFETCH(QString, line);
    QFETCH(QList<int>, in);
    QFETCH(bool, leftOut);
    // A chapter's own line said three times in it is the story's.
    const QStringList body = {QStringLiteral("　　“门外有人吗？有人吗？”"), QString(),
                              QStringLiteral("　　“门外有人吗？有人吗？”"), QStringLiteral("　　“门外有人吗？有人吗？”")};
    const TidyBook book = Tidy(Pages(chapters, body, line, in), QStringLiteral("书"), false);
    QCOMPARE(!Holds(book.chapters, line), leftOut);
    QVERIFY(Holds(book.chapters, body.first()));
    QCOMPARE(book.chapters.size(), chapters);
    QCOMPARE(book.removed.size(), leftOut ? 1 : 0);
    if (leftOut) {
        QCOMPARE(book.removed.first().line, line.trimmed());
        QCOMPARE(book.removed.first().times, in.size());
    }
}

void TestBookTidy::titleLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("title");
    QTest::newRow("same") << "第一章 雨夜来客" << true;
    QTest::newRow("other spacing, indented") << "\u3000\u3000第一章雨夜来客 " << true;
    QTest::newRow("in brackets") << "【第一章 雨夜来客】" << true;
    QTest::newRow("book's name after it") << "第一章 雨夜来客_青石巷旧事" << true;
    QTest::newRow("book's name before it") << "《青石巷旧事》 第一章：雨夜来客" << true;
    QTest::newRow("story goes on after it") << "第一章 雨夜来客，雨下了一夜。" << false;
    QTest::newRow("another book's name") << "第一章 雨夜来客 - 旧城记" << false;
    QTest::newRow("part of the title") << "第一章" << false;
}

void TestBookTidy::titleLine()
{
    QFETCH(QString, line);
    QFETCH(bool, title);
    QCOMPARE(IsTitleLine(line, QStringLiteral("第一章 雨夜来客"), QStringLiteral("青石巷旧事")), title);
}

void TestBookTidy::author_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("author"); // empty: none
    QTest::newRow("full-width colon") << "作者：林听雨" << "林听雨";
    QTest::newRow("colon and blank") << "  作者: 林听雨" << "林听雨";
    QTest::newRow("more after it") << "作者：林听雨\u3000\u3000更新时间：2026-12-01" << "林听雨";
    QTest::newRow("after the book's name") << "青石巷旧事 作者：林听雨 | 连载中" << "林听雨";
    QTest::newRow("in brackets") << "【作者：林听雨】" << "林听雨";
    QTest::newRow("inside a sentence") << "他就是这本书的作者：老陈。" << "";
    QTest::newRow("no name") << "作者：" << "";
    QTest::newRow("by and a name") << "by Lin Tingyu" << "Lin Tingyu";
    QTest::newRow("by in a sentence") << "by the river, it rained." << "";
}

void TestBookTidy::author()
{
    QFETCH(QString, line);
    QFETCH(QString, author);
    QCOMPARE(AuthorOfLine(line).value_or(QString()), author);
}

void TestBookTidy::volume_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("names");
    QTest::addColumn<QString>("volume");
    QTest::addColumn<QString>("chapter");
    QTest::newRow("volume and chapter") << "第一卷 青石巷 第三章 灯下" << true << "第一卷 青石巷" << "第三章 灯下";
    QTest::newRow("volume alone") << "卷二 远方" << true << "卷二 远方" << "";
    QTest::newRow("Volume and Chapter") << "Volume 2: The Lane Chapter 3 Rain" << true << "Volume 2: The Lane"
                                        << "Chapter 3 Rain";
    QTest::newRow("Book One") << "Book One" << true << "Book One" << "";
    QTest::newRow("a chapter") << "第十二章 卷土重来" << false << "" << "";
    QTest::newRow("卷 as a verb") << "卷起袖子" << false << "" << "";
    QTest::newRow("Book as a word") << "Bookkeeping" << false << "" << "";
}

void TestBookTidy::volume()
{
    QFETCH(QString, text);
    QFETCH(bool, names);
    QFETCH(QString, volume);
    QFETCH(QString, chapter);
    const std::optional<VolumeSplit> split = SplitVolume(text);
    QCOMPARE(split.has_value(), names);
    if (split) {
        QCOMPARE(split->volume, volume);
        QCOMPARE(split->chapter, chapter);
    }
}

QTEST_APPLESS_MAIN(TestBookTidy)
#include "tst_booktidy.moc"
