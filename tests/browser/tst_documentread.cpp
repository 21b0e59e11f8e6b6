#include "browser/webbrowser.h"
#include "tests/browser/browsertestbase.h"
#include "tests/browser/testpages.h"
#include "tests/support/enginetestutil.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using pagewick::extract::PageElement;
using pagewick::workflow::LoadedPage;
using pagewick::workflow::ReadParts;
using pagewick::browser::FrameId;
using pagewick::browser::WebBrowser;
using pagewick::testsupport::LoopbackServer;
using namespace pagewick::browsertests;
namespace testsupport = pagewick::testsupport;
namespace testpages = pagewick::testpages;

// Reading the page through WebBrowser: document, markup, title, body, links,
// and the operations that act on the page (click, script).
class TestDocumentRead : public BrowserTestBase
{
    Q_OBJECT

public:
    static void initMain() { testsupport::prepareEngine(); }

private slots:
    void init() { openBrowser(); }
    void cleanup() { closeBrowser(); }

    void readsChapterPage_data();
    void readsChapterPage();
    void innerHtmlKeepsMarkupWithUpperCaseTags();
    void readTitleAndBodyText();
    void pageScriptsCannotBendTheRead();
    void documentWithoutBody();
    void linksReadAgainSeeChanges_data();
    void linksReadAgainSeeChanges();
    void clickElementFollowsLink();
    void clickElementRefusesMissingElement_data();
    void clickElementRefusesMissingElement();
    void clickLinkOnlyWhileUnchanged_data();
    void clickLinkOnlyWhileUnchanged();
    void activeElementHref();
    void execScript_data();
    void execScript();
    void execScriptDeclaresGlobals();
    void navigateTakesUserInput_data();
    void navigateTakesUserInput();
    void geometry();
};

void TestDocumentRead::readsChapterPage_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("utf-8 by header") << "/utf8-header.html";
    QTest::newRow("utf-8 by meta") << "/utf8-meta.html";
    QTest::newRow("gbk by meta") << "/gbk-meta.html";
    QTest::newRow("gbk by header") << "/gbk-header.html";
}

void TestDocumentRead::readsChapterPage()
{
    QFETCH(QString, path);
    QVERIFY(load(path));
    const auto doc = m_browser->readElements(ReadParts::everything());
    QVERIFY(doc);
    QCOMPARE(doc->url, m_server.url(path).toString());
    QCOMPARE(doc->document.title, testpages::chapterTitle());
    QVERIFY(doc->document.bodyText);
    QVERIFY(doc->document.bodyText->contains(QStringLiteral("　　山雨欲来风满楼。少年站在城头，望着远方。\r\n")));
    QVERIFY(breaksAreCrLf(*doc->document.bodyText));

    QVERIFY(doc->document.all.size() > 20);
    QCOMPARE(doc->hrefs.size(), doc->document.all.size());
    QCOMPARE(doc->document.all.first().tagName, QStringLiteral("HTML"));
    for (const PageElement &e : doc->document.all) {
        QCOMPARE(e.tagName, e.tagName.toUpper());
        QVERIFY2(breaksAreCrLf(e.innerText), qPrintable(e.tagName));
    }

    const int next = indexWith(*doc, QStringLiteral("A"), QStringLiteral("下一页"));
    QVERIFY(next >= 0);
    QCOMPARE(doc->document.all.at(next).innerText, QStringLiteral("下一页"));
    QCOMPARE(doc->hrefs.at(next), m_server.url("/ch2.html").toString());
    const int plainDiv = indexWith(*doc, QStringLiteral("DIV"), QStringLiteral("评论"));
    QVERIFY(plainDiv >= 0);
    QVERIFY(doc->hrefs.at(plainDiv).isEmpty());
}

void TestDocumentRead::innerHtmlKeepsMarkupWithUpperCaseTags()
{
    QVERIFY(load("/utf8-header.html"));
    const auto doc = m_browser->readElements(ReadParts::everything());
    QVERIFY(doc);
    // The markup of the first element of that tag holding part; "<none>" when none does.
    const auto markupWith = [&](const char *tag, const QString &part) {
        const int i = indexWith(*doc, QString::fromLatin1(tag), part);
        return i < 0 ? QStringLiteral("<none>") : doc->document.all.at(i).innerHTML;
    };

    QCOMPARE(markupWith("DIV", QStringLiteral("上一页")),
             QStringLiteral("<A href=\"/ch0.html\">上一页</A> <A id=\"next\" href=\"/ch2.html\">下一页</A>"));
    QCOMPARE(markupWith("DIV", QStringLiteral("山雨欲来风满楼")),
             QStringLiteral("<P>　　山雨欲来风满楼。少年站在城头，望着远方。</P>"
                            "<P>　　“你来了？”老人问道。<BR>“我来了。”</P>"
                            "<P>A &amp; B &lt;tag&gt; x&nbsp;y</P>"));
    QCOMPARE(markupWith("DIV", QStringLiteral("广告")),
             QStringLiteral("<A href=\"http://ads.invalid/\" target=\"_blank\"><IMG src=\"/ad.gif\" alt=\"广告\"></A>"));
    QCOMPARE(markupWith("DIV", QStringLiteral("评论：")), QStringLiteral("<P>评论：写得好！</P><!-- 评论结束 -->"));
    QCOMPARE(markupWith("SCRIPT", QStringLiteral("banner")),
             QStringLiteral("var banner = \"<div class='ad'>\" + 1 + \"</div>\"; if (1 < 2 && 3 > 2) { window.pageFlag = 'x'; }"));
    QCOMPARE(markupWith("STYLE", QStringLiteral("font-size")),
             QStringLiteral("body { font-size: 16px; } #nav > a { color: #333; }"));

    const PageElement &html = doc->document.all.first();
    QVERIFY(html.innerHTML.startsWith(QStringLiteral("<HEAD><TITLE>")));
    QVERIFY(html.innerHTML.contains(QStringLiteral("</HEAD>")));
    QVERIFY(html.innerHTML.contains(QStringLiteral("<BODY>")));
    QVERIFY(html.innerHTML.endsWith(QStringLiteral("</BODY>")));
}

void TestDocumentRead::readTitleAndBodyText()
{
    QVERIFY(load("/gbk-meta.html"));
    QCOMPARE(m_browser->readTitle().value_or("<no answer>"), QString(testpages::chapterTitle()));
    const auto body = m_browser->readBodyText();
    QVERIFY(body);
    const auto doc = m_browser->readElements(ReadParts::everything());
    QVERIFY(doc);
    QCOMPARE(*body, doc->document.bodyText.value_or(QString()));
    QVERIFY(body->contains(QStringLiteral("下一页")));
}

void TestDocumentRead::pageScriptsCannotBendTheRead()
{
    // The page replaces what a reading script would use; the reading world
    // has its own copies.
    m_server.addPage("/bent.html",
                     "<html><head><title>bent</title><script>"
                     "window.Map = null; window.Set = null; window.JSON = null;"
                     "Array.prototype.push = null; Array.prototype.concat = null;"
                     "String.prototype.toUpperCase = function () { return 'x'; };"
                     "String.prototype.replace = function () { return 'x'; };"
                     "Object.defineProperty(HTMLElement.prototype, 'innerText',"
                     " { get: function () { return 'bent'; } });"
                     "HTMLElement.prototype.click = function () { };"
                     "</script></head><body><p id=\"p\">甲 &amp; 乙<br>丙</p>"
                     "<a href=\"/ch2.html\">下一页</a></body></html>");
    QVERIFY(load("/bent.html"));
    const auto doc = m_browser->readElements(ReadParts::everything());
    QVERIFY(doc);
    const int p = indexWith(*doc, QStringLiteral("P"), QStringLiteral("甲"));
    QVERIFY(p >= 0);
    QCOMPARE(doc->document.all.at(p).innerText, QStringLiteral("甲 & 乙\r\n丙"));
    QCOMPARE(doc->document.all.at(p).innerHTML, QStringLiteral("甲 &amp; 乙<BR>丙"));
    const int link = doc->hrefs.indexOf(m_server.url("/ch2.html").toString());
    QVERIFY(link > 0);
    QSignalSpy completes(m_browser, &WebBrowser::DocumentComplete);
    QVERIFY(m_browser->clickElement(link));
    QVERIFY(completes.wait(10000));
    QCOMPARE(m_browser->LocationURL(), m_server.url("/ch2.html").toString());
}

void TestDocumentRead::documentWithoutBody()
{
    m_server.addPage("/image.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><circle r=\"5\"/></svg>",
                     "image/svg+xml");
    QVERIFY(load("/image.svg"));
    const auto doc = m_browser->readElements(ReadParts::everything());
    QVERIFY(doc);
    QVERIFY(!doc->document.bodyText);
    QCOMPARE(doc->document.all.size(), 2);
    QCOMPARE(doc->document.all.at(0).tagName, QStringLiteral("svg"));
    QCOMPARE(doc->document.all.at(0).innerHTML, QStringLiteral("<CIRCLE r=\"5\"></CIRCLE>"));
    QVERIFY(!m_browser->readBodyText());
}

void TestDocumentRead::linksReadAgainSeeChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("none") << QString();
    QTest::newRow("link text") << "document.getElementById('next').firstChild.data = '下一章';";
    QTest::newRow("link target") << "document.getElementById('next').setAttribute('href', '/ch9.html');";
    QTest::newRow("link added") << "var a = document.createElement('a'); a.href = '/x.html';"
                                   " a.textContent = '下一页'; document.body.prepend(a);";
    QTest::newRow("link removed") << "document.getElementById('next').remove();";
    QTest::newRow("text of a child") << "var b = document.createElement('b'); b.textContent = '！';"
                                        " document.getElementById('next').append(b);";
    QTest::newRow("document rewritten") << "document.open(); document.write('<a href=\"/w.html\">下一页</a>');"
                                           " document.close();";
}

void TestDocumentRead::linksReadAgainSeeChanges()
{
    // Extraction reads the blocks and links, the next-page command then the
    // links again; a change made by the page between the two must show.
    QFETCH(QString, change);
    QVERIFY(load("/utf8-header.html"));
    const auto first = m_browser->readElements(ReadParts::elements({"TD", "DIV", "A"}, true));
    QVERIFY(first);
    if (!change.isEmpty())
        QVERIFY(m_browser->execScript(m_browser->Object(), change));
    const auto links = m_browser->readLinks();
    QVERIFY(links);
    const auto now = m_browser->readElements(ReadParts::everything());
    QVERIFY(now);
    // Each link's position, text, markup and target.
    const auto linksOf = [](const LoadedPage &doc) {
        QStringList out;
        for (qsizetype i = 0; i < doc.document.all.size(); ++i) {
            const PageElement &e = doc.document.all.at(i);
            if (e.tagName == QLatin1String("A"))
                out << QStringLiteral("%1|%2|%3|%4").arg(i).arg(e.innerText, e.innerHTML, doc.hrefs.at(i));
        }
        return out;
    };
    QCOMPARE(links->document.all.size(), now->document.all.size());
    QCOMPARE(linksOf(*links), linksOf(*now));
    QCOMPARE(linksOf(*now) == linksOf(*first), change.isEmpty());
}

void TestDocumentRead::clickElementFollowsLink()
{
    QVERIFY(load("/utf8-header.html"));
    const auto doc = m_browser->readElements(ReadParts::everything());
    QVERIFY(doc);
    const int next = doc->hrefs.indexOf(m_server.url("/ch2.html").toString());
    QVERIFY(next > 0);
    QSignalSpy completes(m_browser, &WebBrowser::DocumentComplete);
    QVERIFY(m_browser->clickElement(next));
    QVERIFY(testsupport::waitUntil([&] { return !completes.isEmpty(); }, testsupport::kEngineTimeoutMs));
    QCOMPARE(completes.last().at(1).toString(), m_server.url("/ch2.html").toString());
    QCOMPARE(m_browser->LocationURL(), m_server.url("/ch2.html").toString());
}

void TestDocumentRead::clickElementRefusesMissingElement_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("negative") << -1;
    QTest::newRow("past the end") << 100000;
}

void TestDocumentRead::clickElementRefusesMissingElement()
{
    QFETCH(int, index);
    QVERIFY(load("/ch2.html"));
    QVERIFY(!m_browser->clickElement(index));
}

// The page as the read found it, changed by `change` before the click: the
// link is clicked only while it is still the one found (tag, target, text)
// and, when asked, while its written target starts with "#".
void TestDocumentRead::clickLinkOnlyWhileUnchanged_data()
{
    QTest::addColumn<QString>("text");   // of the link found
    QTest::addColumn<bool>("onlyFragment");
    QTest::addColumn<QString>("change"); // script run between read and click
    QTest::addColumn<int>("outcome");    // ClickResult
    using O = pagewick::workflow::ClickResult;
    QTest::newRow("unchanged") << "下一页" << false << "" << int(O::Clicked);
    QTest::newRow("a change after it") << "下一页" << false
                                       << "document.body.appendChild(document.createElement('p'));"
                                       << int(O::Clicked);
    QTest::newRow("a link inserted before it")
        << "下一页" << false
        << "var a = document.createElement('a'); a.href = '/trap.html'; a.textContent = '广告';"
           "var n = document.getElementById('n'); n.parentNode.insertBefore(a, n);"
        << int(O::Changed);
    QTest::newRow("its text changed") << "下一页" << false << "document.getElementById('n').textContent = '目录';"
                                      << int(O::Changed);
    QTest::newRow("its target changed") << "下一页" << false
                                        << "document.getElementById('n').setAttribute('href', '/other.html');"
                                        << int(O::Changed);
    QTest::newRow("removed") << "下一页" << false << "document.getElementById('n').remove();" << int(O::Changed);
    QTest::newRow("a line break in its text") << "第一行\r\n第二行" << false << "" << int(O::Clicked);
    QTest::newRow("written #") << "井号" << true << "" << int(O::Clicked);
    QTest::newRow("written # after blanks") << "空白井号" << true << "" << int(O::Clicked);
    QTest::newRow("written as the page's own address") << "自身" << true << "" << int(O::WrittenAsPage);
    QTest::newRow("no target") << "无目标" << false << "" << int(O::Clicked);
}

void TestDocumentRead::clickLinkOnlyWhileUnchanged()
{
    QFETCH(QString, text);
    QFETCH(bool, onlyFragment);
    QFETCH(QString, change);
    QFETCH(int, outcome);
    // Every link only records its click in the title.
    const QString mark = QStringLiteral(" onclick=\"document.title = '点了' + this.textContent; return false;\"");
    m_server.addPage("/links.html",
                     (QStringLiteral("<html><head><title>原题</title></head><body><p>正文</p>"
                                     "<a id=\"n\" href=\"/ch2.html\"%1>下一页</a>"
                                     "<a href=\"/ch2.html\"%1>第一行<br>第二行</a>"
                                     "<a href=\"#go\"%1>井号</a>"
                                     "<a href=\" \t#go\"%1>空白井号</a>"
                                     "<a href=\"links.html#go\"%1>自身</a>"
                                     "<a%1>无目标</a></body></html>")
                          .arg(mark))
                         .toUtf8());
    QVERIFY(load("/links.html"));
    const auto doc = m_browser->readLinks();
    QVERIFY(doc);
    int index = -1;
    for (int i = 0; i < doc->document.all.size(); ++i) {
        if (doc->document.all.at(i).tagName == QLatin1String("A") && doc->document.all.at(i).innerText == text)
            index = i;
    }
    QVERIFY(index > 0);
    const PageElement &link = doc->document.all.at(index);
    if (!change.isEmpty())
        QVERIFY(m_browser->execScript(m_browser->Object(), change));

    const auto result = m_browser->clickLink(
        pagewick::workflow::LinkToClick{index, link.tagName, doc->hrefs.at(index), link.innerText, onlyFragment});

    QCOMPARE(int(result), outcome);
    const QString clicked = QStringLiteral("点了") + QString(text).remove(QStringLiteral("\r\n"));
    QCOMPARE(m_browser->readTitle().value_or("<no answer>"),
             result == pagewick::workflow::ClickResult::Clicked ? clicked : QStringLiteral("原题"));
}

void TestDocumentRead::activeElementHref()
{
    m_server.addPage("/focused.html", "<html><body><a id=\"f\" href=\"/x.html?a=1\">x</a>"
                                      "<script>document.getElementById('f').focus();</script></body></html>");
    QVERIFY(load("/focused.html"));
    QCOMPARE(m_browser->readActiveElementHref().value_or("<no answer>"), QString(m_server.url("/x.html?a=1").toString()));
    QVERIFY(load("/ch2.html"));
    QVERIFY(!m_browser->readActiveElementHref());
}

void TestDocumentRead::execScript_data()
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

void TestDocumentRead::execScript()
{
    QFETCH(QString, code);
    QFETCH(bool, ok);
    QVERIFY(load("/ch2.html"));
    QCOMPARE(m_browser->execScript(m_browser->Object(), code), ok);
}

void TestDocumentRead::execScriptDeclaresGlobals()
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

void TestDocumentRead::navigateTakesUserInput_data()
{
    QTest::addColumn<bool>("localPath");
    QTest::newRow("absolute local path") << true;
    QTest::newRow("address without scheme") << false;
}

void TestDocumentRead::navigateTakesUserInput()
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

void TestDocumentRead::geometry()
{
    m_browser->Move(10, 20, 300, 200);
    QCOMPARE(m_browser->widget()->geometry(), QRect(10, 20, 300, 200));
    QCOMPARE(m_browser->Height(), 200);
    QCOMPARE(m_browser->widget()->parentWidget(), m_window.get());
}

QTEST_MAIN(TestDocumentRead)
#include "tst_documentread.moc"
