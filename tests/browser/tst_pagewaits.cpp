#include "browser/pagewaits.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <memory>

using pagewick::browser::WaitRegistry;
using pagewick::browser::WaitState;
using pagewick::browser::waitFor;

class TestPageWaits : public QObject
{
    Q_OBJECT

private slots:
    void answerEndsWait();
    void timeoutFailsAndLateAnswerIsDropped();
    void settledBeforeWaitReturnsAtOnce();
    void innerWaitEndingLeavesOuterWaiting();
    void outerSettledDuringInnerReturnsAfterIt();
    void failAllEndsOnlyCurrentWaits();
    void shutdownFailsCurrentAndLaterWaits();
    void destroyedRegistryFailsItsWaits();
};

void TestPageWaits::answerEndsWait()
{
    WaitRegistry registry;
    auto state = registry.begin();
    QTimer::singleShot(20, [state] { state->succeed(QStringLiteral("answer")); });
    QVERIFY(waitFor(state, 5000));
    QCOMPARE(state->value().toString(), QStringLiteral("answer"));
}

void TestPageWaits::timeoutFailsAndLateAnswerIsDropped()
{
    WaitRegistry registry;
    auto state = registry.begin();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!waitFor(state, 50));
    QVERIFY(clock.elapsed() >= 45);
    state->succeed(42);
    QVERIFY(!state->succeeded());
    QVERIFY(!state->value().isValid());
}

void TestPageWaits::settledBeforeWaitReturnsAtOnce()
{
    WaitRegistry registry;
    auto state = registry.begin();
    state->succeed(1);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(waitFor(state, -1));
    QVERIFY(clock.elapsed() < 1000);
}

void TestPageWaits::innerWaitEndingLeavesOuterWaiting()
{
    WaitRegistry registry;
    auto outer = registry.begin();
    bool innerResult = false;
    QTimer::singleShot(10, [&] {
        auto inner = registry.begin();
        QTimer::singleShot(10, [inner] { inner->succeed(); });
        innerResult = waitFor(inner, 5000);
    });
    QTimer::singleShot(200, [outer] { outer->succeed(); });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(waitFor(outer, 5000));
    QVERIFY(innerResult);
    QVERIFY2(clock.elapsed() >= 190, "the outer wait ended with the inner one");
}

void TestPageWaits::outerSettledDuringInnerReturnsAfterIt()
{
    WaitRegistry registry;
    auto outer = registry.begin();
    QStringList order;
    QTimer::singleShot(10, [&] {
        auto inner = registry.begin();
        QTimer::singleShot(10, [outer] { outer->succeed(); });
        QTimer::singleShot(100, [inner] { inner->succeed(); });
        waitFor(inner, 5000);
        order << "inner";
    });
    QVERIFY(waitFor(outer, 5000));
    order << "outer";
    QCOMPARE(order, QStringList({"inner", "outer"}));
}

void TestPageWaits::failAllEndsOnlyCurrentWaits()
{
    WaitRegistry registry;
    auto current = registry.begin();
    QTimer::singleShot(10, [&] { registry.failAll(); });
    QVERIFY(!waitFor(current, 5000));
    auto later = registry.begin();
    QVERIFY(!later->isSettled());
    QTimer::singleShot(10, [later] { later->succeed(); });
    QVERIFY(waitFor(later, 5000));
}

void TestPageWaits::shutdownFailsCurrentAndLaterWaits()
{
    WaitRegistry registry;
    auto current = registry.begin();
    QTimer::singleShot(10, [&] { registry.shutdown(); });
    QVERIFY(!waitFor(current, 5000));
    QVERIFY(registry.isShutDown());
    auto later = registry.begin();
    QVERIFY(later->isSettled());
    QVERIFY(!waitFor(later, 5000));
}

void TestPageWaits::destroyedRegistryFailsItsWaits()
{
    auto registry = std::make_unique<WaitRegistry>();
    auto state = registry->begin();
    QTimer::singleShot(10, [&] { registry.reset(); });
    QVERIFY(!waitFor(state, 5000));
    QVERIFY(!registry);
}

QTEST_GUILESS_MAIN(TestPageWaits)
#include "tst_pagewaits.moc"
