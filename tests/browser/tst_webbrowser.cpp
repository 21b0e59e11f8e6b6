#include "browser/webbrowser.h"
#include "tests/browser/testpages.h"
#include "tests/support/enginetestutil.h"
#include "tests/support/loopbackserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

using pagewick::browser::DocumentSnapshot;
using pagewick::browser::Element;
using pagewick::browser::FrameId;
using pagewick::browser::WebBrowser;
using pagewick::testsupport::LoopbackServer;
namespace testsupport = pagewick::testsupport;
namespace testpages = pagewick::testpages;

namespace {

// How long the busy pages keep their render process from answering.
constexpr int kBusyMs = 4000;

QByteArray busyPage(int delayBeforeMs)
{
    return QStringLiteral("<html><head><title>busy</title></head><body><p>busy page</p><script>"
                          "setTimeout(function () { var t = Date.now();"
                          " while (Date.now() - t < %1) {} }, %2);"
                          "</script></body></html>")
        .arg(kBusyMs)
        .arg(delayBeforeMs)
        .toUtf8();
}

const Element *elementWith(const DocumentSnapshot &doc, const QString &tag, const QString &htmlPart)
{
    for (const Element &e : doc.all) {
        if (e.tagName == tag && e.innerHTML.contains(htmlPart))
            return &e;
    }
    return nullptr;
}

int indexOfHref(const DocumentSnapshot &doc, const QString &href)
{
    for (int i = 0; i < doc.all.size(); ++i) {
        if (doc.all.at(i).href == href)
            return i;
    }
    return -1;
}

// Every LF is part of a CR LF pair.
bool breaksAreCrLf(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\n') && (i == 0 || text.at(i - 1) != QLatin1Char('\r')))
            return false;
    }
    return true;
}

} // namespace

class TestWebBrowser : public QObject
{
    Q_OBJECT

public:
    static void initMain() { testsupport::prepareEngine(); }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void readsChapterPage_data();
    void readsChapterPage();
    void innerHtmlKeepsMarkupWithUpperCaseTags();
    void readTitleAndBodyText();
    void documentWithoutBody();
    void eventsArriveInOrder();
    void readyStateFollowsLoading();
    void navigateTakesUserInput_data();
    void navigateTakesUserInput();
    void geometry();

    void readFailsWhenPageNavigatesAway();
    void readTimesOutAndLateAnswerIsHarmless();
    void interruptEndsOnlyCurrentReads();
    void shutdownFailsReadsAtOnce();
    void killedRenderProcessFailsPendingRead();
    void destroyingBrowserDuringReadIsSafe();
    void nestedReadsBothAnswer();
    void handlerMayReadInsideDocumentComplete();

    void silentAnswersScriptDialogs();
    void clickElementFollowsLink();
    void clickElementRefusesMissingElement_data();
    void clickElementRefusesMissingElement();
    void activeElementHref();
    void execScript_data();
    void execScript();
    void execScriptDeclaresGlobals();
    void newWindow_data();
    void newWindow();
    void windowCloseRaisesWindowClosing();
    void statusTextOnHover();
    void lostFocusToAnotherWidget();
    void documentStartScriptsRunInFrames();

private:
    bool load(const QString &path) { return testsupport::navigateAndWait(*m_browser, m_server.url(path)); }

    LoopbackServer m_server;
    std::unique_ptr<QWidget> m_window;
    QLineEdit *m_edit = nullptr;
    QPointer<WebBrowser> m_browser;
};

void TestWebBrowser::initTestCase()
{
    QVERIFY(m_server.isListening());
    const QString utf8Meta = QStringLiteral("<meta charset=\"utf-8\">");
    const QString gbkMeta = QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">");
    m_server.addPage("/utf8-header.html", testpages::chapterPage({}).toUtf8());
    m_server.addPage("/utf8-meta.html", testpages::chapterPage(utf8Meta).toUtf8(), "text/html");
    const QByteArray gbkWithMeta = testsupport::encodeGbk(testpages::chapterPage(gbkMeta));
    const QByteArray gbkWithoutMeta = testsupport::encodeGbk(testpages::chapterPage({}));
    QVERIFY(!gbkWithMeta.isEmpty());
    QVERIFY(gbkWithMeta != testpages::chapterPage(gbkMeta).toUtf8());
    m_server.addPage("/gbk-meta.html", gbkWithMeta, "text/html");
    m_server.addPage("/gbk-header.html", gbkWithoutMeta, "text/html; charset=GBK");
    m_server.addPage("/ch2.html", "<html><head><title>第二章</title></head><body><p>第二章正文</p></body></html>");
    m_server.addPage("/target.html", "<html><head><title>target</title></head><body><p>target</p></body></html>");
    m_server.addPage("/busy.html", busyPage(300));
    m_server.holdPage("/held.html", "<html><head><title>held</title></head><body><p>partial");
    m_server.addPage("/image.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><circle r=\"5\"/></svg>",
                     "image/svg+xml");
}

void TestWebBrowser::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(800, 600);
    m_browser = new WebBrowser(m_window.get());
    m_browser->Move(0, 0, 800, 560);
    m_edit = new QLineEdit(m_window.get());
    m_edit->setGeometry(0, 570, 800, 24);
    m_window->show();
}

void TestWebBrowser::cleanup()
{
    m_window.reset();
    m_server.releaseHeld();
}

void TestWebBrowser::readsChapterPage_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("utf-8 by header") << "/utf8-header.html";
    QTest::newRow("utf-8 by meta") << "/utf8-meta.html";
    QTest::newRow("gbk by meta") << "/gbk-meta.html";
    QTest::newRow("gbk by header") << "/gbk-header.html";
}

void TestWebBrowser::readsChapterPage()
{
    QFETCH(QString, path);
    QVERIFY(load(path));
    const auto doc = m_browser->readDocument();
    QVERIFY(doc);
    QCOMPARE(doc->url, m_server.url(path).toString());
    QCOMPARE(doc->title, testpages::chapterTitle());
    QVERIFY(doc->hasBody);
    QVERIFY(doc->bodyText.contains(QStringLiteral("　　山雨欲来风满楼。少年站在城头，望着远方。\r\n")));
    QVERIFY(breaksAreCrLf(doc->bodyText));

    QVERIFY(doc->all.size() > 20);
    QCOMPARE(doc->all.first().tagName, QStringLiteral("HTML"));
    for (const Element &e : doc->all) {
        QCOMPARE(e.tagName, e.tagName.toUpper());
        QVERIFY2(breaksAreCrLf(e.innerText), qPrintable(e.tagName));
    }

    const Element *next = elementWith(*doc, QStringLiteral("A"), QStringLiteral("下一页"));
    QVERIFY(next);
    QCOMPARE(next->innerText, QStringLiteral("下一页"));
    QCOMPARE(next->href, m_server.url("/ch2.html").toString());
    const Element *plainDiv = elementWith(*doc, QStringLiteral("DIV"), QStringLiteral("评论"));
    QVERIFY(plainDiv);
    QVERIFY(plainDiv->href.isEmpty());
}

void TestWebBrowser::innerHtmlKeepsMarkupWithUpperCaseTags()
{
    QVERIFY(load("/utf8-header.html"));
    const auto doc = m_browser->readDocument();
    QVERIFY(doc);

    const Element *pager = elementWith(*doc, QStringLiteral("DIV"), QStringLiteral("上一页"));
    QVERIFY(pager);
    QCOMPARE(pager->innerHTML,
             QStringLiteral("<A href=\"/ch0.html\">上一页</A> <A id=\"next\" href=\"/ch2.html\">下一页</A>"));

    const Element *content = elementWith(*doc, QStringLiteral("DIV"), QStringLiteral("山雨欲来风满楼"));
    QVERIFY(content);
    QCOMPARE(content->innerHTML,
             QStringLiteral("<P>　　山雨欲来风满楼。少年站在城头，望着远方。</P>"
                            "<P>　　“你来了？”老人问道。<BR>“我来了。”</P>"
                            "<P>A &amp; B &lt;tag&gt; x&nbsp;y</P>"));

    const Element *ad = elementWith(*doc, QStringLiteral("DIV"), QStringLiteral("广告"));
    QVERIFY(ad);
    QCOMPARE(ad->innerHTML, QStringLiteral("<A href=\"http://ads.invalid/\" target=\"_blank\">"
                                           "<IMG src=\"/ad.gif\" alt=\"广告\"></A>"));

    const Element *comments = elementWith(*doc, QStringLiteral("DIV"), QStringLiteral("评论："));
    QVERIFY(comments);
    QCOMPARE(comments->innerHTML, QStringLiteral("<P>评论：写得好！</P><!-- 评论结束 -->"));

    const Element *script = elementWith(*doc, QStringLiteral("SCRIPT"), QStringLiteral("banner"));
    QVERIFY(script);
    QCOMPARE(script->innerHTML, QStringLiteral("var banner = \"<div class='ad'>\" + 1 + \"</div>\";"
                                               " if (1 < 2 && 3 > 2) { window.pageFlag = 'x'; }"));
    const Element *style = elementWith(*doc, QStringLiteral("STYLE"), QStringLiteral("font-size"));
    QVERIFY(style);
    QCOMPARE(style->innerHTML, QStringLiteral("body { font-size: 16px; } #nav > a { color: #333; }"));

    const Element &html = doc->all.first();
    QVERIFY(html.innerHTML.startsWith(QStringLiteral("<HEAD><TITLE>")));
    QVERIFY(html.innerHTML.contains(QStringLiteral("</HEAD>")));
    QVERIFY(html.innerHTML.contains(QStringLiteral("<BODY>")));
    QVERIFY(html.innerHTML.endsWith(QStringLiteral("</BODY>")));
}

void TestWebBrowser::readTitleAndBodyText()
{
    QVERIFY(load("/gbk-meta.html"));
    QCOMPARE(m_browser->readTitle().value_or("<no answer>"), QString(testpages::chapterTitle()));
    const auto body = m_browser->readBodyText();
    QVERIFY(body);
    const auto doc = m_browser->readDocument();
    QVERIFY(doc);
    QCOMPARE(*body, doc->bodyText);
    QVERIFY(body->contains(QStringLiteral("下一页")));
}

void TestWebBrowser::documentWithoutBody()
{
    QVERIFY(load("/image.svg"));
    const auto doc = m_browser->readDocument();
    QVERIFY(doc);
    QVERIFY(!doc->hasBody);
    QVERIFY(doc->bodyText.isEmpty());
    QCOMPARE(doc->all.size(), 2);
    QCOMPARE(doc->all.at(0).tagName, QStringLiteral("svg"));
    QCOMPARE(doc->all.at(0).innerHTML, QStringLiteral("<CIRCLE r=\"5\"></CIRCLE>"));
    QVERIFY(!m_browser->readBodyText());
}

void TestWebBrowser::eventsArriveInOrder()
{
    QStringList events;
    connect(m_browser, &WebBrowser::DownloadBegin, this, [&] { events << "DownloadBegin"; });
    connect(m_browser, &WebBrowser::DownloadComplete, this, [&] { events << "DownloadComplete"; });
    connect(m_browser, &WebBrowser::NavigateComplete2, this, [&](FrameId frame, const QString &url) {
        events << QStringLiteral("NavigateComplete2 %1 %2").arg(frame).arg(url);
    });
    connect(m_browser, &WebBrowser::DocumentComplete, this, [&](FrameId frame, const QString &url) {
        events << QStringLiteral("DocumentComplete %1 %2").arg(frame).arg(url);
    });
    const QString url = m_server.url("/ch2.html").toString();
    QVERIFY(load("/ch2.html"));
    const QString top = QString::number(m_browser->Object());
    QCOMPARE(events, QStringList({"DownloadBegin", "NavigateComplete2 " + top + " " + url,
                                  "DownloadComplete", "DocumentComplete " + top + " " + url}));
    QCOMPARE(m_browser->LocationURL(), url);
}

void TestWebBrowser::readyStateFollowsLoading()
{
    QVERIFY(load("/ch2.html"));
    QCOMPARE(m_browser->ReadyState(), 4);
    QVERIFY(m_browser->waitUntilLoaded());

    m_browser->Navigate(m_server.url("/held.html").toString());
    QCOMPARE(m_browser->ReadyState(), 1);
    QTest::qWait(300);
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
    QTRY_COMPARE(completes.size(), 1);
}

void TestWebBrowser::navigateTakesUserInput_data()
{
    QTest::addColumn<bool>("localPath");
    QTest::newRow("absolute local path") << true;
    QTest::newRow("address without scheme") << false;
}

void TestWebBrowser::navigateTakesUserInput()
{
    QFETCH(bool, localPath);
    QTemporaryDir dir;
    QString input;
    QString expected;
    if (localPath) {
        const QString file = dir.filePath("page.html");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html><head><title>local</title></head><body>local</body></html>");
        f.close();
        input = file;
        expected = QUrl::fromLocalFile(file).toString();
    } else {
        input = QStringLiteral("127.0.0.1:%1/ch2.html").arg(m_server.port());
        expected = m_server.url("/ch2.html").toString();
    }
    QVERIFY(testsupport::navigateAndWait(*m_browser, input));
    QCOMPARE(m_browser->LocationURL(), expected);
}

void TestWebBrowser::geometry()
{
    m_browser->Move(10, 20, 300, 200);
    QCOMPARE(m_browser->widget()->geometry(), QRect(10, 20, 300, 200));
    QCOMPARE(m_browser->Height(), 200);
    QCOMPARE(m_browser->widget()->parentWidget(), m_window.get());
}

void TestWebBrowser::readFailsWhenPageNavigatesAway()
{
    QVERIFY(load("/busy.html"));
    QTest::qWait(500); // the page's script now holds its render process
    QElapsedTimer clock;
    clock.start();
    m_browser->Navigate(m_server.url("/ch2.html").toString());
    QVERIFY(!m_browser->readDocument());
    QVERIFY2(clock.elapsed() < kBusyMs - 1000, "the read waited for the old page instead of failing");
}

void TestWebBrowser::readTimesOutAndLateAnswerIsHarmless()
{
    QVERIFY(load("/busy.html"));
    QTest::qWait(500);
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

void TestWebBrowser::interruptEndsOnlyCurrentReads()
{
    QVERIFY(load("/busy.html"));
    QTest::qWait(500);
    QTimer::singleShot(200, m_browser, &WebBrowser::interruptWaits);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_browser->readTitle());
    QVERIFY(clock.elapsed() < kBusyMs - 1000);
    QCOMPARE(m_browser->readTitle().value_or("<no answer>"), QString("busy"));
    QVERIFY(m_browser->waitUntilLoaded());
}

void TestWebBrowser::shutdownFailsReadsAtOnce()
{
    QVERIFY(load("/utf8-header.html"));
    m_browser->shutdown();
    QVERIFY(m_browser->isShutDown());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_browser->readDocument());
    QVERIFY(!m_browser->readTitle());
    QVERIFY(!m_browser->clickElement(0));
    QVERIFY(!m_browser->execScript(m_browser->Object(), "var a = 1;"));
    QVERIFY(!m_browser->waitUntilLoaded());
    QVERIFY(clock.elapsed() < 1000);
}

void TestWebBrowser::killedRenderProcessFailsPendingRead()
{
    QVERIFY(load("/busy.html"));
    QTest::qWait(500);
    int killed = 0;
    QTimer::singleShot(300, this, [&] { killed = testsupport::killRenderProcesses(); });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_browser->readDocument());
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

void TestWebBrowser::destroyingBrowserDuringReadIsSafe()
{
    QVERIFY(load("/busy.html"));
    QTest::qWait(500);
    WebBrowser *browser = m_browser;
    QTimer::singleShot(200, this, [browser] { delete browser; });
    QVERIFY(!browser->readDocument());
    QVERIFY(m_browser.isNull());
    QTest::qWait(kBusyMs); // the late answer, if any, finds nobody
}

void TestWebBrowser::nestedReadsBothAnswer()
{
    QVERIFY(load("/busy.html"));
    QTest::qWait(500);
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

void TestWebBrowser::handlerMayReadInsideDocumentComplete()
{
    QString seen;
    connect(m_browser, &WebBrowser::DocumentComplete, this, [&](FrameId, const QString &) {
        if (const auto doc = m_browser->readDocument())
            seen = doc->title;
    });
    QVERIFY(load("/ch2.html"));
    QTRY_COMPARE(seen, QStringLiteral("第二章"));
}

void TestWebBrowser::silentAnswersScriptDialogs()
{
    m_server.addPage("/dialogs.html",
                     "<html><head><title>start</title></head><body><p>dialogs</p><script>"
                     "alert('one'); alert('two'); alert('three');"
                     "var c = confirm('sure?'); var p = prompt('name?', 'x');"
                     "document.title = 'done:' + c + ':' + p;"
                     "</script></body></html>");
    m_browser->setSilent(true);
    QVERIFY(m_browser->Silent());
    QVERIFY(load("/dialogs.html"));
    QCOMPARE(m_browser->readTitle().value_or("<no answer>"), QString("done:false:null"));
}

void TestWebBrowser::clickElementFollowsLink()
{
    QVERIFY(load("/utf8-header.html"));
    const auto doc = m_browser->readDocument();
    QVERIFY(doc);
    const int next = indexOfHref(*doc, m_server.url("/ch2.html").toString());
    QVERIFY(next > 0);
    QSignalSpy completes(m_browser, &WebBrowser::DocumentComplete);
    QVERIFY(m_browser->clickElement(next));
    QTRY_VERIFY_WITH_TIMEOUT(!completes.isEmpty(), testsupport::kEngineTimeoutMs);
    QCOMPARE(completes.last().at(1).toString(), m_server.url("/ch2.html").toString());
    QCOMPARE(m_browser->LocationURL(), m_server.url("/ch2.html").toString());
}

void TestWebBrowser::clickElementRefusesMissingElement_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("negative") << -1;
    QTest::newRow("past the end") << 100000;
}

void TestWebBrowser::clickElementRefusesMissingElement()
{
    QFETCH(int, index);
    QVERIFY(load("/ch2.html"));
    QVERIFY(!m_browser->clickElement(index));
}

void TestWebBrowser::activeElementHref()
{
    m_server.addPage("/focused.html", "<html><body><a id=\"f\" href=\"/x.html?a=1\">x</a>"
                                      "<script>document.getElementById('f').focus();</script></body></html>");
    QVERIFY(load("/focused.html"));
    QCOMPARE(m_browser->readActiveElementHref().value_or("<no answer>"), QString(m_server.url("/x.html?a=1").toString()));
    QVERIFY(load("/ch2.html"));
    QVERIFY(!m_browser->readActiveElementHref());
}

void TestWebBrowser::execScript_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("ok");
    QTest::newRow("statement") << "var answer = 42;" << true;
    QTest::newRow("suppression script") << "window.alert=null;" << true;
    QTest::newRow("function declaration") << "function showModalDialog(){return;}" << true;
    QTest::newRow("ends in a comment") << "var a = 1; // done" << true;
    QTest::newRow("throws") << "throw new Error('refused');" << false;
    QTest::newRow("syntax error") << "this is not a script" << false;
    QTest::newRow("calls a nulled function") << "window.confirm=null; confirm('x');" << false;
}

void TestWebBrowser::execScript()
{
    QFETCH(QString, code);
    QFETCH(bool, ok);
    QVERIFY(load("/ch2.html"));
    QCOMPARE(m_browser->execScript(m_browser->Object(), code), ok);
}

void TestWebBrowser::execScriptDeclaresGlobals()
{
    QVERIFY(load("/ch2.html"));
    const FrameId top = m_browser->Object();
    QVERIFY(m_browser->execScript(top, "function showModalDialog(){return;}"));
    QVERIFY(m_browser->execScript(top, "window.alert=null;"));
    // Both are visible to the page's own scripts afterwards.
    QVERIFY(m_browser->execScript(top, "if (typeof window.showModalDialog !== 'function') throw 0;"));
    QVERIFY(m_browser->execScript(top, "if (window.alert !== null) throw 0;"));
    QVERIFY(!m_browser->execScript(top + 1, "var a = 1;"));
}

void TestWebBrowser::newWindow_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("cancelled") << true;
    QTest::newRow("allowed") << false;
}

void TestWebBrowser::newWindow()
{
    QFETCH(bool, cancel);
    m_server.addPage("/opener.html", "<html><body><a id=\"t\" target=\"_blank\" href=\"/target.html\">new</a></body></html>");
    QVERIFY(load("/opener.html"));
    const auto doc = m_browser->readDocument();
    QVERIFY(doc);
    const int link = indexOfHref(*doc, m_server.url("/target.html").toString());
    QVERIFY(link >= 0);

    int raised = 0;
    connect(m_browser, &WebBrowser::NewWindow2, this, [&](bool *c) {
        ++raised;
        *c = cancel;
    });
    const int requestsBefore = m_server.requestCount("/target.html");
    QSignalSpy completes(m_browser, &WebBrowser::DocumentComplete);
    QVERIFY(m_browser->clickElement(link));
    QTRY_COMPARE(raised, 1);
    if (cancel) {
        QTest::qWait(1000);
        QCOMPARE(m_server.requestCount("/target.html"), requestsBefore);
        QCOMPARE(m_browser->LocationURL(), m_server.url("/opener.html").toString());
        QVERIFY(completes.isEmpty());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!completes.isEmpty(), testsupport::kEngineTimeoutMs);
        QCOMPARE(m_browser->LocationURL(), m_server.url("/target.html").toString());
    }
}

void TestWebBrowser::windowCloseRaisesWindowClosing()
{
    QVERIFY(load("/ch2.html"));
    QList<bool> childFlags;
    connect(m_browser, &WebBrowser::WindowClosing, this, [&](bool isChild, bool *cancel) {
        childFlags << isChild;
        *cancel = true;
    });
    QVERIFY(m_browser->execScript(m_browser->Object(), "window.close();"));
    QTRY_COMPARE(childFlags, QList<bool>({false}));
}

void TestWebBrowser::statusTextOnHover()
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
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QTest::mouseMove(surface, QPoint(100 + status.size() % 7, 100));
            for (const auto &args : std::as_const(status)) {
                if (args.at(0).toString() == m_server.url("/hovered.html").toString())
                    return true;
            }
            return false;
        }(),
        10000);
}

void TestWebBrowser::lostFocusToAnotherWidget()
{
    QVERIFY(load("/ch2.html"));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QWidget *inside = m_browser->widget()->focusProxy() ? m_browser->widget()->focusProxy()
                                                         : m_browser->widget();
    inside->setFocus();
    QTRY_VERIFY(inside->hasFocus());
    QSignalSpy lost(m_browser, &WebBrowser::LostFocus);
    m_edit->setFocus();
    QTRY_COMPARE(lost.size(), 1);
    // Focus moving between widgets outside the view is not the view's loss.
    m_window->setFocus();
    QTest::qWait(100);
    QCOMPARE(lost.size(), 1);
}

void TestWebBrowser::documentStartScriptsRunInFrames()
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
    QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount("/inner.html") == 1, 10000);
    std::optional<DocumentSnapshot> doc;
    QTRY_VERIFY_WITH_TIMEOUT((doc = m_browser->readDocument()) && doc->bodyText.contains("object:1"), 10000);
    QVERIFY(doc->bodyText.startsWith(QStringLiteral("true:1")));

    // Replacing the list removes the former scripts.
    m_browser->setDocumentStartScripts({"window.marker = 5;"});
    QVERIFY(load("/framed.html"));
    QTRY_VERIFY_WITH_TIMEOUT((doc = m_browser->readDocument()) && doc->bodyText.contains("function:5"), 10000);
    QVERIFY(doc->bodyText.startsWith(QStringLiteral("false:5")));
}

QTEST_MAIN(TestWebBrowser)
#include "tst_webbrowser.moc"
