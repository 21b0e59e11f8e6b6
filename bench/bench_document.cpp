// Load and one-round-trip read of a large chapter page in the real engine:
// 20,000 elements and about 1 MB of text.
//
// Prints the page load time (Navigate to DocumentComplete) and the time of
// the document read an Extract run makes, then times the one-round-trip read script on a
// bare page in its parts: building the answer in the page, carrying it over,
// decoding it. Last, main-text detection over the document read, and its
// share of the read's time.

#include "browser/documentscripts.h"
#include "browser/webbrowser.h"
#include "extract/detection.h"
#include "tests/support/enginetestutil.h"
#include "tests/support/loopbackserver.h"
#include "workflow/extracthost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

namespace browser = pagewick::browser;
namespace testsupport = pagewick::testsupport;

constexpr int kRuns = 5;

// Header links, a sidebar of linked titles and the chapter in paragraphs:
// 48 + 2 * 2000 + 3 * 5300 + a few elements, the text mostly in the chapter.
QByteArray generatedPage()
{
    const QString sentence = QStringLiteral("少年站在城头，望着远方的群山，心中默念着师父临别时的嘱托。");
    QString html = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                  "<title>第一百章 大结局_青云小说网</title></head><body>"
                                  "<div id=\"nav\">");
    for (int i = 0; i < 48; ++i)
        html += QStringLiteral("<a href=\"/c%1.html\">栏目%1</a> ").arg(i);
    html += QStringLiteral("</div><ul id=\"side\">");
    for (int i = 0; i < 2000; ++i)
        html += QStringLiteral("<li><a href=\"/book%1.html\">推荐小说%1</a></li>").arg(i);
    html += QStringLiteral("</ul><div id=\"content\">");
    for (int i = 0; i < 5300; ++i) {
        html += QStringLiteral("<p>　　<span>第%1段</span>").arg(i) + sentence + sentence
            + QStringLiteral("<br></p>");
    }
    html += QStringLiteral("</div><div class=\"pager\"><a href=\"/99.html\">上一页</a>"
                           "<a href=\"/101.html\">下一页</a></div></body></html>");
    return html.toUtf8();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void report(const char *what, const std::vector<double> &ms)
{
    std::printf("%-44s median %8.1f ms   min %8.1f ms   max %8.1f ms\n", what, median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

} // namespace

int main(int argc, char *argv[])
{
    testsupport::prepareEngine();
    QApplication app(argc, argv);

    testsupport::LoopbackServer server;
    const QByteArray page = generatedPage();
    server.addPage("/big.html", page);
    const QUrl url = server.url("/big.html");

    QWidget window;
    window.resize(1024, 768);
    browser::WebBrowser webBrowser(&window);
    webBrowser.Move(0, 0, 1024, 768);
    pagewick::workflow::BrowserPort &port = webBrowser;
    window.show();
    // Engine start-up is not part of the figures.
    testsupport::navigateAndWait(webBrowser, QStringLiteral("about:blank"));

    std::vector<double> loads, reads, detections;
    qsizetype elements = 0, textChars = 0, markupChars = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        if (!testsupport::navigateAndWait(webBrowser, url)) {
            std::fprintf(stderr, "page did not load\n");
            return 1;
        }
        loads.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        // Read as an Extract run reads it: through the workflow's port, which
        // hands over the document detection works over.
        const auto doc = port.readElements(pagewick::workflow::ExtractionReadParts());
        reads.push_back(clock.nsecsElapsed() / 1e6);
        if (!doc) {
            std::fprintf(stderr, "read failed\n");
            return 1;
        }
        pagewick::extract::CandidateState candidates;
        clock.restart();
        const auto body = pagewick::extract::DetectMainText(doc->document, candidates, {});
        detections.push_back(clock.nsecsElapsed() / 1e6);
        if (!body || body->isEmpty()) {
            std::fprintf(stderr, "detection found no main text\n");
            return 1;
        }
        elements = doc->document.all.size();
        textChars = doc->document.bodyText.value_or(QString()).size();
        markupChars = 0;
        for (const auto &e : doc->document.all)
            markupChars += e.innerHTML.size();
    }
    std::printf("page: %lld bytes, %lld elements, body text %lld UTF-16 units, "
                "innerHTML carried %lld units\n",
                (long long)page.size(), (long long)elements, (long long)textChars,
                (long long)markupChars);
    report("load (Navigate .. DocumentComplete)", loads);
    report("document read (as an Extract run reads it)", reads);
    report("DetectMainText over the document read", detections);
    std::printf("detection / read = %.3f (medians)\n", median(detections) / median(reads));

    // The one-round-trip script, on a bare page in the application world.
    QWebEnginePage bare;
    if (!testsupport::loadPage(bare, url))
        return 1;
    const QString script = browser::scripts::readDocument();
    // References: what the engine itself takes for the per-element values.
    const QString engineMarkup = QStringLiteral(
        "(function () { var n = 0, a = document.all;"
        " for (var i = 0; i < a.length; i++) n += a[i].innerHTML.length; return n; })()");
    const QString engineText = QStringLiteral(
        "(function () { var n = 0, a = document.all;"
        " for (var i = 0; i < a.length; i++) n += (a[i].innerText || '').length; return n; })()");
    std::vector<double> build, whole, decode, refMarkup, refText;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        testsupport::runScript(bare, QStringLiteral("(") + script + QStringLiteral(").length"),
                               QWebEngineScript::ApplicationWorld);
        build.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        testsupport::runScript(bare, engineMarkup, QWebEngineScript::ApplicationWorld);
        refMarkup.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        testsupport::runScript(bare, engineText, QWebEngineScript::ApplicationWorld);
        refText.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        const auto answer = testsupport::runScript(bare, script, QWebEngineScript::ApplicationWorld);
        whole.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        const auto doc = answer ? browser::scripts::parseDocument(*answer) : std::nullopt;
        decode.push_back(clock.nsecsElapsed() / 1e6);
        if (!doc)
            return 1;
    }
    report("  build the answer in the page", build);
    report("  build and carry it over (flat array)", whole);
    report("  decode (checks, CR LF)", decode);
    report("  reference: engine innerHTML of every element", refMarkup);
    report("  reference: engine innerText of every element", refText);
    return 0;
}
