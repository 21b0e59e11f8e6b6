#include "browser/webbrowser.h"
#include "tests/browser/browsertestbase.h"
#include "tests/support/enginetestutil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using pagewick::workflow::ReadParts;
using pagewick::browser::FrameId;
using pagewick::browser::WebBrowser;
using pagewick::testsupport::LoopbackServer;
using namespace pagewick::browsertests;
namespace testsupport = pagewick::testsupport;

// Waits and reads that cannot get their answer end, and end cleanly: the page
// changes, its render process dies, time runs out, the program interrupts or
// shuts down, the browser goes away. Waits nest.
class TestBrowserWaits : public BrowserTestBase
{
    Q_OBJECT

public:
    static void initMain() { testsupport::prepareEngine(); }

private slots:
    void init() { openBrowser(); }
    void cleanup() { closeBrowser(); }

    void readyStateFollowsLoading();
    void readFailsWhenPageNavigatesAway();
    void readTimesOutAndLateAnswerIsHarmless();
    void interruptEndsOnlyCurrentReads();
    void shutdownFailsReadsAtOnce();
    void killedRenderProcessFailsPendingRead();
    void killedRenderProcessEndsLoading();
    void destroyingBrowserDuringReadIsSafe();
    void nestedReadsBothAnswer();
    void handlerMayReadInsideDocumentComplete();
};

void TestBrowserWaits::readyStateFollowsLoading()
{
    QVERIFY(load("/ch2.html"));
    QCOMPARE(m_browser->ReadyState(), 4);
    QVERIFY(m_browser->waitUntilLoaded());

    m_browser->Navigate(m_server.url("/held.html").toString());
    QCOMPARE(m_browser->ReadyState(), 1);
    testsupport::processEventsFor(300);
    QCOMPARE(m_browser->ReadyState(), 1);

    QTimer::singleShot(200, m_browser, &WebBrowser::interruptWaits);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_browser->waitUntilLoaded());
    QVERIFY(clock.elapsed() < 5000);

    QSignalSpy completes(m_browser, &WebBrowser::DocumentComplete);
    QTimer::singleShot(200, &m_server, &LoopbackServer::releaseHeld);
    QVERIFY(m_browser->waitUntilLoaded());
    QCOMPARE(m_browser->ReadyState(), 4);
    QVERIFY(testsupport::waitUntil([&] { return completes.size() == 1; }));
}

void TestBrowserWaits::readFailsWhenPageNavigatesAway()
{
    QVERIFY(load("/busy.html"));
    testsupport::processEventsFor(500); // the page's script now holds its render process
    QElapsedTimer clock;
    clock.start();
    m_browser->Navigate(m_server.url("/ch2.html").toString());
    QVERIFY(!m_browser->readElements(ReadParts::everything()));
    QVERIFY2(clock.elapsed() < kBusyMs - 1000, "the read waited for the old page instead of failing");
}

void TestBrowserWaits::readTimesOutAndLateAnswerIsHarmless()
{
    QVERIFY(load("/busy.html"));
    testsupport::processEventsFor(500);
    m_browser->setReadTimeout(500);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_browser->readTitle());
    QVERIFY(clock.elapsed() >= 450);
    QVERIFY(clock.elapsed() < kBusyMs - 1000);
    // The abandoned answer arrives once the page is free again.
    m_browser->setReadTimeout(30000);
    QCOMPARE(m_browser->readTitle().value_or("<no answer>"), QString("busy"));
}

void TestBrowserWaits::interruptEndsOnlyCurrentReads()
{
    QVERIFY(load("/busy.html"));
    testsupport::processEventsFor(500);
    QTimer::singleShot(200, m_browser, &WebBrowser::interruptWaits);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_browser->readTitle());
    QVERIFY(clock.elapsed() < kBusyMs - 1000);
    QCOMPARE(m_browser->readTitle().value_or("<no answer>"), QString("busy"));
    QVERIFY(m_browser->waitUntilLoaded());
}

void TestBrowserWaits::shutdownFailsReadsAtOnce()
{
    QVERIFY(load("/utf8-header.html"));
    m_browser->shutdown();
    QVERIFY(m_browser->isShutDown());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_browser->readElements(ReadParts::everything()));
    QVERIFY(!m_browser->readTitle());
    QVERIFY(!m_browser->clickElement(0));
    QVERIFY(!m_browser->execScript(m_browser->Object(), "var a = 1;"));
    QVERIFY(!m_browser->waitUntilLoaded());
    QVERIFY(clock.elapsed() < 1000);
}

void TestBrowserWaits::killedRenderProcessFailsPendingRead()
{
    QVERIFY(load("/busy.html"));
    testsupport::processEventsFor(500);
    int killed = 0;
    QTimer::singleShot(300, this, [&] { killed = testsupport::killRenderProcesses(); });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_browser->readElements(ReadParts::everything()));
    QVERIFY(killed > 0);
    QVERIFY(clock.elapsed() < kBusyMs - 1000);
    // Dead render process: fails at once instead of waiting for the time limit.
    clock.restart();
    QVERIFY(!m_browser->readTitle());
    QVERIFY(clock.elapsed() < 1000);
    // A new navigation brings the page back.
    QVERIFY(load("/ch2.html"));
    QCOMPARE(m_browser->readTitle().value_or("<no answer>"), QString("第二章"));
}

void TestBrowserWaits::killedRenderProcessEndsLoading()
{
    QVERIFY(load("/ch2.html"));
    m_browser->Navigate(m_server.url("/held.html").toString());
    QVERIFY(testsupport::waitUntil([&] { return m_server.requestCount("/held.html") == 1; }, 10000));
    testsupport::processEventsFor(300);
    QCOMPARE(m_browser->ReadyState(), 1);
    QVERIFY(testsupport::killRenderProcesses() > 0);
    // The load cannot finish any more; waiting for it must not last for ever.
    QVERIFY(testsupport::waitUntil([&] { return m_browser->ReadyState() == 4; }, 10000));
    QVERIFY(m_browser->waitUntilLoaded());
}

void TestBrowserWaits::destroyingBrowserDuringReadIsSafe()
{
    QVERIFY(load("/busy.html"));
    testsupport::processEventsFor(500);
    WebBrowser *browser = m_browser;
    QTimer::singleShot(200, this, [browser] { delete browser; });
    QVERIFY(!browser->readElements(ReadParts::everything()));
    QVERIFY(m_browser.isNull());
    testsupport::processEventsFor(kBusyMs); // the late answer, if any, finds nobody
}

void TestBrowserWaits::nestedReadsBothAnswer()
{
    QVERIFY(load("/busy.html"));
    testsupport::processEventsFor(500);
    std::optional<QString> inner;
    bool innerDone = false;
    QTimer::singleShot(200, this, [&] {
        inner = m_browser->readBodyText();
        innerDone = true;
    });
    const auto outer = m_browser->readTitle();
    QVERIFY(innerDone); // the inner read ran, and ended, within the outer wait
    QCOMPARE(outer.value_or("<no answer>"), QStringLiteral("busy"));
    QVERIFY(inner);
    QVERIFY(inner->contains(QStringLiteral("busy page")));
}

void TestBrowserWaits::handlerMayReadInsideDocumentComplete()
{
    QString seen;
    connect(m_browser, &WebBrowser::DocumentComplete, this, [&](FrameId, const QString &) {
        if (const auto doc = m_browser->readElements(ReadParts::everything()))
            seen = doc->document.title;
    });
    QVERIFY(load("/ch2.html"));
    QVERIFY(testsupport::waitUntil([&] { return seen == QStringLiteral("第二章"); }));
}

QTEST_MAIN(TestBrowserWaits)
#include "tst_browserwaits.moc"
