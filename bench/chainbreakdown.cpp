#include "bench/chainbreakdown.h"

#include "bench/processstats.h"

#include "browser/documentscripts.h"
#include "browser/webbrowser.h"
#include "extract/detection.h"
#include "tests/support/enginetestutil.h"
#include "tests/support/loopbackserver.h"
#include "window/richtextbox.h"
#include "workflow/extracthost.h"
#include "workflow/filesystem.h"
#include "workflow/ledger.h"
#include "workflow/ledgerwriter.h"
#include "workflow/localecodec.h"
#include "workflow/savecommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QVariantList>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWidget>

#include <cstdio>
#include <functional>

namespace pagewick::bench {

namespace {

constexpr int kRounds = 20;

// Mean milliseconds of f over kRounds calls.
double MeanMs(const std::function<void()> &f)
{
    QElapsedTimer clock;
    clock.start();
    for (int k = 0; k < kRounds; ++k)
        f();
    return double(clock.nsecsElapsed()) / 1e6 / kRounds;
}

// Mean CPU milliseconds of f over kRounds calls, this process and the
// engine's together: on a busy machine the wall time of a step in the
// renderer says more about the other processes than about the step.
double MeanCpuMs(const std::function<void()> &f)
{
    const CpuTimes before = SampleCpu();
    for (int k = 0; k < kRounds; ++k)
        f();
    const CpuTimes after = SampleCpu();
    return 1000 * ((after.selfSeconds - before.selfSeconds) + (after.childrenSeconds - before.childrenSeconds))
        / kRounds;
}

void Line(const char *step, double ms)
{
    std::printf("  %-44s %8.3f ms\n", step, ms);
}

} // namespace

void PrintChainBreakdown(testsupport::LoopbackServer &server, const char *pagePath)
{
    const QUrl url = server.url(QString::fromUtf8(pagePath));
    std::printf("breakdown of one page (%s), mean of %d rounds:\n", pagePath, kRounds);

    QWidget host;
    host.resize(1024, 600);
    host.show();
    browser::WebBrowser browser(&host);
    browser.Move(0, 0, 1024, 600);
    if (!testsupport::navigateAndWait(browser, url)) {
        std::printf("  page did not load\n");
        return;
    }

    std::optional<workflow::LoadedPage> snapshot;
    Line("readBodyText (layer)", MeanMs([&] { browser.readBodyText(); }));
    // A change the layout does not see, so that a read cannot be answered
    // from the one before.
    const auto touch = [&] {
        browser.execScript(browser.Object(),
                           QStringLiteral("(window.__c || (window.__c = document.body.appendChild("
                                          "document.createComment('')))).data += 'x'"));
    };
    Line("readElements, everything (layer)", MeanMs([&] {
             touch();
             snapshot = browser.readElements(workflow::ReadParts::everything());
         }));
    Line("  its CPU, all processes", MeanCpuMs([&] {
             touch();
             snapshot = browser.readElements(workflow::ReadParts::everything());
         }));
    workflow::BrowserPort &port = browser;
    Line("read of an Extract run (port)", MeanMs([&] {
             touch();
             port.readElements(workflow::ExtractionReadParts());
         }));
    Line("  its CPU, all processes", MeanCpuMs([&] {
             touch();
             port.readElements(workflow::ExtractionReadParts());
         }));
    Line("readLinks of the unchanged page (port)", MeanMs([&] { port.readLinks(); }));
    Line("execScript round trip (layer)",
         MeanMs([&] { browser.execScript(browser.Object(), QStringLiteral("0")); }));

    QWebEnginePage page;
    testsupport::loadPage(page, url);
    std::optional<QVariant> answer;
    {
        const workflow::ReadParts parts = workflow::ExtractionReadParts();
        const QString timed = QStringLiteral("(function () { var t = performance.now(); var r = ")
            + browser::scripts::readDocument(parts) + QStringLiteral("; return performance.now() - t; })()");
        double ms = 0;
        for (int k = 0; k < kRounds; ++k)
            ms += testsupport::runScript(page, timed, QWebEngineScript::ApplicationWorld)
                      .value_or(QVariant(0.0))
                      .toDouble();
        Line("Extract run's script, its time in the page", ms / kRounds);
        const QString script = browser::scripts::readDocument(parts);
        Line("  its CPU in the raw page, all processes", MeanCpuMs([&] {
                 testsupport::runScript(page, script, QWebEngineScript::ApplicationWorld);
             }));
        const QString whole = browser::scripts::readDocument();
        Line("whole read's CPU in the raw page, all processes", MeanCpuMs([&] {
                 testsupport::runScript(page, whole, QWebEngineScript::ApplicationWorld);
             }));
        const QString linksScript = browser::scripts::readDocument(workflow::ReadParts::linksOnly());
        Line("links-only read's CPU in the raw page", MeanCpuMs([&] {
                 testsupport::runScript(page, linksScript, QWebEngineScript::ApplicationWorld);
             }));
        const QString nothing = QStringLiteral("0");
        Line("empty script's CPU, all processes", MeanCpuMs([&] {
                 testsupport::runScript(page, nothing, QWebEngineScript::ApplicationWorld);
             }));
    }
    Line("document script alone (raw page)", MeanMs([&] {
             answer = testsupport::runScript(page, browser::scripts::readDocument(),
                                             QWebEngineScript::ApplicationWorld);
         }));
    // The read split into its time in the page and the crossing of its answer.
    const QString timedInPage = QStringLiteral("(function () { var t = performance.now(); var r = ")
        + browser::scripts::readDocument() + QStringLiteral("; return performance.now() - t; })()");
    double inPage = 0;
    for (int k = 0; k < kRounds; ++k)
        inPage += testsupport::runScript(page, timedInPage, QWebEngineScript::ApplicationWorld)
                      .value_or(QVariant(0.0))
                      .toDouble();
    Line("document script, its time in the page", inPage / kRounds);
    Line("answer of 200,000 characters, crossing", MeanMs([&] {
             testsupport::runScript(page, QStringLiteral("'x'.repeat(200000)"),
                                    QWebEngineScript::ApplicationWorld);
         }));
    if (answer) {
        qsizetype units = 0;
        const QVariantList items = answer->toList();
        for (const QVariant &item : items)
            units += item.toString().size();
        std::printf("  (answer: %lld items, %lld K code units)\n", qlonglong(items.size()),
                    qlonglong(units / 1024));
        Line("decoding the answer alone",
             MeanMs([&] { browser::scripts::parseDocument(*answer); }));
    }
    if (!snapshot) {
        std::printf("  document could not be read\n");
        return;
    }

    const extract::PageDocument &doc = snapshot->document;
    std::printf("  (%lld elements)\n", qlonglong(doc.all.size()));
    extract::CandidateState state;
    QString body;
    Line("detection, no hooks", MeanMs([&] { body = DetectMainText(doc, state, {}).value_or(QString()); }));
    extract::DetectionHooks captionOnly;
    captionOnly.progress = [&](const QString &n) {
        host.setWindowTitle(extract::ProgressCaption(doc.title, n));
    };
    Line("detection, caption per element", MeanMs([&] { DetectMainText(doc, state, captionOnly); }));
    extract::DetectionHooks both = captionOnly;
    both.yield = [] {
        QCoreApplication::processEvents();
        return true;
    };
    Line("detection, caption and yields", MeanMs([&] { DetectMainText(doc, state, both); }));

    window::RichTextBox box(&host);
    box.show();
    Line("result box setText", MeanMs([&] {
             box.setText(body);
             QCoreApplication::processEvents();
         }));

    // A chain's pages: a new title and address each time.
    workflow::FileSystem &disk = workflow::realFileSystem();
    QTemporaryDir dir;
    const QString directory = dir.path() + QLatin1Char('/');
    int chapter = 0;
    const auto nextPage = [&] { return QStringLiteral("%1?page=%2").arg(url.toString()).arg(++chapter); };
    const auto titleOf = [](int n) { return QStringLiteral("第%1章").arg(n); };
    Line("file write alone", MeanMs([&] {
             nextPage();
             disk.writeFileReplacing(directory + titleOf(chapter) + QStringLiteral("-w.txt"),
                                     workflow::encodeForLocale(body));
         }));
    workflow::SaveCommand save;
    const QDateTime now = QDateTime::currentDateTime();
    Line("save: naming, file write, ledger line", MeanMs([&] {
             const QString address = nextPage();
             save.save(disk, directory, titleOf(chapter), address, body, now);
         }));
    Line("ledger: naming against ledger and disk", MeanMs([&] {
             const QString address = nextPage();
             save.pathFor(disk, directory, titleOf(chapter), address);
         }));
    workflow::LedgerWriter ledger;
    Line("ledger: one line appended", MeanMs([&] {
             const QString address = nextPage();
             ledger.append(disk, directory,
                           {workflow::LedgerTime(now), address, titleOf(chapter), titleOf(chapter) + QStringLiteral(".txt"),
                            qint64(body.size()), QStringLiteral("saved")});
         }));
    // The first save into a directory reads its ledger once.
    QTemporaryDir big;
    const QString bigDirectory = big.path() + QLatin1Char('/');
    for (int n = 1; n <= 3000; ++n)
        ledger.append(disk, bigDirectory,
                      {workflow::LedgerTime(now), QStringLiteral("http://127.0.0.1/book/%1.html").arg(n), titleOf(n),
                       titleOf(n) + QStringLiteral(".txt"), 3000, QStringLiteral("saved")});
    Line("ledger: first save reads a 3000-line ledger", MeanMs([&] {
             workflow::SaveCommand fresh;
             fresh.pathFor(disk, bigDirectory, titleOf(1), nextPage());
         }));
}

} // namespace pagewick::bench
