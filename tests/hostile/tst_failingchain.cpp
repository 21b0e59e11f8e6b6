// A silent chain over pages that fail as pages on the real web do: error
// statuses, throttling, dropped connections, verification pages and loads
// that never end. Error pages are never saved; the chain's own pages are
// loaded again after short pauses (the real ones are minutes) until they
// work, and the book ends whole.
#include "tests/hostile/hostilefixture.h"
#include "tests/support/enginetestutil.h"

#include "browser/webbrowser.h"
#include "window/frmmain.h"
#include "workflow/chaintiming.h"
#include "workflow/loadfailure.h"
#include "workflow/localecodec.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using pagewick::testsupport::LoopbackServer;
namespace workflow = pagewick::workflow;

namespace {

constexpr int kLines = 20;
constexpr int kChapters = 3;

QString Title(int n)
{
    return QStringLiteral("第%1章 风雨").arg(n);
}

QString Path(int n)
{
    return QStringLiteral("/c%1.html").arg(n);
}

// Pauses of a few hundred milliseconds: a failing page is tried again at once.
workflow::ChainTiming ShortTiming(int retryMs = 150)
{
    workflow::ChainTiming timing;
    timing.retryDelaysMs = QList<int>(6, retryMs);
    timing.readRetryPauseMs = 200;
    // The slower pace a throttling site brings is kept in tenths of the real one.
    timing.secondMs = 100;
    return timing;
}

// The book: chapter pages linked by 下一页, the last one without a link.
void ServeBook(LoopbackServer &server, const QString &extraOfSecond = {})
{
    for (int n = 1; n <= kChapters; ++n) {
        const QString next = n < kChapters ? NextLink(Path(n + 1)) : QString();
        server.addPage(Path(n), ChapterPage(Title(n) + QStringLiteral("_书站"), kLines,
                                            next + (n == 2 ? extraOfSecond : QString())));
    }
}

QByteArray ErrorPage(const QString &text)
{
    return (QStringLiteral("<html><head><title>出错了</title></head><body><p>") + text
            + QStringLiteral("，请稍后再试。这一页的文字足够长，长得像一章正文，但它不是正文。</p></body></html>"))
        .toUtf8();
}

// Every chapter saved exactly as from a healthy book, and no other file.
void CheckWholeBook(const HostileWindow &w)
{
    QStringList expected;
    for (int n = 1; n <= kChapters; ++n)
        expected << Title(n) + QStringLiteral(".txt");
    expected.sort();
    QCOMPARE(w.savedFiles(), expected);
    for (int n = 1; n <= kChapters; ++n) {
        const QByteArray want = workflow::encodeForLocale(ExpectedChapterFile(Title(n), kLines));
        QCOMPARE(w.savedBytes(Title(n) + QStringLiteral(".txt")).value_or("<none>"), want);
    }
}

// A minimal valid PNG: 1 x 1 pixel.
QByteArray TinyPng()
{
    return QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8DwHwAFBQIAX8jx0gAAAABJRU5ErkJggg==");
}

QWebEnginePage *PageOf(pagewick::window::Frmmain &window)
{
    auto *view = qobject_cast<QWebEngineView *>(window.WebBrowser1->widget());
    return view ? view->page() : nullptr;
}

} // namespace

class TstFailingChain : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void failingPageIsRetriedUntilItWorks_data()
    {
        QTest::addColumn<QList<int>>("failures");
        QTest::newRow("503 twice") << QList<int>{503, 503};
        QTest::newRow("429") << QList<int>{429};
        QTest::newRow("dropped connection") << QList<int>{LoopbackServer::kDropConnection};
        QTest::newRow("404, then the page is there") << QList<int>{404};
        QTest::newRow("500, dropped, 503") << QList<int>{500, LoopbackServer::kDropConnection, 503};
    }
    void failingPageIsRetriedUntilItWorks()
    {
        QFETCH(QList<int>, failures);
        const workflow::ChainTiming timing = ShortTiming();
        HostileWindow w(nullptr, &timing);
        QVERIFY(w.ready());
        ServeBook(w.server);
        w.server.queueFailures(Path(2), failures, ErrorPage(QStringLiteral("服务器忙")));
        w.setSilentMode(true);
        QElapsedTimer clock;
        clock.start();

        w.startAt(Path(1));
        // The retry status is shown while the chain waits.
        QVERIFY(pagewick::testsupport::waitUntil([&] { return w.window().Lab_bt->text().contains(QStringLiteral("秒后第1次重试")); }, 30000));
        QVERIFY(w.window().Lab_bt->text().endsWith(QStringLiteral("：") + w.server.url(Path(2)).toString()));
        QVERIFY(w.waitForNotices(1, 60000));
        qInfo("%lld failures of one page: book collected in %lld ms", qlonglong(failures.size()),
              qlonglong(clock.elapsed()));
        w.settle(300);

        CheckWholeBook(w);
        QCOMPARE(w.server.requestCount(Path(2)), int(failures.size()) + 1);
        QCOMPARE(w.prompt.notices.size(), 1); // the end of the book only
        QCOMPARE(w.prompt.questions, QStringList{});
    }

    void chainGivesUpAfterTheLastRetryAndGoesOnFromGo()
    {
        const workflow::ChainTiming timing = ShortTiming(100);
        HostileWindow w(nullptr, &timing);
        QVERIFY(w.ready());
        ServeBook(w.server);
        w.server.queueFailures(Path(2), QList<int>(7, 503), ErrorPage(QStringLiteral("服务器忙")));
        w.setSilentMode(true);
        const QString url = w.server.url(Path(2)).toString();

        w.startAt(Path(1));
        QVERIFY(w.waitForNotices(1, 60000));
        w.settle(500);

        QCOMPARE(w.prompt.notices, QStringList{workflow::GaveUpNotice(503, 6, url)});
        QCOMPARE(w.server.requestCount(Path(2)), 7);
        QCOMPARE(w.savedFiles(), QStringList{Title(1) + QStringLiteral(".txt")});
        QCOMPARE(w.window().Lab_bt->text(),
                 QStringLiteral("本次提取 2 页：已保存 1，空白 0，重复 0，失败 1（详见 pagewick-log.tsv）"));

        // As the notice says: Go on that address continues the book.
        w.startAtUrl(url);
        QVERIFY(w.waitForNotices(2, 60000));
        w.settle(300);
        CheckWholeBook(w);
    }

    // A next page that never comes: a load that ends without a page, or a
    // chapter that redirects to a busy page. The chain asks for the chapter's
    // own address each time and gives up on it by name.
    void chainGivesUpOnAPageThatNeverComes_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("status");
        QTest::newRow("204 No Content") << "204" << workflow::kNoPage;
        QTest::newRow("a download") << "download" << workflow::kNoPage;
        QTest::newRow("redirect to a busy page") << "redirect" << 503;
    }
    void chainGivesUpOnAPageThatNeverComes()
    {
        QFETCH(QString, answer);
        QFETCH(int, status);
        const workflow::ChainTiming timing = ShortTiming(100);
        HostileWindow w(nullptr, &timing);
        QVERIFY(w.ready());
        ServeBook(w.server);
        if (answer == QLatin1String("204")) {
            w.server.addPage(Path(2), {}, "text/html", 204);
        } else if (answer == QLatin1String("download")) {
            w.server.addPage(Path(2), QByteArray(4096, 'z'), "application/zip");
            w.server.addHeader(Path(2), "Content-Disposition: attachment; filename=\"c2.zip\"");
        } else {
            w.server.addPage(Path(2), {}, "text/html", 302);
            w.server.addHeader(Path(2), "Location: " + w.server.url(QStringLiteral("/busy.html")).toEncoded());
            w.server.queueFailures(QStringLiteral("/busy.html"), QList<int>(7, 503), ErrorPage(QStringLiteral("服务器忙")));
        }
        w.setSilentMode(true);
        const QString url = w.server.url(Path(2)).toString();

        w.startAt(Path(1));
        QVERIFY(w.waitForNotices(1, 60000));
        w.settle(300);

        QCOMPARE(w.prompt.notices, QStringList{workflow::GaveUpNotice(status, 6, url)});
        QCOMPARE(w.server.requestCount(Path(2)), 7);
        QCOMPARE(w.savedFiles(), QStringList{Title(1) + QStringLiteral(".txt")});
        QCOMPARE(w.window().Lab_bt->text(),
                 QStringLiteral("本次提取 2 页：已保存 1，空白 0，重复 0，失败 1（详见 pagewick-log.tsv）"));
    }

    // A server that takes the request and never answers: each load fails
    // once the response limit is over, and the chain gives up after its retries.
    void serverThatNeverAnswersIsGivenUp()
    {
        const workflow::ChainTiming timing = ShortTiming(100);
        HostileWindow w(nullptr, &timing);
        QVERIFY(w.ready());
        // Long enough for the first page, whose renderer starts with it.
        w.window().WebBrowser1->setResponseLimit(3000);
        ServeBook(w.server);
        w.server.holdPage(Path(2));
        w.setSilentMode(true);
        const QString url = w.server.url(Path(2)).toString();

        w.startAt(Path(1));
        QVERIFY(w.waitForNotices(1, 90000));
        w.settle(300);

        QCOMPARE(w.prompt.notices, QStringList{workflow::GaveUpNotice(-7, 6, url)});
        QCOMPARE(w.server.requestCount(Path(2)), 7);
        QCOMPARE(w.savedFiles(), QStringList{Title(1) + QStringLiteral(".txt")});
    }

    // Only the chain's own pages are loaded again; a page the user opened is
    // shown as it is, in either mode, and nothing is asked.
    void pagesTheUserOpensAreNotRetried_data()
    {
        QTest::addColumn<bool>("silentMode");
        QTest::newRow("silent mode") << true;
        QTest::newRow("answer mode") << false;
    }
    void pagesTheUserOpensAreNotRetried()
    {
        QFETCH(bool, silentMode);
        const workflow::ChainTiming timing = ShortTiming(100);
        HostileWindow w(nullptr, &timing);
        QVERIFY(w.ready());
        ServeBook(w.server);
        w.server.queueFailures(Path(2), {503}, ErrorPage(QStringLiteral("服务器忙")));
        w.setSilentMode(silentMode);

        w.startAt(Path(2));
        const QString url = w.server.url(Path(2)).toString();
        QVERIFY(pagewick::testsupport::waitUntil([&] { return w.window().Lab_bt->text() == workflow::FailedLoadStatus(503, url); }, 30000));
        w.settle(1000);

        QCOMPARE(w.server.requestCount(Path(2)), 1);
        QCOMPARE(w.savedFiles(), QStringList{});
        QCOMPARE(w.prompt.shown, QStringList{});
    }

    void untickingSilentModeCancelsTheRetry()
    {
        const workflow::ChainTiming timing = ShortTiming(1500);
        HostileWindow w(nullptr, &timing);
        QVERIFY(w.ready());
        ServeBook(w.server);
        w.server.queueFailures(Path(2), {503}, ErrorPage(QStringLiteral("服务器忙")));
        w.setSilentMode(true);

        w.startAt(Path(1));
        QVERIFY(pagewick::testsupport::waitUntil([&] { return w.window().Lab_bt->text().contains(QStringLiteral("2秒后第1次重试")); }, 30000));
        w.setSilentMode(false);
        w.settle(2500);

        QCOMPARE(w.server.requestCount(Path(2)), 1);
        QCOMPARE(w.prompt.shown, QStringList{});
    }

    // A verification page saves nothing and waits; once the user has passed
    // it in the browser, the real page completes and the chain goes on.
    void verificationPageWaitsForTheUser_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("title");
        QTest::newRow("403") << 403 << "Access denied";
        QTest::newRow("challenge title") << 200 << "Just a moment...";
        // The classic check answers 503.
        QTest::newRow("503 challenge") << 503 << "Just a moment...";
    }
    void verificationPageWaitsForTheUser()
    {
        QFETCH(int, status);
        QFETCH(QString, title);
        const workflow::ChainTiming timing = ShortTiming(100);
        HostileWindow w(nullptr, &timing);
        QVERIFY(w.ready());
        ServeBook(w.server);
        const QByteArray check = (QStringLiteral("<html><head><title>") + title
                                  + QStringLiteral("</title></head><body><p>请证明你不是机器人，这一段文字足够长，长得像一章正文。</p>"
                                                   "<a id=\"pass\" href=\"") + Path(2)
                                  + QStringLiteral("\">我不是机器人</a></body></html>"))
                                     .toUtf8();
        w.server.queueFailures(Path(2), {status}, check);
        w.setSilentMode(true);
        const QString url = w.server.url(Path(2)).toString();

        w.startAt(Path(1));
        QVERIFY(pagewick::testsupport::waitUntil([&] { return w.window().Lab_bt->text().contains(QStringLiteral("请在浏览器中完成验证")); }, 30000));
        QVERIFY(w.window().Lab_bt->text().endsWith(url));
        w.settle(800);
        QCOMPARE(w.server.requestCount(Path(2)), 1);
        QCOMPARE(w.savedFiles(), QStringList{Title(1) + QStringLiteral(".txt")});
        QCOMPARE(w.prompt.shown, QStringList{});

        // The user's click in the page.
        PageOf(w.window())->runJavaScript(QStringLiteral("document.getElementById('pass').click();"));
        QVERIFY(w.waitForNotices(1, 60000));
        w.settle(300);
        CheckWholeBook(w);
    }

    void pageThatNeverFinishesLoadingDoesNotHoldTheChain()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        w.window().WebBrowser1->setStallLimit(500);
        ServeBook(w.server, QStringLiteral("<img src=\"/never.png\"><iframe src=\"/never.html\"></iframe>"));
        w.server.holdPage(QStringLiteral("/never.png"), {}, "image/png");
        w.server.holdPage(QStringLiteral("/never.html"), "<html><body>广告");
        w.setSilentMode(true);
        QElapsedTimer clock;
        clock.start();

        w.startAt(Path(1));
        QVERIFY(w.waitForNotices(1, 60000));
        qInfo("book with a page that never finishes loading: %lld ms", qlonglong(clock.elapsed()));
        w.settle(300);
        CheckWholeBook(w);
    }

    // One book whose pages fail in every way above, and whose links are
    // written as on real sites, collected in one silent run, against the
    // same book collected while every page answers.
    void wholeBookThroughEveryFailure()
    {
        constexpr int chapters = 8;
        const auto serve = [](LoopbackServer &server) {
            for (int n = 1; n <= chapters; ++n) {
                const QString next = Path(n + 1);
                QString extra;
                if (n == 3) // a script link
                    extra = QStringLiteral("<a href=\"javascript:void(0)\" onclick=\"location.href='%1'\">下一章</a>").arg(next);
                else if (n == 4) // a "#" link
                    extra = QStringLiteral("<a href=\"#\" onclick=\"location.href='%1'; return false;\">下一章</a>").arg(next);
                else if (n == 5) // the chapter goes on on a second page
                    extra = NextLink(QStringLiteral("/c5_2.html"));
                else if (n == 7) // links inserted in front of the next-page link as the page runs
                    extra = QStringLiteral("<img src=\"/ad.png\"><script>var k = 0; var t = setInterval(function () {"
                                           " var a = document.createElement('a'); a.href = '/ad' + k; a.textContent = '广告' + k;"
                                           " document.body.insertBefore(a, document.body.firstChild);"
                                           " if (++k >= 40) clearInterval(t); }, 5);</script>"
                                           "<a href=\"%1\">下一章</a>").arg(next);
                else if (n < chapters)
                    extra = QStringLiteral("<a href=\"%1\">下一章</a>").arg(next);
                server.addPage(Path(n), ChapterPage(QStringLiteral("第%1章 长夜_书站").arg(n), kLines, extra));
            }
            server.addPage(QStringLiteral("/c5_2.html"),
                           ChapterPage(QStringLiteral("第5章 长夜_书站"), kLines + 3,
                                       QStringLiteral("<a href=\"%1\">下一章</a>").arg(Path(6))));
        };
        const auto collect = [](HostileWindow &w) {
            w.window().Txt_Next->setText(QStringLiteral("下一页|下一章"));
            w.setSilentMode(true);
            w.startAt(Path(1));
            bool clicked = false;
            const bool ended = pagewick::testsupport::waitUntil(
                [&] {
                    // The user passes the check once it is shown.
                    if (!clicked && w.window().Lab_bt->text().contains(QStringLiteral("请在浏览器中完成验证"))) {
                        clicked = true;
                        PageOf(w.window())->runJavaScript(QStringLiteral("document.getElementById('pass').click();"));
                    }
                    return !w.prompt.notices.isEmpty();
                },
                120000);
            w.settle(300);
            qInfo("chain ended at %s: %s", qPrintable(w.window().WebBrowser1->LocationURL()),
                  qPrintable(w.window().Lab_bt->text()));
            QMap<QString, QByteArray> files;
            for (const QString &name : w.savedFiles())
                files.insert(name, w.savedBytes(name).value_or("<none>"));
            return ended ? files : QMap<QString, QByteArray>();
        };

        QMap<QString, QByteArray> healthy;
        {
            HostileWindow w;
            QVERIFY(w.ready());
            serve(w.server);
            w.server.addPage(QStringLiteral("/ad.png"), TinyPng(), "image/png");
            healthy = collect(w);
        }
        // The chapter on two pages is two files; the "#" and script links were followed.
        QStringList expected;
        for (int n = 1; n <= chapters; ++n)
            expected << QStringLiteral("第%1章 长夜.txt").arg(n);
        expected << QStringLiteral("第5章 长夜(2).txt");
        expected.sort();
        QCOMPARE(healthy.keys(), expected);

        const workflow::ChainTiming timing = ShortTiming(150);
        HostileWindow w(nullptr, &timing);
        QVERIFY(w.ready());
        w.window().WebBrowser1->setStallLimit(500);
        serve(w.server);
        w.server.holdPage(QStringLiteral("/ad.png"), {}, "image/png");
        const QByteArray busy = ErrorPage(QStringLiteral("服务器忙"));
        w.server.queueFailures(Path(2), {503, 503}, busy);
        w.server.queueFailures(Path(3), {429}, busy);
        w.server.queueFailures(Path(4), {LoopbackServer::kDropConnection});
        w.server.queueFailures(Path(5), {404}, ErrorPage(QStringLiteral("页面不存在")));
        w.server.queueFailures(Path(6), {403},
                               QStringLiteral("<html><head><title>Access denied</title></head><body><p>请完成验证。</p>"
                                              "<a id=\"pass\" href=\"%1\">我不是机器人</a></body></html>")
                                   .arg(Path(6))
                                   .toUtf8());
        QElapsedTimer clock;
        clock.start();
        const QMap<QString, QByteArray> failing = collect(w);
        qInfo("book of %d chapters through every failure: %lld ms", chapters, qlonglong(clock.elapsed()));

        QCOMPARE(failing.keys(), healthy.keys());
        for (auto it = healthy.cbegin(); it != healthy.cend(); ++it)
            QVERIFY2(failing.value(it.key()) == it.value(), qPrintable(it.key()));
        QCOMPARE(w.prompt.notices.size(), 1);
        QCOMPARE(w.prompt.questions, QStringList{});
        const QList<int> requests{1, 3, 2, 2, 2, 2, 1, 1};
        for (int n = 1; n <= chapters; ++n)
            QCOMPARE(w.server.requestCount(Path(n)), requests.at(n - 1));
    }

    // Moves within the document during the read (fragment, pushState) no
    // longer fail it: the page is saved at once, not as an empty file.
    void movesWithinTheDocumentDuringTheRead()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        // A page big enough that its read takes a while, moving within
        // itself all the while (every move is a NavigateComplete2).
        QString filler;
        for (int k = 0; k < 4000; ++k)
            filler += QStringLiteral("<div class=\"c\"><a href=\"/u/%1\">读者%1</a><span>好看好看好看</span><em>赞</em></div>").arg(k);
        ServeBook(w.server, filler + QStringLiteral("<script>var n = 0; var t = setInterval(function () { ++n;"
                                                    " if (n % 2) history.replaceState({}, '', '?p=' + n); else location.hash = 'h' + n;"
                                                    " if (n >= 60) clearInterval(t); }, 25);</script>"));
        w.setSilentMode(true);

        w.startAt(Path(1));
        const bool ended = w.waitForNotices(1, 60000);
        qInfo("files %s status %s caption %s at %s c3 requests %d", qPrintable(w.savedFiles().join(',')),
              qPrintable(w.window().Lab_bt->text()), qPrintable(w.window().windowTitle()),
              qPrintable(w.window().WebBrowser1->LocationURL()), w.server.requestCount(Path(3)));
        QVERIFY(ended);
        w.settle(300);
        CheckWholeBook(w);
        QVERIFY(!w.window().Lab_bt->text().contains(QStringLiteral("读取失败")));
    }
};

QTEST_MAIN(TstFailingChain)
#include "tst_failingchain.moc"
