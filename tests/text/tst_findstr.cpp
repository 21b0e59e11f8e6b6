#include "text/textops.h"

#include <QtTest>

using pagewick::text::FindStrMulti;

class TestFindStr : public QObject
{
    Q_OBJECT

private slots:
    void findStrMulti_data();
    void findStrMulti();
    void longTextManyPairs();
};

void TestFindStr::findStrMulti_data()
{
    QTest::addColumn<QString>("strall");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("split");
    QTest::addColumn<QString>("expected");

    // Both markers non-empty.
    QTest::newRow("two pairs") << "a[x]b[y]c" << "[" << "]" << "," << "x,y";
    QTest::newRow("two pairs, no separator") << "a[x]b[y]c" << "[" << "]" << "" << "xy";
    QTest::newRow("long separator") << "[1][2][3]" << "[" << "]" << " | " << "1 | 2 | 3";
    QTest::newRow("unterminated last pair") << "[x]b[y" << "[" << "]" << "," << "x";
    QTest::newRow("no nesting") << "[[x]]" << "[" << "]" << "," << "[x";
    QTest::newRow("same marker both sides") << "|a|b|c" << "|" << "|" << "," << "a,b";
    QTest::newRow("empty stretches only") << "[]x[]" << "[" << "]" << "," << "";
    QTest::newRow("empty stretch in the middle") << "[a][][b]" << "[" << "]" << "," << "a,,b";
    QTest::newRow("empty stretch first") << "[][a][b]" << "[" << "]" << "," << "a,b";
    QTest::newRow("start marker at the end") << "[a]tail[" << "[" << "]" << "," << "a";
    QTest::newRow("end searched after start marker") << "abb" << "ab" << "b" << "," << "";
    QTest::newRow("end inside start not counted") << "abxb" << "ab" << "b" << "," << "x";
    QTest::newRow("no start marker") << "abc]" << "[" << "]" << "," << "";
    QTest::newRow("end before start only") << "]x[" << "[" << "]" << "," << "";
    QTest::newRow("multi-char markers") << "<p>one</p><p>two</p>" << "<p>" << "</p>" << "\r\n"
                                        << "one\r\ntwo";
    QTest::newRow("markers share text") << "<<a<<b<<" << "<<" << "<<" << "," << "a,b";
    QTest::newRow("space is a marker") << "x a b c" << " " << " " << "," << "a,b";
    QTest::newRow("case-sensitive") << "[A]{a}" << "{" << "}" << "," << "a";
    QTest::newRow("empty text, case 1") << "" << "[" << "]" << "," << "";
    QTest::newRow("CJK keywords") << QString::fromUtf8("广告正文开始第一章内容正文结束广告")
                                  << QString::fromUtf8("正文开始") << QString::fromUtf8("正文结束")
                                  << "" << QString::fromUtf8("第一章内容");
    QTest::newRow("CJK two pairs") << QString::fromUtf8("【甲】乙【丙】") << QString::fromUtf8("【")
                                   << QString::fromUtf8("】") << QString::fromUtf8("、")
                                   << QString::fromUtf8("甲、丙");
    QTest::newRow("surrogate pair content") << QString::fromUtf8("[𠀀]") << "[" << "]" << ""
                                            << QString::fromUtf8("𠀀");

    // Start marker only.
    QTest::newRow("start only") << "title: text" << "title:" << "" << "," << " text";
    QTest::newRow("start only, first occurrence") << "a:b:c" << ":" << "" << "," << "b:c";
    QTest::newRow("start only, at end") << "text:" << ":" << "" << "," << "";
    QTest::newRow("start only, not found") << "text" << ":" << "" << "," << "";
    QTest::newRow("start only, empty text") << "" << ":" << "" << "," << "";

    // End marker only.
    QTest::newRow("end only") << "text<end>rest" << "" << "<end>" << "," << "text";
    QTest::newRow("end only, first occurrence") << "a<end>b<end>" << "" << "<end>" << "," << "a";
    QTest::newRow("end only, at beginning") << "<end>rest" << "" << "<end>" << "," << "";
    QTest::newRow("end only, not found") << "text" << "" << "<end>" << "," << "";
    QTest::newRow("end only, empty text") << "" << "" << "<end>" << "," << "";

    // Both markers empty.
    QTest::newRow("no markers") << "a[x]b" << "" << "" << "," << "a[x]b";
    QTest::newRow("no markers, empty text") << "" << "" << "" << "," << "";
}

void TestFindStr::findStrMulti()
{
    QFETCH(QString, strall);
    QFETCH(QString, first);
    QFETCH(QString, end);
    QFETCH(QString, split);
    QFETCH(QString, expected);

    QCOMPARE(FindStrMulti(strall, first, end, split), expected);
}

// Many pairs in a long text: every stretch is found, in order.
void TestFindStr::longTextManyPairs()
{
    const int pairs = 200000;
    QString text;
    QString expected;
    for (int i = 0; i < pairs; ++i) {
        const QString n = QString::number(i);
        text += QStringLiteral("noise[") + n + QLatin1Char(']');
        if (i > 0)
            expected += QLatin1Char(';');
        expected += n;
    }
    QCOMPARE(FindStrMulti(text, QStringLiteral("["), QStringLiteral("]"), QStringLiteral(";")),
             expected);
}

QTEST_APPLESS_MAIN(TestFindStr)
#include "tst_findstr.moc"
