#include "text/sortrange.h"
#include "text/textops.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using pagewick::text::SortStr;

namespace {

// Random strings over a small alphabet, so that prefixes and duplicates are common.
QStringList randomStrings(int count, int maxLength, const QString &alphabet, quint32 seed)
{
    QRandomGenerator rng(seed);
    QStringList out;
    out.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int len = rng.bounded(maxLength + 1);
        QString s;
        s.reserve(len);
        for (int k = 0; k < len; ++k)
            s += alphabet[rng.bounded(int(alphabet.size()))];
        out += s;
    }
    return out;
}

QStringList numberedKeys(int count)
{
    QStringList out;
    out.reserve(count);
    for (int i = 0; i < count; ++i)
        out += QStringLiteral("%1|%2|DIV").arg(10000 + i, 7, 10, QLatin1Char('0')).arg(i % 97);
    return out;
}

} // namespace

class TestSortStr : public QObject
{
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
    void againstStdSort_data();
    void againstStdSort();
    void partialRangeOfLargeArray();
    void exhaustedDepthBudget_data();
    void exhaustedDepthBudget();
};

void TestSortStr::rows_data()
{
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty array") << QStringList() << 0 << -1 << QStringList();
    QTest::newRow("single") << QStringList{"x"} << 0 << 0 << QStringList{"x"};
    QTest::newRow("two equal") << QStringList{"a", "a"} << 0 << 1 << QStringList{"a", "a"};
    QTest::newRow("two") << QStringList{"b", "a"} << 0 << 1 << QStringList{"a", "b"};
    QTest::newRow("empty string first") << QStringList{"", "b", "a"} << 0 << 2
                                        << QStringList{"", "a", "b"};
    QTest::newRow("empty string last") << QStringList{"b", "a", ""} << 0 << 2
                                       << QStringList{"", "a", "b"};
    QTest::newRow("text order of numbers")
        << QStringList{"10500|x", "9|y", "10020|z"} << 0 << 2
        << QStringList{"10020|z", "10500|x", "9|y"};
    QTest::newRow("9 above 10000") << QStringList{"9", "10000"} << 0 << 1
                                   << QStringList{"10000", "9"};
    QTest::newRow("prefix first") << QStringList{"ab", "a"} << 0 << 1 << QStringList{"a", "ab"};
    QTest::newRow("upper case before lower") << QStringList{"a", "B"} << 0 << 1
                                             << QStringList{"B", "a"};
    QTest::newRow("bar after dot") << QStringList{"10445|1", "10445.5|1"} << 0 << 1
                                   << QStringList{"10445.5|1", "10445|1"};
    QTest::newRow("TD above DIV") << QStringList{"1|TD", "1|DIV"} << 0 << 1
                                  << QStringList{"1|DIV", "1|TD"};
    QTest::newRow("code units, not code points")
        << QStringList{QString::fromUtf8("\uFF01"), QString::fromUtf8("\U00020000")} << 0 << 1
        << QStringList{QString::fromUtf8("\U00020000"), QString::fromUtf8("\uFF01")};
    QTest::newRow("CJK by code unit") << QStringList{"中", "一", "乙"} << 0 << 2
                                      << QStringList{"一", "中", "乙"};
    QTest::newRow("duplicates") << QStringList{"b", "a", "b", "a", "b"} << 0 << 4
                                << QStringList{"a", "a", "b", "b", "b"};
    QTest::newRow("middle only") << QStringList{"z", "c", "b", "a", "0"} << 1 << 3
                                 << QStringList{"z", "a", "b", "c", "0"};
    QTest::newRow("prefix only") << QStringList{"c", "b", "a", "0"} << 0 << 1
                                 << QStringList{"b", "c", "a", "0"};
    QTest::newRow("suffix only") << QStringList{"z", "c", "b", "a"} << 2 << 3
                                 << QStringList{"z", "c", "a", "b"};
    QTest::newRow("high below low") << QStringList{"b", "a"} << 1 << 0 << QStringList{"b", "a"};
    QTest::newRow("high past the end") << QStringList{"b", "a"} << 0 << 2
                                       << QStringList{"b", "a"};
    QTest::newRow("negative low") << QStringList{"b", "a"} << -1 << 1 << QStringList{"b", "a"};
}

void TestSortStr::rows()
{
    QFETCH(QStringList, input);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(QStringList, expected);

    SortStr(input, low, high);
    QCOMPARE(input, expected);
}

void TestSortStr::againstStdSort_data()
{
    QTest::addColumn<QStringList>("input");

    const QString ascii = QStringLiteral("aAbB|.09");
    const QString cjk = QString::fromUtf8("一乙中，。|1");
    for (int n : {3, 7, 16, 100, 1000, 20000})
        QTest::newRow(qPrintable(QStringLiteral("random ascii %1").arg(n)))
            << randomStrings(n, 6, ascii, quint32(n));
    QTest::newRow("random cjk") << randomStrings(5000, 4, cjk, 7u);
    QTest::newRow("random few values") << randomStrings(5000, 1, QStringLiteral("ab"), 11u);

    QStringList sorted = numberedKeys(1'000'000);
    QStringList reversed = sorted;
    std::reverse(reversed.begin(), reversed.end());
    QStringList organ = numberedKeys(200'000);
    std::reverse(organ.begin() + organ.size() / 2, organ.end());
    QTest::newRow("sorted 1000000") << sorted;
    QTest::newRow("reverse-sorted 1000000") << reversed;
    QTest::newRow("all equal 1000000") << QStringList(1'000'000, QStringLiteral("10445|DIV"));
    QTest::newRow("ascending then descending") << organ;
}

void TestSortStr::againstStdSort()
{
    QFETCH(QStringList, input);

    QStringList expected = input;
    std::sort(expected.begin(), expected.end());
    SortStr(input, 0, int(input.size()) - 1);
    QVERIFY(input == expected);
}

void TestSortStr::partialRangeOfLargeArray()
{
    QStringList input = randomStrings(10000, 5, QStringLiteral("abc"), 3u);
    const QStringList original = input;
    const int low = 1234;
    const int high = 8765;
    SortStr(input, low, high);

    QVERIFY(std::equal(input.begin(), input.begin() + low, original.begin()));
    QVERIFY(std::equal(input.begin() + high + 1, input.end(), original.begin() + high + 1));
    QStringList middle = original.mid(low, high - low + 1);
    std::sort(middle.begin(), middle.end());
    QVERIFY(std::equal(middle.begin(), middle.end(), input.begin() + low));
}

// The heap-sort backstop gives the same order as the quicksort path.
void TestSortStr::exhaustedDepthBudget_data()
{
    QTest::addColumn<int>("budget");
    QTest::addColumn<QStringList>("input");

    const QStringList random = randomStrings(3000, 5, QStringLiteral("aB|.9"), 5u);
    QStringList reversed = numberedKeys(3000);
    std::reverse(reversed.begin(), reversed.end());
    for (int budget : {0, 1, 4})
        QTest::newRow(qPrintable(QStringLiteral("random, budget %1").arg(budget))) << budget << random;
    QTest::newRow("reverse-sorted, budget 2") << 2 << reversed;
}

void TestSortStr::exhaustedDepthBudget()
{
    QFETCH(int, budget);
    QFETCH(QStringList, input);

    QStringList expected = input;
    std::sort(expected.begin(), expected.end());
    // A sentinel on each side shows that the backstop stays inside its range.
    input.prepend(QStringLiteral("~"));
    input.append(QString());
    pagewick::text::detail::SortRange(input.data(), 1, int(input.size()) - 2, budget);
    QCOMPARE(input.first(), QStringLiteral("~"));
    QVERIFY(input.last().isNull());
    QVERIFY(std::equal(expected.begin(), expected.end(), input.begin() + 1));
}

QTEST_APPLESS_MAIN(TestSortStr)
#include "tst_sortstr.moc"
