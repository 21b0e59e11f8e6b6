#include "text/eventyield.h"
#include "text/textops.h"

#include <QtTest>

using namespace pagewick::text;

namespace {

const QString kIdeo = QString(QChar(0x3000));

} // namespace

class TestLineOps : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void delSpace_data();
    void delSpace();
    void dellSpace_data();
    void dellSpace();
    void delrSpace_data();
    void delrSpace();
    void lineCountKept_data();
    void lineCountKept();
    void addSpace_data();
    void addSpace();

    void yieldsWhileWalking_data();
    void yieldsWhileWalking();
    void unaffectedByChangesDuringYield();
};

void TestLineOps::cleanup()
{
    setYieldFunction({});
}

void TestLineOps::delSpace_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << "" << "";
    QTest::newRow("one line") << "a" << "a";
    QTest::newRow("trailing break kept") << "a\r\n" << "a\r\n";
    QTest::newRow("inner empty line") << "a\r\n\r\nb" << "a\r\nb";
    QTest::newRow("leading empty lines") << "\r\n\r\na" << "a";
    QTest::newRow("only breaks") << "\r\n\r\n" << "";
    QTest::newRow("single break") << "\r\n" << "";
    QTest::newRow("line of spaces stays") << "a\r\n  \r\nb" << "a\r\n  \r\nb";
    QTest::newRow("line of ideographic spaces stays") << "a\r\n" + kIdeo + "\r\nb"
                                                      << "a\r\n" + kIdeo + "\r\nb";
    QTest::newRow("lone LF is no break") << "a\n\nb" << "a\n\nb";
    QTest::newRow("lone CR is no break") << "a\r\rb" << "a\r\rb";
    QTest::newRow("LF CR is no break") << "a\n\r\n\rb" << "a\n\r\n\rb";
    QTest::newRow("CR before CR LF") << "a\r\r\n\r\nb" << "a\r\r\nb";
    QTest::newRow("many empty lines") << "a\r\n\r\n\r\n\r\nb\r\n\r\n" << "a\r\nb\r\n";
    QTest::newRow("CJK") << QString::fromUtf8("第一章\r\n\r\n　　正文。\r\n")
                         << QString::fromUtf8("第一章\r\n　　正文。\r\n");
}

void TestLineOps::delSpace()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(DelSpace(input), expected);
}

void TestLineOps::dellSpace_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << "" << "";
    QTest::newRow("table row") << "  a\r\n   \r\nb  " << "a\r\n\r\nb  ";
    QTest::newRow("tab is no space") << "\ta" << "\ta";
    QTest::newRow("space after tab stays") << "\t a" << "\t a";
    QTest::newRow("inner spaces stay") << "  a  b" << "a  b";
    QTest::newRow("only breaks") << "\r\n\r\n" << "\r\n\r\n";
    QTest::newRow("lone LF inside a line") << "  a\n  b" << "a\n  b";
    QTest::newRow("ideographic indent") << kIdeo + kIdeo + "a\r\n" + kIdeo + " b"
                                        << "a\r\nb";
    QTest::newRow("mixed indent") << " " + kIdeo + " a" << "a";
    QTest::newRow("no-break space is no space") << QString(QChar(0x00A0)) + "a"
                                                << QString(QChar(0x00A0)) + "a";
    QTest::newRow("CJK paragraph") << QString::fromUtf8("　　他说：“好。”　\r\n　　")
                                   << QString::fromUtf8("他说：“好。”　\r\n");
}

void TestLineOps::dellSpace()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(DellSpace(input), expected);
}

void TestLineOps::delrSpace_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << "" << "";
    QTest::newRow("table row") << "  a\r\n   \r\nb  " << "  a\r\n\r\nb";
    QTest::newRow("tab is no space") << "a\t" << "a\t";
    QTest::newRow("space before tab stays") << "a \t" << "a \t";
    QTest::newRow("inner spaces stay") << "a  b  " << "a  b";
    QTest::newRow("space before lone CR stays") << "a \r" << "a \r";
    QTest::newRow("spaces before CR LF") << "a  \r\nb \r\n" << "a\r\nb\r\n";
    QTest::newRow("ideographic trail") << "a" + kIdeo + " " + kIdeo + "\r\n" + kIdeo
                                       << "a\r\n";
    QTest::newRow("CJK paragraph") << QString::fromUtf8("　　他说：“好。”　 \r\n　　")
                                   << QString::fromUtf8("　　他说：“好。”\r\n");
}

void TestLineOps::delrSpace()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(DelrSpace(input), expected);
}

void TestLineOps::lineCountKept_data()
{
    QTest::addColumn<QString>("input");

    QTest::newRow("spaces only lines") << "  \r\n \r\n   ";
    QTest::newRow("ends with break") << " a \r\n b \r\n";
    QTest::newRow("only breaks") << "\r\n\r\n\r\n";
    QTest::newRow("ideographic lines") << kIdeo + "\r\n" + kIdeo + kIdeo + "\r\n" + kIdeo;
    QTest::newRow("spaces around lone CR LF parts") << " \r \r\n \n ";
}

void TestLineOps::lineCountKept()
{
    QFETCH(QString, input);
    const qsizetype breaks = input.count(QStringLiteral("\r\n"));
    QCOMPARE(DellSpace(input).count(QStringLiteral("\r\n")), breaks);
    QCOMPARE(DelrSpace(input).count(QStringLiteral("\r\n")), breaks);
}

void TestLineOps::addSpace_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << "" << "";
    QTest::newRow("one line") << "a" << "a";
    QTest::newRow("table row") << "a\r\nb\r\n" << "a\r\n    b\r\n    ";
    QTest::newRow("empty lines") << "\r\n\r\n" << "\r\n    \r\n    ";
    QTest::newRow("lone LF and CR") << "a\nb\rc" << "a\nb\rc";
    QTest::newRow("CR CR LF") << "a\r\r\nb" << "a\r\r\n    b";
    QTest::newRow("existing indent kept") << "a\r\n  b" << "a\r\n      b";
}

void TestLineOps::addSpace()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(pagewick::text::addSpace(input), expected);
}

void TestLineOps::yieldsWhileWalking_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("yields");

    const QString multi = QStringLiteral(" a\r\n\r\n b \r\nc");
    QTest::newRow("DelSpace") << 0 << multi << true;
    QTest::newRow("DellSpace") << 1 << multi << true;
    QTest::newRow("DelrSpace") << 2 << multi << true;
    QTest::newRow("DelSpace, one line") << 0 << QStringLiteral("a") << true;
    QTest::newRow("DelSpace, empty text has no lines") << 0 << QString() << false;
    QTest::newRow("addSpace does not yield") << 3 << multi << false;
    QTest::newRow("dlcp does not yield") << 4 << multi << false;
}

void TestLineOps::yieldsWhileWalking()
{
    QFETCH(int, operation);
    QFETCH(QString, input);
    QFETCH(bool, yields);

    int calls = 0;
    setYieldFunction([&calls] { ++calls; });
    switch (operation) {
    case 0: DelSpace(input); break;
    case 1: DellSpace(input); break;
    case 2: DelrSpace(input); break;
    case 3: pagewick::text::addSpace(input); break;
    case 4: dlcp(input); break;
    }
    if (yields)
        QVERIFY(calls >= 1);
    else
        QCOMPARE(calls, 0);
}

// Other handlers run while the walk yields; one that replaces the caller's
// text must not change what the running operation works on.
void TestLineOps::unaffectedByChangesDuringYield()
{
    QString text = QStringLiteral("a\r\n\r\nb\r\n\r\nc");
    text.detach(); // the caller's own buffer, which an in-place change would reach
    int calls = 0;
    setYieldFunction([&] {
        ++calls;
        text.fill(QLatin1Char('x'));
    });
    const QString result = DelSpace(text);
    QVERIFY(calls >= 1);
    QCOMPARE(text, QString(text.size(), QLatin1Char('x')));
    QCOMPARE(result, QStringLiteral("a\r\nb\r\nc"));
}

QTEST_APPLESS_MAIN(TestLineOps)
#include "tst_lineops.moc"
