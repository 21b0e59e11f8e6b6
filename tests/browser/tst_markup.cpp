#include "browser/documentscripts.h"
#include "tests/support/enginetestutil.h"
#include "tests/support/loopbackserver.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace scripts = pagewick::browser::scripts;
namespace testsupport = pagewick::testsupport;

// The markup the browser layer writes for each element must be the engine's
// own innerHTML but for the case of the tag names: checked element by
// element against the engine on pages with the constructs that trip
// serializers up.
class TestMarkup : public QObject
{
    Q_OBJECT

public:
    static void initMain() { testsupport::prepareEngine(); }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void matchesEngineInnerHtml_data();
    void matchesEngineInnerHtml();
    void writesTagNamesInUpperCase_data();
    void writesTagNamesInUpperCase();

private:
    std::optional<pagewick::workflow::LoadedPage> load(const QString &body);

    testsupport::LoopbackServer m_server;
    std::unique_ptr<QWebEnginePage> m_page;
    int m_pages = 0;
};

void TestMarkup::initTestCase()
{
    QVERIFY(m_server.isListening());
    m_page = std::make_unique<QWebEnginePage>();
}

void TestMarkup::cleanupTestCase()
{
    m_page.reset();
}

std::optional<pagewick::workflow::LoadedPage> TestMarkup::load(const QString &body)
{
    const QString path = QStringLiteral("/page%1.html").arg(++m_pages);
    m_server.addPage(path, (QStringLiteral("<!DOCTYPE html><html><head><title>t</title></head><body>")
                            + body + QStringLiteral("</body></html>"))
                               .toUtf8());
    if (!testsupport::loadPage(*m_page, m_server.url(path)))
        return std::nullopt;
    const auto answer = testsupport::runScript(*m_page, scripts::readDocument(),
                                               QWebEngineScript::ApplicationWorld);
    return answer ? scripts::parseDocument(*answer) : std::nullopt;
}

static void addMarkupRows()
{
    QTest::addColumn<QString>("body");
    QTest::newRow("chapter paragraphs") << "<div id=c><p>　　第一段。</p><p>第二段<br>续行</p></div>";
    QTest::newRow("attribute quoting") << "<div title='a \"q\" &amp; <b> x&nbsp;y' data-x=1 CLASS=\"Up\">t</div>";
    QTest::newRow("ampersand in href") << "<a href=\"/x?a=1&b=2\" target=_blank>下一页</a>";
    QTest::newRow("boolean attributes") << "<input disabled value=v><select><option selected>o</option></select>";
    QTest::newRow("void elements") << "<p>a<br>b<hr><img src=x alt=\"图\"><wbr><input></p><map><area></map>";
    QTest::newRow("table") << "<table><colgroup><col></colgroup><tr><td>1</td><td>2</td></tr></table>";
    QTest::newRow("text escapes") << "<p>a &lt; b &gt; c &amp; d &nbsp; &copy; \"q\" 'a'</p>";
    QTest::newRow("script and style") << "<script>if (a < b && c > d) { s = \"</p>\" + '&amp;'; }</script>"
                                         "<style>a > b { content: \"&\"; }</style>";
    QTest::newRow("textarea") << "<textarea><b>not bold</b> & more</textarea>";
    QTest::newRow("pre with leading breaks") << "<pre>\n\nline\n</pre><pre>x</pre>";
    QTest::newRow("comments") << "<div><!-- a <p> b --><!----><p>x</p></div>";
    QTest::newRow("template") << "<template><p>in template</p><br></template>";
    QTest::newRow("svg") << "<svg viewBox=\"0 0 10 10\"><foreignObject><p>x</p></foreignObject>"
                            "<linearGradient id=g></linearGradient><use xlink:href=\"#g\"></use></svg>";
    QTest::newRow("math") << "<math><mi>x</mi><mo>=</mo></math>";
    QTest::newRow("noscript") << "<noscript><p>no script</p></noscript>";
    QTest::newRow("iframe") << "<iframe srcdoc=\"<p>x</p>\"></iframe>";
    QTest::newRow("custom element") << "<my-widget some-attr=\"1\"><span>x</span></my-widget>";
    QTest::newRow("deep nesting") << QString("<div>").repeated(300) + "deep" + QString("</div>").repeated(300);
    QTest::newRow("changed by script")
        << "<div id=d></div><script>var d = document.getElementById('d');"
           " d.appendChild(document.createTextNode('1 < 2 & \\u00a0'));"
           " d.setAttribute('data-v', 'line\\nbreak \"q\" <>');"
           " d.appendChild(document.createComment('c'));</script>";
}

void TestMarkup::matchesEngineInnerHtml_data()
{
    addMarkupRows();
}

void TestMarkup::matchesEngineInnerHtml()
{
    QFETCH(QString, body);
    const auto doc = load(body);
    QVERIFY(doc);
    const auto engine = testsupport::runScript(
        *m_page, QStringLiteral("JSON.stringify(Array.prototype.map.call("
                                "document.getElementsByTagName('*'), function (e) { return e.innerHTML; }))"),
        QWebEngineScript::ApplicationWorld);
    QVERIFY(engine);
    const QJsonArray expected = QJsonDocument::fromJson(engine->toString().toUtf8()).array();
    QCOMPARE(doc->document.all.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        // Case aside, the markup is the engine's own.
        QCOMPARE(doc->document.all.at(i).innerHTML.toLower(), expected.at(i).toString().toLower());
    }
}

void TestMarkup::writesTagNamesInUpperCase_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("expected");
    QTest::newRow("paragraphs and break") << "<div id=c><p class=x>一<br>二</p></div>" << "c"
                                          << "<P class=\"x\">一<BR>二</P>";
    QTest::newRow("link with attributes") << "<div id=c><a href=\"/n.html\" title=\"下一页\">下一页</a></div>"
                                          << "c" << "<A href=\"/n.html\" title=\"下一页\">下一页</A>";
    QTest::newRow("attribute case kept as the engine gives it")
        << "<div id=c><span Data-Mixed=\"MiXed\">x</span></div>" << "c"
        << "<SPAN data-mixed=\"MiXed\">x</SPAN>";
    QTest::newRow("script text untouched") << "<div id=c><script>var s = '<b>x</b>';</script></div>"
                                           << "c" << "<SCRIPT>var s = '<b>x</b>';</SCRIPT>";
    QTest::newRow("svg names") << "<div id=c><svg><linearGradient></linearGradient></svg></div>" << "c"
                               << "<SVG><LINEARGRADIENT></LINEARGRADIENT></SVG>";
    QTest::newRow("custom element") << "<div id=c><my-widget>x</my-widget></div>" << "c"
                                    << "<MY-WIDGET>x</MY-WIDGET>";
}

void TestMarkup::writesTagNamesInUpperCase()
{
    QFETCH(QString, body);
    QFETCH(QString, id);
    QFETCH(QString, expected);
    const auto doc = load(body);
    QVERIFY(doc);
    const QString marker = QStringLiteral("id=\"%1\"").arg(id);
    // The element is found through its parent's markup, which holds its id.
    const auto holder = std::find_if(doc->document.all.cbegin(), doc->document.all.cend(), [&](const auto &e) {
        return e.tagName == QLatin1String("BODY");
    });
    QVERIFY(holder != doc->document.all.cend());
    QVERIFY(holder->innerHTML.contains(marker));
    const auto target = std::find_if(doc->document.all.cbegin(), doc->document.all.cend(), [&](const auto &e) {
        return e.tagName == QLatin1String("DIV") && e.innerHTML == expected;
    });
    QVERIFY2(target != doc->document.all.cend(), qPrintable(holder->innerHTML));
}

QTEST_MAIN(TestMarkup)
#include "tst_markup.moc"
