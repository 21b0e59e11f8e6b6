// Pages that fight the collecting chain, in the program's real window:
// a load that never ends (then the window is closed), script-dialog storms,
// window.open loops, a page that closes its window, a navigation in the
// middle of the document read, a render process that dies, documents that
// are not HTML, and a GBK page with invalid bytes. Every case must end with
// nothing lost, no hang and no crash, and the chain going on or ending with
// its notice.
#include "tests/hostile/hostilefixture.h"
#include "tests/hostile/modalguard.h"
#include "tests/support/enginetestutil.h"

#include "browser/webbrowser.h"
#include "window/programinfo.h"
#include "window/richtextbox.h"
#include "workflow/localecodec.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>

namespace {

constexpr int kLines = 20;

QString FileOf(const QString &cleanTitle)
{
    return cleanTitle + QStringLiteral(".txt");
}

QString Script(const QString &code)
{
    return QStringLiteral("<script>") + code + QStringLiteral("</script>");
}

QWebEnginePage *PageOf(pagewick::window::Frmmain &window)
{
    auto *view = qobject_cast<QWebEngineView *>(window.WebBrowser1->widget());
    return view ? view->page() : nullptr;
}

// The saved file of a chapter page holds exactly what it should.
bool SavedAsExpected(const HostileWindow &w, const QString &cleanTitle)
{
    const auto bytes = w.savedBytes(FileOf(cleanTitle));
    return bytes
        && *bytes == pagewick::workflow::encodeForLocale(ExpectedChapterFile(cleanTitle, kLines));
}

// A minimal valid PNG: 1 x 1 pixel.
QByteArray TinyPng()
{
    return QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==");
}

} // namespace

class TstHostilePages : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void closingWhileAPageNeverFinishes()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        w.server.addPage(QStringLiteral("/a.html"),
                         ChapterPage(QStringLiteral("第一章 开端_书"), kLines, NextLink(QStringLiteral("/held.html"))));
        w.server.holdPage(QStringLiteral("/held.html"),
                          QByteArrayLiteral("<html><head><title>挂起</title></head><body><div>只来了一半"));
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/a.html"));
        QVERIFY(pagewick::testsupport::waitUntil([&] { return w.server.requestCount(QStringLiteral("/held.html")) > 0; }, 20000));
        QVERIFY(SavedAsExpected(w, QStringLiteral("第一章 开端")));
        w.settle(300);
        QCOMPARE(w.window().WebBrowser1->ReadyState(), 1);

        // The user starts an extraction by hand; it waits for the page.
        QElapsedTimer clock;
        clock.start();
        qint64 runReturnedAt = -1;
        qint64 closeAt = -1;
        qint64 closeReturnedAt = -1;
        QTimer::singleShot(0, &w.window(), [&] {
            w.window().Cmd_tiqu->click();
            runReturnedAt = clock.elapsed();
        });
        QTimer::singleShot(500, &w.window(), [&] {
            closeAt = clock.elapsed();
            w.window().close();
            closeReturnedAt = clock.elapsed();
        });
        QVERIFY(pagewick::testsupport::waitUntil([&] { return runReturnedAt >= 0; }, 5000));
        QVERIFY(closeAt >= 0);
        QElapsedTimer destroy;
        destroy.start();
        w.destroyWindow();
        qInfo("never-finishing page: close took %lld ms, the waiting run returned %lld ms after "
              "the close, the window was destroyed in %lld ms",
              closeReturnedAt - closeAt, runReturnedAt - closeAt, destroy.elapsed());
        QVERIFY(closeReturnedAt - closeAt < 2000);
        QVERIFY(runReturnedAt - closeAt < 2000);
        QVERIFY(destroy.elapsed() < 2000);
        // The run ended without a question or a notice.
        QCOMPARE(w.prompt.shown, QStringList());
    }

    void dialogStormsNeitherStopNorHang_data()
    {
        QTest::addColumn<QString>("calls");
        QTest::newRow("alert and confirm")
            << QStringLiteral("try { alert('a' + n); } catch (e) {} try { confirm('c' + n); } catch (e) {}");
        QTest::newRow("print and before-unload")
            << QStringLiteral("try { print(); } catch (e) {}"
                              "window.onbeforeunload = function (e) { e.preventDefault(); return 'stay'; };");
        // prompt() is not among the suppression scripts, and the Extract
        // command switches Silent off while it works: only the run keeping
        // the page's dialogs answered keeps each prompt from holding the chain.
        QTest::newRow("prompt") << QStringLiteral("try { prompt('p' + n, 'x'); } catch (e) {}");
    }

    void dialogStormsNeitherStopNorHang()
    {
        QFETCH(QString, calls);
        HostileWindow w;
        QVERIFY(w.ready());
        ModalGuard guard;
        // Bounded storms: at load, and on a timer while the chain works.
        const QString storm = Script(QStringLiteral(
            "var n = 0;"
            "function storm() { if (n > 4000) return;"
            "  for (var i = 0; i < 20; i++, n++) { %1 } }"
            "storm(); setInterval(storm, 2);").arg(calls));
        w.server.addPage(QStringLiteral("/s1.html"),
                         ChapterPage(QStringLiteral("第一章 风暴_书"), kLines, storm + NextLink(QStringLiteral("/s2.html"))));
        w.server.addPage(QStringLiteral("/s2.html"), ChapterPage(QStringLiteral("第二章 风暴_书"), kLines, storm));
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/s1.html"));
        QVERIFY(w.waitForNotices(1, 30000));
        w.settle(300);
        qInfo("%s storm: %lld dialog boxes shown%s%s", QTest::currentDataTag(), qlonglong(guard.seen.size()),
              guard.seen.isEmpty() ? "" : ", the first: ", qPrintable(guard.seen.value(0)));
        QVERIFY(guard.seen.isEmpty());
        QCOMPARE(w.prompt.questions, QStringList());
        QCOMPARE(w.savedFiles(), (QStringList{FileOf(QStringLiteral("第一章 风暴")), FileOf(QStringLiteral("第二章 风暴"))}));
        QVERIFY(SavedAsExpected(w, QStringLiteral("第一章 风暴")));
        QVERIFY(SavedAsExpected(w, QStringLiteral("第二章 风暴")));
    }

    void windowOpenLoopsOpenNothing()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        // window.open by the page and through fresh frames, whose windows
        // the page gets before any script of the program could run there.
        const QString loop = Script(QStringLiteral(
            "var k = 0;"
            "function burst() { if (k > 400) return;"
            "  for (var i = 0; i < 10; i++, k++) {"
            "    try { window.open('/popup' + k + '.html', '_blank'); } catch (e) {}"
            "    try { var f = document.createElement('iframe'); document.body.appendChild(f);"
            "          f.contentWindow.open('/framepop' + k + '.html'); } catch (e) {}"
            "  } }"
            "burst(); setInterval(burst, 5);"));
        for (int k = 0; k <= 410; ++k) {
            w.server.addPage(QStringLiteral("/popup%1.html").arg(k), ChapterPage(QStringLiteral("弹窗_书"), kLines));
            w.server.addPage(QStringLiteral("/framepop%1.html").arg(k), ChapterPage(QStringLiteral("弹窗_书"), kLines));
        }
        w.server.addPage(QStringLiteral("/o1.html"),
                         ChapterPage(QStringLiteral("第一章 开窗_书"), kLines, loop + NextLink(QStringLiteral("/o2.html"))));
        w.server.addPage(QStringLiteral("/o2.html"), ChapterPage(QStringLiteral("第二章 开窗_书"), kLines, loop));
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/o1.html"));
        QVERIFY(w.waitForNotices(1, 30000));
        w.settle(500);

        int popups = 0;
        for (int k = 0; k <= 410; ++k)
            popups += w.server.requestCount(QStringLiteral("/popup%1.html").arg(k))
                + w.server.requestCount(QStringLiteral("/framepop%1.html").arg(k));
        qInfo("window.open loop: %d pop-up addresses fetched", popups);
        QCOMPARE(popups, 0);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget *t) { return t->isVisible(); }), 1);
        QCOMPARE(w.savedFiles(), (QStringList{FileOf(QStringLiteral("第一章 开窗")), FileOf(QStringLiteral("第二章 开窗"))}));
        QVERIFY(SavedAsExpected(w, QStringLiteral("第一章 开窗")));
        QVERIFY(SavedAsExpected(w, QStringLiteral("第二章 开窗")));
        QCOMPARE(w.window().WebBrowser1->LocationURL(), w.server.url(QStringLiteral("/o2.html")).toString());
    }

    void pageClosingItselfDuringARun_data()
    {
        QTest::addColumn<QString>("closer");
        QTest::newRow("while loading") << QStringLiteral("window.close();");
        QTest::newRow("just after load")
            << QStringLiteral("window.addEventListener('load', function () { setTimeout(function () { window.close(); }, 0); });");
        QTest::newRow("during the run")
            << QStringLiteral("window.addEventListener('load', function () { setTimeout(function () { window.close(); }, 15); });");
    }

    void pageClosingItselfDuringARun()
    {
        QFETCH(QString, closer);
        HostileWindow w;
        QVERIFY(w.ready());
        w.server.addPage(QStringLiteral("/c1.html"),
                         ChapterPage(QStringLiteral("第一章 告别_书"), kLines, NextLink(QStringLiteral("/c2.html"))));
        w.server.addPage(QStringLiteral("/c2.html"),
                         ChapterPage(QStringLiteral("第二章 告别_书"), kLines, Script(closer) + NextLink(QStringLiteral("/c3.html"))));
        w.server.addPage(QStringLiteral("/c3.html"), ChapterPage(QStringLiteral("第三章 告别_书"), kLines));
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/c1.html"));
        // Either the chain goes on to its end, or the browser shows the blank
        // page, as a closed window does, with the program's title. The window
        // starts on that blank page too: it counts only once the closing page
        // was asked for.
        const bool ended = pagewick::testsupport::waitUntil(
            [&] {
                return !w.prompt.notices.isEmpty()
                    || (w.server.requestCount(QStringLiteral("/c2.html")) > 0
                        && w.window().WebBrowser1->LocationURL() == QLatin1String("about:blank")
                        && w.window().windowTitle() == pagewick::window::programTitle());
            },
            30000);
        QVERIFY(ended);
        w.settle(500);
        const bool blank = w.window().WebBrowser1->LocationURL() == QLatin1String("about:blank");
        qInfo("page closing itself (%s): %s; files %s", qPrintable(QString::fromUtf8(QTest::currentDataTag())),
              blank ? "blank page shown" : "chain went on to its end",
              qPrintable(w.savedFiles().join(QLatin1Char(','))));
        QVERIFY(SavedAsExpected(w, QStringLiteral("第一章 告别")));
        // Whatever was saved is right: no file holds another page's text.
        for (const QString &name : w.savedFiles()) {
            const QString title = name.chopped(4);
            QVERIFY2(SavedAsExpected(w, title), qPrintable(name));
        }
        if (!blank) {
            QCOMPARE(w.prompt.notices.size(), 1);
            QVERIFY(SavedAsExpected(w, QStringLiteral("第三章 告别")));
        }
    }

    void navigationInTheMiddleOfTheRead()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        // Big enough that the read takes a while: about 20,000 elements.
        QString filler;
        for (int k = 0; k < 5000; ++k)
            filler += QStringLiteral("<div class=\"c\"><a href=\"/u/%1\">读者%1</a><span>好看好看好看</span><em>赞</em></div>").arg(k);
        w.server.addPage(QStringLiteral("/big.html"), ChapterPage(QStringLiteral("第一章 半途_书"), kLines, filler));
        w.server.addPage(QStringLiteral("/b.html"), ChapterPage(QStringLiteral("第二章 改道_书"), kLines));
        w.setSilentMode(true);

        QWebEnginePage *page = PageOf(w.window());
        QVERIFY(page);
        bool navigated = false;
        // Once the big page has loaded, the extraction reads it; a navigation
        // lands in the middle of that read.
        QMetaObject::Connection c = connect(page, &QWebEnginePage::loadFinished, &w.window(), [&] {
            if (navigated || page->url() != w.server.url(QStringLiteral("/big.html")))
                return;
            navigated = true;
            QTimer::singleShot(40, &w.window(), [&] {
                w.window().WebBrowser1->Navigate(w.server.url(QStringLiteral("/b.html")).toString());
            });
        });
        w.startAt(QStringLiteral("/big.html"));
        QVERIFY(pagewick::testsupport::waitUntil([&] { return !w.prompt.notices.isEmpty() && w.savedBytes(FileOf(QStringLiteral("第二章 改道"))); }, 30000));
        disconnect(c);
        w.settle(500);
        qInfo("navigation during the read: files %s, notices %lld",
              qPrintable(w.savedFiles().join(QLatin1Char(','))), qlonglong(w.prompt.notices.size()));
        QVERIFY(navigated);
        QVERIFY(SavedAsExpected(w, QStringLiteral("第二章 改道")));
        // The interrupted page is saved right or not at all: a run whose
        // read failed saves nothing, under no former title.
        for (const QString &name : w.savedFiles()) {
            QVERIFY2(name == FileOf(QStringLiteral("第一章 半途")) || name == FileOf(QStringLiteral("第二章 改道")),
                     qPrintable(name));
            QVERIFY2(SavedAsExpected(w, name.chopped(4)), qPrintable(name));
        }
    }

    void renderProcessDyingDuringTheChain_data()
    {
        QTest::addColumn<bool>("byNavigation");
        QTest::newRow("killed") << false;
        QTest::newRow("chrome://crash") << true;
    }

    void renderProcessDyingDuringTheChain()
    {
        QFETCH(bool, byNavigation);
        HostileWindow w;
        QVERIFY(w.ready());
        for (int n = 1; n <= 3; ++n) {
            const QString next = n < 3 ? NextLink(QStringLiteral("/r%1.html").arg(n + 1)) : QString();
            w.server.addPage(QStringLiteral("/r%1.html").arg(n),
                             ChapterPage(QStringLiteral("第%1章 崩溃_书").arg(n), kLines, next));
        }
        // The second page comes late, so the renderer dies while the chain waits for it.
        w.server.addDelayedPage(QStringLiteral("/r2.html"),
                                ChapterPage(QStringLiteral("第2章 崩溃_书"), kLines, NextLink(QStringLiteral("/r3.html"))), 1500);
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/r1.html"));
        QVERIFY(pagewick::testsupport::waitUntil([&] { return w.server.requestCount(QStringLiteral("/r2.html")) > 0; }, 20000));
        if (byNavigation)
            w.window().WebBrowser1->Navigate(QStringLiteral("chrome://crash"));
        else
            QVERIFY(pagewick::testsupport::killRenderProcesses() > 0);

        // The chain may go on by itself; otherwise the user opens the next
        // page again, and from there the chain must work.
        const bool wentOn = w.waitForNotices(1, 8000);
        if (!wentOn)
            w.startAt(QStringLiteral("/r2.html"));
        QVERIFY(w.waitForNotices(1, 30000));
        w.settle(300);
        qInfo("render process %s: chain %s; files %s", byNavigation ? "crashed" : "killed",
              wentOn ? "went on by itself" : "went on once the page was opened again",
              qPrintable(w.savedFiles().join(QLatin1Char(','))));
        for (int n = 1; n <= 3; ++n)
            QVERIFY2(SavedAsExpected(w, QStringLiteral("第%1章 崩溃").arg(n)), qPrintable(QString::number(n)));
        for (const QString &name : w.savedFiles())
            QVERIFY2(SavedAsExpected(w, name.chopped(4)), qPrintable(name));
    }

    void documentsThatAreNotHtml_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("type");
        QTest::newRow("image") << TinyPng() << QByteArray("image/png");
        QTest::newRow("plain text") << QByteArray("第一行，没有标记。\n第二行。\n") << QByteArray("text/plain; charset=utf-8");
        QTest::newRow("binary") << QByteArray("\x00\x01\x02\xff\xfe", 5) << QByteArray("application/octet-stream");
        QTest::newRow("json") << QByteArray("{\"a\": [1, 2, 3]}") << QByteArray("application/json");
    }

    void documentsThatAreNotHtml()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, type);
        HostileWindow w;
        QVERIFY(w.ready());
        ModalGuard guard;
        w.server.addPage(QStringLiteral("/doc"), body, type);
        w.server.addPage(QStringLiteral("/after.html"), ChapterPage(QStringLiteral("第一章 之后_书"), kLines));
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/doc"));
        QVERIFY(pagewick::testsupport::waitUntil([&] { return w.server.requestCount(QStringLiteral("/doc")) > 0; }, 20000));
        w.settle(1200);
        const QStringList afterDocument = w.savedFiles();
        const qsizetype noticesAfterDocument = w.prompt.notices.size();
        qInfo("%s document: files %s, notices %lld, caption '%s'", QTest::currentDataTag(),
              qPrintable(afterDocument.join(QLatin1Char(','))), qlonglong(noticesAfterDocument),
              qPrintable(w.window().windowTitle()));
        QCOMPARE(guard.seen, QStringList());
        QCOMPARE(w.prompt.questions, QStringList());
        // A document with text is collected and ends with the notice (it
        // has no link); one without text leaves the program's title.
        if (noticesAfterDocument == 0)
            QCOMPARE(w.window().windowTitle(), pagewick::window::programTitle());

        // The next page works as usual.
        w.startAt(QStringLiteral("/after.html"));
        QVERIFY(w.waitForNotices(int(noticesAfterDocument) + 1, 30000));
        QVERIFY(SavedAsExpected(w, QStringLiteral("第一章 之后")));
    }

    void gbkPageWithInvalidBytes()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        const QString title = QStringLiteral("第一章 乱码");
        QByteArray page = pagewick::testsupport::encodeGbk(
            QStringLiteral("<html><head><title>") + title + QStringLiteral("@_书</title></head><body><div id=\"content\">"));
        QVERIFY(!page.isEmpty());
        // Lone 0xFF bytes are invalid in GBK; the engine decodes each to one
        // replacement character (which one is its choice). One sits in the title.
        page.replace('@', "\xff");
        const QStringList lines = ChapterLines(kLines);
        QStringList expectedLines;
        for (int l = 0; l < lines.size(); ++l) {
            page += pagewick::testsupport::encodeGbk(lines.at(l).left(5));
            page += "\xff\xff";
            page += pagewick::testsupport::encodeGbk(lines.at(l).mid(5));
            if (l + 1 < lines.size())
                page += "<br>";
            expectedLines << lines.at(l).left(5) + QStringLiteral("@@") + lines.at(l).mid(5);
        }
        page += "</div></body></html>";
        w.server.addPage(QStringLiteral("/gbk.html"), page, "text/html; charset=gbk");
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/gbk.html"));
        QVERIFY(w.waitForNotices(1, 30000));

        const QString shown = w.window().Text1->text();
        QVERIFY(shown.startsWith(title));
        const QChar replacement = shown.at(title.size());
        QVERIFY2(replacement == QChar(0xFFFD) || replacement.category() == QChar::Other_PrivateUse,
                 qPrintable(QString::number(replacement.unicode(), 16)));
        const QString cleanTitle = title + replacement;
        const QString crlf = QStringLiteral("\r\n");
        QString expected = cleanTitle + crlf + crlf + expectedLines.join(crlf) + crlf;
        expected.replace(QLatin1Char('@'), replacement);
        QCOMPARE(w.window().Text1->text(), expected);
        const QStringList files = w.savedFiles();
        QCOMPARE(files.size(), 1);
        QCOMPARE(w.savedBytes(files.first()).value_or("<none>"), pagewick::workflow::encodeForLocale(expected));
    }
};

QTEST_MAIN(TstHostilePages)
#include "tst_hostilepages.moc"
