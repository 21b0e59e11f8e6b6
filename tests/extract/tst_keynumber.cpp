#include "extract/detection.h"
#include "extract/keynumber.h"

#include <QtTest>

#include <limits>

using namespace pagewick::extract;

class TestKeyNumber : public QObject
{
    Q_OBJECT

private slots:
    void format_data();
    void format();
    void roundHalfEven4_data();
    void roundHalfEven4();
    void progressNumber_data();
    void progressNumber();
    void progressCaption();
};

void TestKeyNumber::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("integral") << 10445.0 << "10445";
    QTest::newRow("six digits") << 100000.0 << "100000";
    QTest::newRow("no exponent, large") << 1e20 << "100000000000000000000";
    QTest::newRow("rounded beyond 15 digits") << 123456789012345678.0 << "123456789012346000";
    QTest::newRow("fraction") << 10445.5 << "10445.5";
    QTest::newRow("binary noise dropped") << 0.1 + 0.2 << "0.3";
    QTest::newRow("57.53 from a product") << 0.5753 * 100 << "57.53";
    QTest::newRow("3.12 from a product") << 0.0312 * 100 << "3.12";
    QTest::newRow("leading zero") << 0.0022 << "0.0022";
    QTest::newRow("one third") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("two thirds rounds up") << 2.0 / 3 << "0.666666666666667";
    QTest::newRow("15 digits with integer part") << 10000.0 / 3 << "3333.33333333333";
    QTest::newRow("small, no exponent") << 0.00001 << "0.00001";
    QTest::newRow("small, 15 digits") << 0.00012345678901234567 << "0.000123456789012346";
    QTest::newRow("carry into a new digit") << 9.9999999999999999 << "10";
    QTest::newRow("carry to integral") << 99.99999999999999 << "100";
    QTest::newRow("negative") << -1.5 << "-1.5";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "inf";
}

void TestKeyNumber::format()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatKeyNumber(value), expected);
}

void TestKeyNumber::roundHalfEven4_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");

    QTest::newRow("1/32 tie goes down to even") << 1.0 / 32 << 0.0312;
    QTest::newRow("3/32 tie goes up to even") << 3.0 / 32 << 0.0938;
    QTest::newRow("5/32") << 5.0 / 32 << 0.1562;
    QTest::newRow("7/32") << 7.0 / 32 << 0.2188;
    QTest::newRow("0.00015 stored below the tie") << 0.00015 << 0.0001;
    QTest::newRow("0.00025 stored above the tie") << 0.00025 << 0.0003;
    QTest::newRow("2.00005 stored below the tie") << 2.00005 << 2.0;
    QTest::newRow("1.00005 stored above the tie") << 1.00005 << 1.0001;
    QTest::newRow("one third") << 1.0 / 3 << 0.3333;
    QTest::newRow("1269/30") << 1269.0 / 30 << 42.3;
    QTest::newRow("already 4 places") << 0.0022 << 0.0022;
    QTest::newRow("integral") << 9000.0 << 9000.0;
    QTest::newRow("carry") << 0.99995000001 << 1.0;
}

void TestKeyNumber::roundHalfEven4()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    const double rounded = RoundHalfEven4(value);
    // Exact equality: the key text is written from this very double.
    QVERIFY2(rounded == expected, qPrintable(QString::number(rounded, 'g', 17)));
}

void TestKeyNumber::progressNumber_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");

    QTest::newRow("start") << 0 << 3 << "0";
    QTest::newRow("1 of 3") << 1 << 3 << "33.33";
    QTest::newRow("2 of 3") << 2 << 3 << "66.67";
    QTest::newRow("half") << 1 << 2 << "50";
    QTest::newRow("5753 of 10000") << 5753 << 10000 << "57.53";
    QTest::newRow("1 of 32, tie to even") << 1 << 32 << "3.12";
    QTest::newRow("3 of 32, tie to even") << 3 << 32 << "9.38";
    QTest::newRow("last of 7") << 6 << 7 << "85.71";
}

void TestKeyNumber::progressNumber()
{
    QFETCH(int, index);
    QFETCH(int, count);
    QFETCH(QString, expected);
    QCOMPARE(ProgressNumber(index, count), expected);
}

void TestKeyNumber::progressCaption()
{
    QCOMPARE(ProgressCaption(QStringLiteral("第一章 风起"), QStringLiteral("33.33")),
             QStringLiteral("第一章 风起 - 正在处理中 33.33%"));
}

QTEST_APPLESS_MAIN(TestKeyNumber)
#include "tst_keynumber.moc"
