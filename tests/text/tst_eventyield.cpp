#include "text/eventyield.h"

#include <QElapsedTimer>
#include <QtTest>

#include <vector>

using namespace pagewick::text;

class TestEventYield : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void throttledSpacing_data();
    void throttledSpacing();
    void emptyFunctionRestoresDefault();
    void functionMayReplaceItself();
};

void TestEventYield::cleanup()
{
    setYieldFunction({});
}

// Steps in a tight loop for a while: the first step yields at once, later
// yields are at least the throttle interval apart, and a long walk still
// yields more than once.
void TestEventYield::throttledSpacing_data()
{
    QTest::addColumn<int>("spinMs");

    QTest::newRow("50 ms") << 50;
    QTest::newRow("120 ms") << 120;
}

void TestEventYield::throttledSpacing()
{
    QFETCH(int, spinMs);

    QElapsedTimer clock;
    std::vector<qint64> yieldsAtNs;
    setYieldFunction([&] { yieldsAtNs.push_back(clock.nsecsElapsed()); });

    ThrottledYield throttle;
    qint64 steps = 0;
    clock.start();
    while (clock.elapsed() < spinMs) {
        throttle.step();
        ++steps;
        if (steps == 1)
            QCOMPARE(yieldsAtNs.size(), size_t(1));
    }

    QVERIFY2(yieldsAtNs.size() >= 2, qPrintable(QString::number(yieldsAtNs.size())));
    QVERIFY(qint64(yieldsAtNs.size()) < steps / 10);
    // Whole milliseconds of a monotonic clock: a gap of 10 ms on it is more than 9 ms.
    for (size_t k = 1; k < yieldsAtNs.size(); ++k)
        QVERIFY2(yieldsAtNs[k] - yieldsAtNs[k - 1] >= 9'000'000,
                 qPrintable(QString::number(yieldsAtNs[k] - yieldsAtNs[k - 1])));
}

void TestEventYield::emptyFunctionRestoresDefault()
{
    int calls = 0;
    setYieldFunction([&calls] { ++calls; });
    yieldToEvents();
    QCOMPARE(calls, 1);
    setYieldFunction({});
    yieldToEvents(); // no application object: the default does nothing
    QCOMPARE(calls, 1);
}

void TestEventYield::functionMayReplaceItself()
{
    int first = 0;
    int second = 0;
    setYieldFunction([&] {
        ++first;
        setYieldFunction([&second] { ++second; });
        ++first;
    });
    yieldToEvents();
    yieldToEvents();
    QCOMPARE(first, 2);
    QCOMPARE(second, 1);
}

QTEST_APPLESS_MAIN(TestEventYield)
#include "tst_eventyield.moc"
