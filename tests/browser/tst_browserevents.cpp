#include "browser/documentscripts.h"
#include "browser/webbrowser.h"
#include "tests/browser/browsertestbase.h"
#include "tests/support/enginetestutil.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWidget>

using pagewick::workflow::LoadedPage;
using pagewick::workflow::ReadParts;
using pagewick::browser::FrameId;
using pagewick::browser::WebBrowser;
using pagewick::testsupport::LoopbackServer;
using pagewick::workflow::LoadOrigin;
using pagewick::workflow::LoadOutcome;
using pagewick::workflow::PageLoad;
using namespace pagewick::browsertests;
namespace testsupport = pagewick::testsupport;

// The browser's events and what the page may ask of the program: new
// windows, closing, status text, focus, document-start scripts.
class TestBrowserEvents : public BrowserTestBase
{
    Q_OBJECT

public:
    static void initMain() { testsupport::prepareEngine(); }

private slots:
    void init() { openBrowser(); }
    void cleanup() { closeBrowser(); }

    void eventsArriveInOrder_data();
    void eventsArriveInOrder();
    void scriptRunAtNavigateComplete2ReachesTheNewDocument();
    void newWindow_data();
    void newWindow();
    void newWindowFromClickedLinkHasItAsActiveElement();
    void newWindowFromScriptIsRaisedToo();
    void windowCloseRaisesWindowClosing();
    void statusTextOnHover();
    void lostFocusToAnotherWidget();
    void documentStartScriptsRunInFrames();
    void everyLoadEndsWithItsRecord_data();
    void everyLoadEndsWithItsRecord();
    void stalledLoadIsReportedAndFinishedAsComplete();
    void parsePollLostInACommitIsSentAgain();
    void readSurvivesMovesWithinTheDocument_data();
    void readSurvivesMovesWithinTheDocument();
};

void TestBrowserEvents::eventsArriveInOrder_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("loads");
    QTest::newRow("new address") << "" << "/ch2.html" << true;
    QTest::newRow("same address again") << "/ch2.html" << "/ch2.html" << true;
    QTest::newRow("unreachable address") << "/ch2.html" << "unreachable" << true;
    QTest::newRow("fragment") << "/ch2.html" << "/ch2.html#part" << false;
    QTest::newRow("blank page") << "/ch2.html" << "about:blank" << true;
}

void TestBrowserEvents::eventsArriveInOrder()
{
    QFETCH(QString, before);
    QFETCH(QString, address);
    QFETCH(bool, loads);
    if (!before.isEmpty())
        QVERIFY(load(before));

    QString url = address.startsWith(QLatin1Char('/')) ? m_server.url(address).toString() : address;
    if (address == QLatin1String("unreachable")) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        url = QStringLiteral("http://127.0.0.1:%1/ch.html").arg(closed.serverPort());
    }
    QStringList events;
    connect(m_browser, &WebBrowser::DownloadBegin, this, [&] { events << "DownloadBegin"; });
    connect(m_browser, &WebBrowser::DownloadComplete, this, [&] { events << "DownloadComplete"; });
    connect(m_browser, &WebBrowser::NavigateComplete2, this, [&](FrameId frame, const QString &u) {
        events << QStringLiteral("NavigateComplete2 %1 %2").arg(frame).arg(u);
    });
    connect(m_browser, &WebBrowser::DocumentComplete, this, [&](FrameId frame, const QString &u) {
        events << QStringLiteral("DocumentComplete %1 %2").arg(frame).arg(u);
    });
    const QString top = QString::number(m_browser->Object());
    m_browser->Navigate(url);
    QCOMPARE(m_browser->ReadyState(), 1);
    if (loads) {
        QVERIFY(testsupport::waitUntil([&] { return events.size() == 4; }));
        QCOMPARE(events, QStringList({"DownloadBegin", "NavigateComplete2 " + top + " " + url,
                                      "DownloadComplete", "DocumentComplete " + top + " " + url}));
    } else {
        QVERIFY(testsupport::waitUntil([&] { return !events.isEmpty(); }));
        QCOMPARE(events, QStringList({"NavigateComplete2 " + top + " " + url}));
    }
    // Loaded at once, not after the grace given to a navigation that never starts.
    QVERIFY(testsupport::waitUntil([&] { return m_browser->ReadyState() == 4; }, 1500));
    QVERIFY(m_browser->waitUntilLoaded());
    QCOMPARE(m_browser->LocationURL(), url);
}

void TestBrowserEvents::scriptRunAtNavigateComplete2ReachesTheNewDocument()
{
    // As the pop-up suppression does: a script run from the handler.
    QList<bool> ran;
    connect(m_browser, &WebBrowser::NavigateComplete2, this, [&](FrameId frame, const QString &) {
        ran << m_browser->execScript(frame, "window.suppressed = (window.suppressed || 0) + 1;");
    });
    QVERIFY(load("/ch2.html"));
    QVERIFY(load("/target.html"));
    QCOMPARE(ran, QList<bool>({true, true}));
    QVERIFY(m_browser->execScript(m_browser->Object(), "if (window.suppressed !== 1) throw 0;"));
}

void TestBrowserEvents::newWindow_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancelled") << true;
    QTest::newRow("allowed") << false;
}

void TestBrowserEvents::newWindow()
{
    QFETCH(bool, cancel);
    m_server.addPage("/opener.html", "<html><body><a id=\"t\" target=\"_blank\" href=\"/target.html\">new</a></body></html>");
    QVERIFY(load("/opener.html"));
    const auto doc = m_browser->readElements(ReadParts::everything());
    QVERIFY(doc);
    const int link = doc->hrefs.indexOf(m_server.url("/target.html").toString());
    QVERIFY(link >= 0);

    int raised = 0;
    connect(m_browser, &WebBrowser::NewWindow2, this, [&](bool *c) {
        ++raised;
        *c = cancel;
    });
    const int requestsBefore = m_server.requestCount("/target.html");
    QSignalSpy completes(m_browser, &WebBrowser::DocumentComplete);
    QVERIFY(m_browser->clickElement(link));
    QVERIFY(testsupport::waitUntil([&] { return raised == 1; }));
    if (cancel) {
        testsupport::processEventsFor(1000);
        QCOMPARE(m_server.requestCount("/target.html"), requestsBefore);
        QCOMPARE(m_browser->LocationURL(), m_server.url("/opener.html").toString());
        QVERIFY(completes.isEmpty());
    } else {
        QVERIFY(testsupport::waitUntil([&] { return !completes.isEmpty(); }, testsupport::kEngineTimeoutMs));
        QCOMPARE(m_browser->LocationURL(), m_server.url("/target.html").toString());
    }
}

void TestBrowserEvents::newWindowFromClickedLinkHasItAsActiveElement()
{
    m_server.addPage("/opener2.html", "<html><body><a href=\"/ch2.html\">first</a> "
                                      "<a target=\"_blank\" href=\"/target.html\">下一页</a></body></html>");
    QVERIFY(load("/opener2.html"));
    const auto doc = m_browser->readElements(ReadParts::everything());
    QVERIFY(doc);
    const int link = doc->hrefs.indexOf(m_server.url("/target.html").toString());
    QVERIFY(link >= 0);
    std::optional<QString> href;
    bool read = false;
    // As a handler must: decide at once, read later.
    connect(m_browser, &WebBrowser::NewWindow2, this, [&](bool *cancel) {
        *cancel = true;
        QMetaObject::invokeMethod(this, [&] {
            href = m_browser->readActiveElementHref();
            read = true;
        }, Qt::QueuedConnection);
    });
    // The click's own answer is not waited on: with the window refused and
    // nothing navigating, it may come late on a loaded machine (the program
    // always navigates after a refusal, which ends the wait).
    static_cast<QWebEngineView *>(m_browser->widget())
        ->page()
        ->runJavaScript(pagewick::browser::scripts::clickElement(link), QWebEngineScript::ApplicationWorld);
    QVERIFY(testsupport::waitUntil([&] { return read; }, 10000));
    QCOMPARE(href.value_or("<none>"), m_server.url("/target.html").toString());
}

void TestBrowserEvents::newWindowFromScriptIsRaisedToo()
{
    m_server.addPage("/popup.html", "<html><body><script>"
                                    "setTimeout(function () { window.open('/popup-target.html'); }, 100);"
                                    "</script></body></html>");
    int raised = 0;
    connect(m_browser, &WebBrowser::NewWindow2, this, [&](bool *cancel) {
        ++raised;
        *cancel = true;
    });
    QVERIFY(load("/popup.html"));
    QVERIFY(testsupport::waitUntil([&] { return raised == 1; }, 10000));
    testsupport::processEventsFor(300);
    QCOMPARE(m_server.requestCount("/popup-target.html"), 0);
    QCOMPARE(m_browser->LocationURL(), m_server.url("/popup.html").toString());
}

void TestBrowserEvents::windowCloseRaisesWindowClosing()
{
    QVERIFY(load("/ch2.html"));
    QList<bool> childFlags;
    connect(m_browser, &WebBrowser::WindowClosing, this, [&](bool isChild, bool *cancel) {
        childFlags << isChild;
        *cancel = true;
    });
    QVERIFY(m_browser->execScript(m_browser->Object(), "window.close();"));
    QVERIFY(testsupport::waitUntil([&] { return childFlags == QList<bool>({false}); }));
}

void TestBrowserEvents::statusTextOnHover()
{
    m_server.addPage("/hover.html",
                     "<html><body style=\"margin:0\"><a href=\"/hovered.html\" style=\"position:fixed;"
                     "left:0;top:0;width:100%;height:100%;display:block\">link</a></body></html>");
    QVERIFY(load("/hover.html"));
    QWidget *surface = m_browser->widget()->focusProxy();
    if (!surface)
        QSKIP("the view has no render surface to send mouse moves to");
    QSignalSpy status(m_browser, &WebBrowser::StatusTextChange);
    // Moves until the page has laid out and taken the hover.
    const QString target = m_server.url("/hovered.html").toString();
    int moves = 0;
    QVERIFY(testsupport::waitUntil(
        [&] {
            QTest::mouseMove(surface, QPoint(100 + ++moves % 7, 100));
            for (const auto &args : std::as_const(status)) {
                if (args.at(0).toString() == target)
                    return true;
            }
            return false;
        },
        10000));
}

void TestBrowserEvents::lostFocusToAnotherWidget()
{
    QVERIFY(load("/ch2.html"));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QWidget *inside = m_browser->widget()->focusProxy() ? m_browser->widget()->focusProxy()
                                                         : m_browser->widget();
    inside->setFocus();
    QVERIFY(testsupport::waitUntil([&] { return inside->hasFocus(); }));
    QSignalSpy lost(m_browser, &WebBrowser::LostFocus);
    m_edit->setFocus();
    QVERIFY(testsupport::waitUntil([&] { return lost.size() == 1; }));
    // Focus moving between widgets outside the view is not the view's loss.
    m_window->setFocus();
    testsupport::processEventsFor(100);
    QCOMPARE(lost.size(), 1);
}

void TestBrowserEvents::documentStartScriptsRunInFrames()
{
    m_server.addPage("/framed.html",
                     "<html><body><div id=\"top\"></div><div id=\"frame\"></div><script>"
                     "document.getElementById('top').textContent = (window.alert === null) + ':' + window.marker;"
                     "</script><iframe src=\"/inner.html\"></iframe></body></html>");
    m_server.addPage("/inner.html",
                     "<html><body><script>"
                     "parent.document.getElementById('frame').textContent = typeof window.alert + ':' + window.marker;"
                     "</script></body></html>");
    m_browser->setDocumentStartScripts({"window.alert=null;", "throw new Error('refused');",
                                        "window.marker = (window.marker || 0) + 1;"});
    QVERIFY(load("/framed.html"));
    QVERIFY(testsupport::waitUntil([&] { return m_server.requestCount("/inner.html") == 1; }, 10000));
    std::optional<LoadedPage> doc;
    const auto bodyText = [&] {
        doc = m_browser->readElements(ReadParts::everything());
        return doc ? doc->document.bodyText.value_or(QString()) : QString();
    };
    QVERIFY(testsupport::waitUntil([&] { return bodyText().contains("object:1"); }, 10000));
    QVERIFY(doc->document.bodyText->startsWith(QStringLiteral("true:1")));

    // Replacing the list removes the former scripts.
    m_browser->setDocumentStartScripts({"window.marker = 5;"});
    QVERIFY(load("/framed.html"));
    QVERIFY(testsupport::waitUntil([&] { return bodyText().contains("function:5"); }, 10000));
    QVERIFY(doc->document.bodyText->startsWith(QStringLiteral("false:5")));
}

// What Qt WebEngine 6.4 reports for these loads (QWebEngineLoadingInfo):
// an error status with the server's own page fails in HttpStatusCodeDomain
// with the status as its code; a closed port, a dropped connection and a body
// cut short fail with the negative net::Error code; a 204 and a download
// commit nothing.
void TestBrowserEvents::everyLoadEndsWithItsRecord_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<LoadOutcome>("outcome");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("finalPath"); // empty: the address asked for
    QTest::addColumn<QString>("shownText"); // part of the page's text afterwards
    using O = LoadOutcome;
    QTest::newRow("200") << "/ch2.html" << O::Loaded << 0 << "" << "";
    QTest::newRow("404 with a page") << "/404.html" << O::HttpError << 404 << "" << "服务器的页面";
    QTest::newRow("429 with a page") << "/429.html" << O::HttpError << 429 << "" << "服务器的页面";
    QTest::newRow("503 with a page") << "/503.html" << O::HttpError << 503 << "" << "服务器的页面";
    QTest::newRow("403 with a page") << "/403.html" << O::HttpError << 403 << "" << "服务器的页面";
    QTest::newRow("404 without a body") << "/empty404.html" << O::HttpError << 404 << "" << "";
    QTest::newRow("dropped connection") << "/drop.html" << O::NetworkError << -324 << "" << "";
    QTest::newRow("closed port") << "closed" << O::NetworkError << -102 << "" << "";
    QTest::newRow("204 No Content") << "/nocontent.html" << O::NoPage << 0 << "" << "";
    QTest::newRow("a download") << "/book.zip" << O::NoPage << 0 << "" << "";
    QTest::newRow("redirect to a busy page") << "/moved.html" << O::HttpError << 503 << "/503.html" << "服务器的页面";
}

void TestBrowserEvents::everyLoadEndsWithItsRecord()
{
    QFETCH(QString, address);
    QFETCH(LoadOutcome, outcome);
    QFETCH(int, code);
    QFETCH(QString, finalPath);
    QFETCH(QString, shownText);
    const QByteArray page = "<html><head><title>x</title></head><body><p>服务器的页面</p></body></html>";
    for (int status : {404, 429, 503, 403})
        m_server.queueFailures(QStringLiteral("/%1.html").arg(status), {status}, page);
    m_server.addPage("/empty404.html", "", "text/html", 404);
    m_server.queueFailures("/drop.html", {LoopbackServer::kDropConnection});
    m_server.addPage("/nocontent.html", "", "text/html", 204);
    m_server.addPage("/book.zip", QByteArray(2048, 'z'), "application/zip");
    m_server.addHeader("/book.zip", "Content-Disposition: attachment; filename=\"book.zip\"");
    m_server.addPage("/moved.html", "", "text/html", 302);
    m_server.addHeader("/moved.html", "Location: " + m_server.url("/503.html").toEncoded());
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString url = address == QLatin1String("closed")
        ? QStringLiteral("http://127.0.0.1:%1/ch.html").arg(closed.serverPort())
        : m_server.url(address).toString();
    closed.close();
    QList<PageLoad> ended;
    QStringList completes;
    connect(m_browser, &WebBrowser::LoadEnded, this, [&](const PageLoad &load) { ended << load; });
    connect(m_browser, &WebBrowser::DocumentComplete, this, [&](FrameId, const QString &u) { completes << u; });

    m_browser->Navigate(url);
    QVERIFY(testsupport::waitUntil([&] { return !ended.isEmpty(); }));
    testsupport::processEventsFor(200);

    QCOMPARE(ended.size(), 1);
    const PageLoad &load = ended.first();
    QCOMPARE(load.outcome, outcome);
    QCOMPARE(load.code, code);
    QCOMPARE(load.origin, LoadOrigin::User);
    QCOMPARE(load.askedUrl, url);
    QCOMPARE(load.finalUrl, finalPath.isEmpty() ? url : m_server.url(finalPath).toString());
    QCOMPARE(load.id, m_browser->newestLoad().id);
    QCOMPARE(m_browser->ReadyState(), 4);
    // A load that ends without a page leaves the page shown as it was.
    QCOMPARE(completes, outcome == LoadOutcome::NoPage ? QStringList{} : QStringList{load.finalUrl});
    if (!shownText.isEmpty())
        QCOMPARE(m_browser->readBodyText().value_or(QString()), shownText);
}

void TestBrowserEvents::stalledLoadIsReportedAndFinishedAsComplete()
{
    m_server.holdPage("/never.png", {}, "image/png");
    m_server.addPage("/stalls.html", "<html><head><title>挂起</title></head><body><p>正文</p>"
                                     "<img src=\"/never.png\"></body></html>");
    m_browser->setStallLimit(300);
    QStringList events;
    connect(m_browser, &WebBrowser::LoadStalled, this, [&](FrameId, const QString &u) { events << "LoadStalled " + u; });
    connect(m_browser, &WebBrowser::LoadEnded, this, [&](const PageLoad &load) {
        if (load.outcome != LoadOutcome::Loaded)
            events << QStringLiteral("LoadEnded %1").arg(int(load.outcome));
    });
    connect(m_browser, &WebBrowser::DocumentComplete, this, [&](FrameId, const QString &u) { events << "DocumentComplete " + u; });

    // A page that finishes is never reported.
    QVERIFY(load("/ch2.html"));
    testsupport::processEventsFor(1200);
    QCOMPARE(events, QStringList{"DocumentComplete " + m_server.url("/ch2.html").toString()});
    events.clear();

    const QString url = m_server.url("/stalls.html").toString();
    m_browser->Navigate(url);
    QVERIFY(testsupport::waitUntil([&] { return !events.isEmpty(); }, 10000));
    QCOMPARE(events, QStringList{"LoadStalled " + url});
    QCOMPARE(m_browser->ReadyState(), 1);
    testsupport::processEventsFor(800);
    QCOMPARE(events.size(), 1); // once per load

    m_browser->finishLoadNow();
    QVERIFY(testsupport::waitUntil([&] { return events.size() == 3; }, 5000));
    QCOMPARE(events.mid(1), (QStringList{QStringLiteral("LoadEnded %1").arg(int(LoadOutcome::StoppedAsLoaded)),
                                         "DocumentComplete " + url}));
    QCOMPARE(m_browser->ReadyState(), 4);
    QCOMPARE(m_browser->readTitle().value_or(QString()), QStringLiteral("挂起"));
}

void TestBrowserEvents::parsePollLostInACommitIsSentAgain()
{
    // The load's first parse poll goes to the former page, whose script
    // holds its render process; the new page, of another site and so in
    // another process, commits meanwhile and the poll's answer is lost with
    // the former document. Only a poll sent again sees the new page parsed.
    m_server.addPage("/hogs.html", "<html><body><p>前页</p><script>setTimeout(function () {"
                                   " var t = Date.now(); while (Date.now() - t < 12000) {} }, 200);"
                                   "</script></body></html>");
    m_server.holdPage("/never-ends.png", {}, "image/png");
    m_server.addDelayedPage("/late.html", "<html><body><p>正文</p><img src=\"/never-ends.png\"></body></html>", 1500);
    m_browser->setStallLimit(300);
    int stalls = 0;
    connect(m_browser, &WebBrowser::LoadStalled, this, [&] { ++stalls; });
    QUrl former = m_server.url("/hogs.html");
    former.setHost(QStringLiteral("localhost"));
    QVERIFY(testsupport::navigateAndWait(*m_browser, former));
    testsupport::processEventsFor(400);

    m_browser->Navigate(m_server.url("/late.html").toString());
    QVERIFY(testsupport::waitUntil([&] { return stalls == 1; }, 8000));
}

void TestBrowserEvents::readSurvivesMovesWithinTheDocument_data()
{
    QTest::addColumn<QString>("move");
    QTest::newRow("fragment") << "location.hash = 'p' + n;";
    QTest::newRow("pushState") << "history.pushState({}, '', '?p=' + n);";
    QTest::newRow("replaceState") << "history.replaceState({}, '', '?p=' + n);";
}

void TestBrowserEvents::readSurvivesMovesWithinTheDocument()
{
    QFETCH(QString, move);
    QByteArray rows;
    for (int k = 0; k < 3000; ++k)
        rows += "<div><a href=\"/u" + QByteArray::number(k) + "\">读者</a><span>好看</span></div>";
    m_server.addPage("/moves.html", "<html><body>" + rows + "<script>var n = 0; setInterval(function () { ++n; "
                                        + move.toUtf8() + " }, 2);</script></body></html>");
    QVERIFY(load("/moves.html"));
    int moves = 0;
    connect(m_browser, &WebBrowser::NavigateComplete2, this, [&] { ++moves; });

    const std::optional<LoadedPage> doc = m_browser->readElements(ReadParts::everything());

    QVERIFY(moves > 0);
    QVERIFY(doc);
    QCOMPARE(doc->document.all.size() > 9000, true);
}

QTEST_MAIN(TestBrowserEvents)
#include "tst_browserevents.moc"
