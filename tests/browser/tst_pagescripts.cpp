// Every script the browser layer runs in pages, run on a real page in the
// program's script world, its answer checked by the one reader of its shape.
#include "browser/chunkedread.h"
#include "browser/documentscripts.h"
#include "tests/support/enginetestutil.h"
#include "tests/support/loopbackserver.h"

#include <QDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace chunked = pagewick::browser::chunked;
namespace scripts = pagewick::browser::scripts;
namespace testsupport = pagewick::testsupport;
using pagewick::workflow::ReadParts;
using pagewick::workflow::ClickResult;
using pagewick::workflow::LinkToClick;

class TestPageScripts : public QObject
{
    Q_OBJECT

public:
    static void initMain() { testsupport::prepareEngine(); }

private slots:
    void everyScriptAnswersItsReader();

private:
    // The answer of a script run in the program's world; an invalid QVariant when none came.
    QVariant run(const QString &script)
    {
        return testsupport::runScript(*m_page, script, QWebEngineScript::ApplicationWorld).value_or(QVariant());
    }

    testsupport::LoopbackServer m_server;
    std::unique_ptr<QWebEnginePage> m_page = std::make_unique<QWebEnginePage>();
};

void TestPageScripts::everyScriptAnswersItsReader()
{
    m_server.addPage("/p.html", QStringLiteral("<html><head><title>脚本</title></head><body>"
                                               "<p>正文，第一段。\n第二行。</p><p>第二段。</p>"
                                               "<a href=\"/next.html\">下一页</a>"
                                               "<a rel=\"Next\" href=\"/next.html\">›</a></body></html>")
                                    .toUtf8());
    m_server.addHeader("/p.html", "Retry-After: 120");
    m_server.addPage("/next.html", "<html><head><title>next</title></head><body>n</body></html>");
    QVERIFY(testsupport::loadPage(*m_page, m_server.url("/p.html")));
    const QString next = m_server.url("/next.html").toString();

    QCOMPARE(scripts::parseTitle(run(scripts::readTitle())), std::optional<QString>(QStringLiteral("脚本")));
    QVERIFY(scripts::parseBodyText(run(scripts::readBodyText())).value_or(QString()).contains(QStringLiteral("第二行")));
    const std::optional<scripts::ParseState> state = scripts::readParseState(run(scripts::parseState()));
    QVERIFY(state && state->readyState == QLatin1String("complete"));

    const auto whole = scripts::parseDocument(run(scripts::readDocument()));
    QVERIFY(whole && whole->document.title == QStringLiteral("脚本"));
    const int linkIndex = int(whole->hrefs.indexOf(next));
    QVERIFY(linkIndex >= 0);
    const auto link = whole->document.all.cbegin() + linkIndex;
    QCOMPARE(scripts::parseRelNextLink(run(scripts::readRelNextLink())), std::optional<int>(linkIndex + 1));
    QCOMPARE(scripts::parseRetryAfter(run(scripts::readRetryAfter())), std::optional<QString>(QStringLiteral("120")));
    ReadParts measured = ReadParts::elements({QStringLiteral("a")}, true);
    measured.measuredTags = QStringList{QStringLiteral("P")};
    const auto measures = scripts::parseDocument(run(scripts::readDocument(measured)));
    QVERIFY(measures && std::any_of(measures->document.all.cbegin(), measures->document.all.cend(),
                                    [](const auto &e) { return e.measures.has_value(); }));

    // In pieces of a few characters: the same document as in one.
    chunked::Assembler read;
    QVERIFY(read.begin(run(chunked::beginRead(16))));
    while (!read.finished())
        QVERIFY(read.feed(run(chunked::readChunk(read.token(), read.nextField(), read.nextOffset(), 16))));
    const QString stamp = read.stamp();
    const auto pieced = read.take();
    QVERIFY(pieced && pieced->document.all.size() == whole->document.all.size()
            && pieced->document.bodyText == whole->document.bodyText);
    QVERIFY(scripts::parseFlag(run(chunked::unchangedSince(stamp))));
    chunked::Assembler abandoned;
    QVERIFY(abandoned.begin(run(chunked::beginRead(16))));
    QVERIFY(scripts::parseFlag(run(chunked::releaseRead(abandoned.token()))));
    QVERIFY(!abandoned.feed(run(chunked::readChunk(abandoned.token(), abandoned.nextField(), abandoned.nextOffset(), 16))));

    QVERIFY(scripts::parseFlag(run(scripts::focusElement(linkIndex))));
    QCOMPARE(scripts::parseActiveElementHref(run(scripts::readActiveElementHref())), std::optional<QString>(next));
    QVERIFY(!scripts::parseFlag(run(scripts::focusElement(whole->document.all.size()))));
    QVERIFY(!scripts::parseFlag(run(scripts::clickElement(whole->document.all.size()))));
    QVERIFY(scripts::parseFlag(run(scripts::clickElement(0))));
    LinkToClick check{linkIndex, link->tagName, next, QStringLiteral("上一页"), false};
    QCOMPARE(scripts::parseClickLink(run(scripts::clickLink(check))), ClickResult::Changed);
    check.innerText = link->innerText;
    check.onlyIfWrittenAsFragment = true;
    QCOMPARE(scripts::parseClickLink(run(scripts::clickLink(check))), ClickResult::WrittenAsPage);
    check.onlyIfWrittenAsFragment = false;
    QCOMPARE(scripts::parseClickLink(run(scripts::clickLink(check))), ClickResult::Clicked);
    QVERIFY(testsupport::waitUntil([&] { return m_page->url().toString() == next; }));

    // Nothing built in that this test did not run.
    QStringList files = QDir(QStringLiteral(":/pagewick/scripts")).entryList();
    files.sort();
    QCOMPARE(files, (QStringList{"activehref.js", "clickelement.js", "clicklink.js", "focuselement.js",
                                 "parsestate.js", "piecetake.js", "readbegin.js", "readbodytext.js",
                                 "readchunk.js", "readdocument.js", "readtitle.js", "releaseread.js", "relnextlink.js",
                                 "retryafter.js", "unchangedsince.js"}));
}

QTEST_MAIN(TestPageScripts)
#include "tst_pagescripts.moc"
