#include "extract/titleclean.h"

#include <QtTest>

using pagewick::extract::CleanPageTitle;

class TestTitleClean : public QObject
{
    Q_OBJECT

private slots:
    void cleanPageTitle_data();
    void cleanPageTitle();
};

void TestTitleClean::cleanPageTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << "" << "";
    QTest::newRow("plain") << "Chapter 1" << "Chapter 1";
    QTest::newRow("breadcrumb") << "Home > Book > Chapter" << " Chapter";
    QTest::newRow("after last backslash") << "a\\b\\c" << "c";
    QTest::newRow("backslash then >") << "x>y\\z>w" << "w";
    QTest::newRow("> before backslash") << "a>b\\c" << "c";
    QTest::newRow("ends with >") << "Book >" << "";
    QTest::newRow("underscore then hyphen") << "Ch-1 one_Book-Site" << "Ch";
    QTest::newRow("hyphen after underscore cut") << "Ch 1_Book-Site" << "Ch 1";
    QTest::newRow("hyphen only") << "Ch 1 - Site" << "Ch 1 ";
    QTest::newRow("leading underscore") << "_Chapter" << "";
    QTest::newRow("leading hyphen") << "-Chapter" << "";
    QTest::newRow("spaces kept") << "  Ch 1  _x" << "  Ch 1  ";
    QTest::newRow("breadcrumb then site") << "Home>Ch 2_Book" << "Ch 2";
    QTest::newRow("double quote") << "say \"hi\"" << "say 'hi'";
    QTest::newRow("less than") << "a<b" << QString::fromUtf8("a＜b");
    QTest::newRow("vertical bar") << "a|b" << QString::fromUtf8("a│b");
    QTest::newRow("question mark") << "why?" << QString::fromUtf8("why？");
    QTest::newRow("asterisk") << "a*b" << QString::fromUtf8("a×b");
    QTest::newRow("colon") << "Ch 1: Start" << QString::fromUtf8("Ch 1∶ Start");
    QTest::newRow("slash") << "1/2" << QString::fromUtf8("1╱2");
    QTest::newRow("question and colon") << "Who?:Me" << QString::fromUtf8("Who？∶Me");
    QTest::newRow("all replaceable at once") << "\"<|?*:/\"" << QString::fromUtf8("'＜│？×∶╱'");
    QTest::newRow("line break and dot kept") << "a\r\nb." << "a\r\nb.";
    QTest::newRow("full-width look-alikes untouched") << QString::fromUtf8("？＞")
                                                      << QString::fromUtf8("？＞");
    QTest::newRow("CJK title") << QString::fromUtf8("第一章 风起云涌_某某小说_某某网")
                               << QString::fromUtf8("第一章 风起云涌");
    QTest::newRow("CJK breadcrumb")
        << QString::fromUtf8("首页 > 玄幻 > 第二章：夜雨?-笔趣")
        << QString::fromUtf8(" 第二章：夜雨？");
    QTest::newRow("CJK with ASCII colon") << QString::fromUtf8("第3章:回家") << QString::fromUtf8("第3章∶回家");
}

void TestTitleClean::cleanPageTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, expected);
    QCOMPARE(CleanPageTitle(title), expected);
}

QTEST_APPLESS_MAIN(TestTitleClean)
#include "tst_titleclean.moc"
