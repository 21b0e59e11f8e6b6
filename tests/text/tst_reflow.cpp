#include "text/textops.h"

#include <QtTest>

using pagewick::text::dlcp;

namespace {

const QString kIdeo = QString(QChar(0x3000));
const QString kMark = QString(QChar(0x00A8));

} // namespace

class TestReflow : public QObject
{
    Q_OBJECT

private slots:
    void reflow_data();
    void reflow();
};

void TestReflow::reflow_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << "" << "    ";
    QTest::newRow("single") << "single" << "    single";
    QTest::newRow("two lines") << "A\r\nB" << "    A\r\n\r\n    B";
    QTest::newRow("empty line dropped") << "P1\r\n\r\nP2" << "    P1\r\n\r\n    P2";
    QTest::newRow("line of spaces is blank") << "P1\r\n   \r\nP2" << "    P1\r\n\r\n    P2";
    QTest::newRow("ideographic indents") << kIdeo + kIdeo + "P1 one\r\ncontinued\r\n" + kIdeo
                                                + kIdeo + "P2\r\n"
                                         << "    P1one\r\n\r\n    continued\r\n\r\n    P2";
    QTest::newRow("spaces removed") << "Hello world" << "    Helloworld";
    QTest::newRow("inner ideographic space removed") << "a" + kIdeo + "b" << "    ab";
    QTest::newRow("mark splits") << "a" + kMark + "b" << "    a\r\n\r\n    b";
    QTest::newRow("only breaks") << "\r\n\r\n" << "    ";
    QTest::newRow("line of ideographic spaces is blank") << "P1\r\n" + kIdeo + kIdeo + "\r\nP2"
                                                         << "    P1\r\n\r\n    P2";
    QTest::newRow("mixed blank line") << "P1\r\n " + kIdeo + " \r\nP2" << "    P1\r\n\r\n    P2";
    QTest::newRow("mark at line start") << kMark + "a" << "    \r\n\r\n    a";
    QTest::newRow("mark at line end") << "a" + kMark + "\r\nb" << "    a\r\n\r\n    \r\n\r\n    b";
    QTest::newRow("two marks") << "a" + kMark + kMark + "b" << "    a\r\n\r\n    \r\n\r\n    b";
    QTest::newRow("line of one mark") << kMark << "    \r\n\r\n    ";
    QTest::newRow("mark after spaces") << "  " + kMark << "    \r\n\r\n    ";
    QTest::newRow("lone LF stays in paragraph") << "a\nb" << "    a\nb";
    QTest::newRow("tab stays") << "a\tb" << "    a\tb";
    QTest::newRow("CJK chapter")
        << QString::fromUtf8("第一章 风起\r\n\r\n　　天色渐晚。\r\n　　他推门 而入。\r\n")
        << QString::fromUtf8("    第一章风起\r\n\r\n    天色渐晚。\r\n\r\n    他推门而入。");
}

void TestReflow::reflow()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(dlcp(input), expected);
}

QTEST_APPLESS_MAIN(TestReflow)
#include "tst_reflow.moc"
