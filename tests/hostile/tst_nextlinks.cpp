// The next-page step against the links of the real web, in the program's real
// window: next links run by script ("#", "javascript:", no target), a click
// that loads nothing, a page that changes between the read and the click, a
// site that splits its chapters ("下一页" within, "下一章" at the end), and the
// page interval.
#include "tests/hostile/hostilefixture.h"
#include "tests/hostile/tickgapmeter.h"
#include "tests/support/enginetestutil.h"

#include "browser/webbrowser.h"
#include "workflow/chaintiming.h"
#include "workflow/filesystem.h"
#include "workflow/localecodec.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <functional>

using pagewick::browser::WebBrowser;
using pagewick::testsupport::WindowFixture;
using pagewick::workflow::ChainTiming;

namespace {

constexpr int kLines = 12;
constexpr int kNoNavigationMs = 1500;

const QString kNotice =
    QStringLiteral("   可能你没有设置当前页的下页链接名称或者设置不对，或者是网页已经提取结束了，请检查!    ");

const ChainTiming *ShortWatch()
{
    static const ChainTiming timing = [] {
        ChainTiming t;
        t.noNavigationMs = kNoNavigationMs;
        return t;
    }();
    return &timing;
}

// A chapter page of `lines` lines (so that each page's text is its own)
// with `extra` after its content.
void AddPage(WindowFixture &w, const QString &path, const QString &title, int lines, const QString &extra)
{
    w.server.addPage(path, ChapterPage(title, lines, extra));
}

// Each title saved as "<title>.txt" with the text of its page.
void CheckSaved(WindowFixture &w, const QStringList &titles, const QList<int> &lines)
{
    QStringList files;
    for (const QString &t : titles)
        files << t + QStringLiteral(".txt");
    files.sort();
    QCOMPARE(w.savedFiles(), files);
    for (qsizetype i = 0; i < titles.size(); ++i) {
        QCOMPARE(w.savedBytes(titles.at(i) + QStringLiteral(".txt")).value_or("<none>"),
                 pagewick::workflow::encodeForLocale(ExpectedChapterFile(titles.at(i), lines.at(i))));
    }
}

// The real file system, running `afterWrite` after each file written.
class HookedFileSystem : public pagewick::workflow::FileSystem
{
public:
    std::function<void(int)> afterWrite;
    int writes = 0;

    bool exists(const QString &path) override { return real().exists(path); }
    bool isNormalFile(const QString &path) override { return real().isNormalFile(path); }
    bool createDirectory(const QString &path) override { return real().createDirectory(path); }
    std::optional<QByteArray> readFile(const QString &path) override { return real().readFile(path); }
    bool writeFileReplacing(const QString &path, const QByteArray &bytes) override
    {
        const bool ok = real().writeFileReplacing(path, bytes);
        ++writes;
        if (afterWrite)
            afterWrite(writes);
        return ok;
    }
    bool appendFile(const QString &path, const QByteArray &bytes) override { return real().appendFile(path, bytes); }

private:
    static pagewick::workflow::FileSystem &real() { return pagewick::workflow::realFileSystem(); }
};

} // namespace

class TstNextLinks : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    // %1 in `link` is the next page's address.
    void scriptLinksAreFollowed_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("byHand");
        const QString hash = QStringLiteral("<a href=\"#\" onclick=\"location.href='%1'; return false;\">下一页</a>");
        const QString js = QStringLiteral("<script>function go(u) { location.href = u; }</script>"
                                          "<a href=\"javascript:go('%1')\">下一页</a>");
        const QString none = QStringLiteral("<a onclick=\"location.href='%1'\">下一页</a>");
        const QString listener = QStringLiteral(
            "<a id=\"n\" href=\"#next\">下一页</a><script>document.getElementById('n').addEventListener("
            "'click', function (e) { e.preventDefault(); setTimeout(function () { location.assign('%1'); }, 50); });"
            "</script>");
        QTest::newRow("# with onclick, chain") << hash << false;
        QTest::newRow("# with onclick, by hand") << hash << true;
        QTest::newRow("javascript:, chain") << js << false;
        QTest::newRow("no target, chain") << none << false;
        QTest::newRow("no target, by hand") << none << true;
        QTest::newRow("#next with a listener, chain") << listener << false;
    }
    void scriptLinksAreFollowed()
    {
        QFETCH(QString, link);
        QFETCH(bool, byHand);
        WindowFixture w(nullptr, kHostileReadTimeoutMs, ShortWatch());
        QVERIFY(w.ready());
        const QStringList titles{QStringLiteral("第一章 甲"), QStringLiteral("第二章 乙"), QStringLiteral("第三章 丙")};
        AddPage(w, QStringLiteral("/p1.html"), titles[0], kLines, link.arg(QStringLiteral("/p2.html")));
        AddPage(w, QStringLiteral("/p2.html"), titles[1], kLines + 1, link.arg(QStringLiteral("/p3.html")));
        AddPage(w, QStringLiteral("/p3.html"), titles[2], kLines + 2, QString());

        if (byHand) {
            w.prompt.setAnswerWhenEmpty(false);
            QSignalSpy completes(w.window().WebBrowser1, &WebBrowser::DocumentComplete);
            w.startAt(QStringLiteral("/p1.html"));
            ENGINE_TRY_COMPARE(w.prompt.questions.size(), 1, 30000);
            w.window().Cmd_next->click();
            ENGINE_TRY_COMPARE(w.window().WebBrowser1->LocationURL(), w.server.url(QStringLiteral("/p2.html")).toString(), 30000);
            QCOMPARE(w.prompt.notices, QStringList{});
            return;
        }
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/p1.html"));
        QVERIFY(w.waitForNotices(1, 60000));
        WindowFixture::settle();

        CheckSaved(w, titles, {kLines, kLines + 1, kLines + 2});
        QCOMPARE(w.prompt.notices, QStringList{kNotice});
        QCOMPARE(w.server.requestCount(QStringLiteral("/p2.html")), 1);
        QCOMPARE(w.server.requestCount(QStringLiteral("/p3.html")), 1);
    }

    // A next link whose click loads no page ends a silent chain with the
    // notice once the watch runs out, instead of leaving it waiting.
    void clickThatLoadsNothingEndsTheChain_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("javascript:void(0)") << "<a href=\"javascript:void(0)\">下一页</a>";
        QTest::newRow("# without a handler") << "<a href=\"#\">下一页</a>";
        QTest::newRow("a handler that does nothing") << "<a onclick=\"return false;\">下一页</a>";
    }
    void clickThatLoadsNothingEndsTheChain()
    {
        QFETCH(QString, link);
        WindowFixture w(nullptr, kHostileReadTimeoutMs, ShortWatch());
        QVERIFY(w.ready());
        const QStringList titles{QStringLiteral("第一章 甲"), QStringLiteral("第二章 乙")};
        AddPage(w, QStringLiteral("/p1.html"), titles[0], kLines, NextLink(QStringLiteral("/p2.html")));
        AddPage(w, QStringLiteral("/p2.html"), titles[1], kLines + 1, link);
        // From the last page's load start, before its click.
        QElapsedTimer sinceLastPage;
        QObject::connect(w.window().WebBrowser1, &WebBrowser::DownloadBegin, &w.window(),
                         [&] { sinceLastPage.start(); });
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/p1.html"));

        QVERIFY(w.waitForNotices(1, 60000));
        const qint64 waited = sinceLastPage.elapsed();
        QVERIFY2(waited >= kNoNavigationMs, qPrintable(QString::number(waited)));
        QVERIFY2(waited < kNoNavigationMs + 10000, qPrintable(QString::number(waited)));
        WindowFixture::settle(kNoNavigationMs + 300);
        QCOMPARE(w.prompt.notices, QStringList{kNotice});
        CheckSaved(w, titles, {kLines, kLines + 1});
    }

    // The page puts a link in front of the next link between the read that
    // found it and the click: the click is refused in the page and the link
    // looked up again. The inserted link is never clicked.
    void changedPageIsNotClickedBlindly_data()
    {
        QTest::addColumn<bool>("betweenReadAndClick");
        QTest::newRow("between the read and the click") << true;
        QTest::newRow("by the page, just after loading") << false;
    }
    void changedPageIsNotClickedBlindly()
    {
        QFETCH(bool, betweenReadAndClick);
        HookedFileSystem files;
        WindowFixture w(&files, kHostileReadTimeoutMs, ShortWatch());
        QVERIFY(w.ready());
        const QString insertAd = QStringLiteral(
            "<script>function insertAd() { var a = document.createElement('a'); a.href = '/trap.html';"
            " a.textContent = '精彩推荐'; var n = document.getElementById('next');"
            " n.parentNode.insertBefore(a, n); }%1</script>")
                                     .arg(betweenReadAndClick ? QString()
                                                              : QStringLiteral("setTimeout(insertAd, 20);"));
        const QStringList titles{QStringLiteral("第一章 甲"), QStringLiteral("第二章 乙")};
        AddPage(w, QStringLiteral("/p1.html"), titles[0], kLines,
                QStringLiteral("<p><a id=\"next\" href=\"/p2.html\">下一页</a></p>") + insertAd);
        AddPage(w, QStringLiteral("/p2.html"), titles[1], kLines + 1, QString());
        w.server.addPage(QStringLiteral("/trap.html"), ChapterPage(QStringLiteral("陷阱"), kLines));
        bool inserted = false;
        if (betweenReadAndClick) {
            // In answer mode the next-page step reads the page after the
            // save (a silent chain clicks as it reads): the first event the
            // loop runs after the save is inside that read, and the page
            // changes behind it.
            files.afterWrite = [&](int n) {
                if (n != 1)
                    return;
                QTimer::singleShot(0, &w.window(), [&] {
                    WebBrowser *browser = w.window().WebBrowser1;
                    inserted = browser->execScript(browser->Object(), QStringLiteral("insertAd();"));
                });
            };
        }
        w.setSilentMode(!betweenReadAndClick);
        w.prompt.setAnswerWhenEmpty(true);
        w.startAt(QStringLiteral("/p1.html"));

        QVERIFY(w.waitForNotices(1, 60000));
        WindowFixture::settle();
        if (betweenReadAndClick)
            QVERIFY(inserted);
        QCOMPARE(w.server.requestCount(QStringLiteral("/trap.html")), 0);
        CheckSaved(w, titles, {kLines, kLines + 1});
        QCOMPARE(w.prompt.notices, QStringList{kNotice});
    }

    // A site that splits each chapter over pages: "下一页" leads through a
    // chapter, only its last page has "下一章" (ahead of "下一页" in the
    // page, on every page).
    void splitChapters_data()
    {
        QTest::addColumn<QString>("names");
        QTest::addColumn<QStringList>("pages"); // "c-k" in the order collected
        QTest::newRow("下一页|下一章: the whole book")
            << "下一页|下一章" << QStringList{"1-1", "1-2", "1-3", "2-1", "2-2", "3-1", "3-2", "3-3"};
        // The starting name goes on by "下一章" where a page has no "下一页".
        QTest::newRow("下一页 as it starts: the whole book")
            << "下一页" << QStringList{"1-1", "1-2", "1-3", "2-1", "2-2", "3-1", "3-2", "3-3"};
        QTest::newRow("typed names are used as typed: the first chapter")
            << "下一页|下一节" << QStringList{"1-1", "1-2", "1-3"};
        QTest::newRow("下一章|下一页: chapter starts, then the last chapter's pages")
            << "下一章|下一页" << QStringList{"1-1", "2-1", "3-1", "3-2", "3-3"};
    }
    void splitChapters()
    {
        QFETCH(QString, names);
        QFETCH(QStringList, pages);
        WindowFixture w(nullptr, kHostileReadTimeoutMs, ShortWatch());
        QVERIFY(w.ready());
        const QList<int> pagesOf{3, 2, 3};
        const auto title = [](int c, int k) { return QStringLiteral("第%1章 第%2页").arg(c).arg(k); };
        const auto lines = [](int c, int k) { return kLines + c * 4 + k; };
        for (int c = 1; c <= 3; ++c) {
            for (int k = 1; k <= pagesOf[c - 1]; ++k) {
                QString nav = QStringLiteral("<p><a href=\"/index.html\">目录</a> ");
                if (c < 3)
                    nav += QStringLiteral("<a href=\"/c%1_1.html\">下一章</a> ").arg(c + 1);
                if (k < pagesOf[c - 1])
                    nav += QStringLiteral("<a href=\"/c%1_%2.html\">下一页</a>").arg(c).arg(k + 1);
                AddPage(w, QStringLiteral("/c%1_%2.html").arg(c).arg(k), title(c, k), lines(c, k),
                        nav + QStringLiteral("</p>"));
            }
        }
        w.window().Txt_Next->setText(names);
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/c1_1.html"));

        QVERIFY(w.waitForNotices(1, 90000));
        WindowFixture::settle();
        QStringList titles;
        QList<int> lineCounts;
        for (const QString &p : pages) {
            const int c = p.section(QLatin1Char('-'), 0, 0).toInt();
            const int k = p.section(QLatin1Char('-'), 1, 1).toInt();
            titles << title(c, k);
            lineCounts << lines(c, k);
        }
        CheckSaved(w, titles, lineCounts);
        QCOMPARE(w.prompt.notices, QStringList{kNotice});
    }

    // With a page interval of 1 s each next-page click waits 0.5 to 1.5 s,
    // counted down on the status line, and the window keeps answering.
    void pageIntervalPacesTheChain()
    {
        WindowFixture w(nullptr, kHostileReadTimeoutMs, ShortWatch());
        QVERIFY(w.ready());
        const QStringList titles{QStringLiteral("第一章 甲"), QStringLiteral("第二章 乙"), QStringLiteral("第三章 丙")};
        AddPage(w, QStringLiteral("/p1.html"), titles[0], kLines, NextLink(QStringLiteral("/p2.html")));
        AddPage(w, QStringLiteral("/p2.html"), titles[1], kLines + 1, NextLink(QStringLiteral("/p3.html")));
        AddPage(w, QStringLiteral("/p3.html"), titles[2], kLines + 2, QString());
        QList<qint64> loads;
        QElapsedTimer clock;
        QStringList statuses;
        // Samples the status line while the chain runs; each wait shows its countdown.
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, &w.window(), [&] {
            const QString s = w.window().Lab_bt->text();
            if (statuses.isEmpty() || statuses.last() != s)
                statuses << s;
        });
        sampler.start(20);
        QObject::connect(w.window().WebBrowser1, &WebBrowser::DownloadBegin, &w.window(),
                         [&] { loads << clock.elapsed(); });
        w.window().Spn_jiange->setValue(1);
        w.setSilentMode(true);
        TickGapMeter meter;
        clock.start();
        meter.arm();
        w.startAt(QStringLiteral("/p1.html"));

        QVERIFY(w.waitForNotices(1, 60000));
        meter.disarm();
        WindowFixture::settle();

        CheckSaved(w, titles, {kLines, kLines + 1, kLines + 2});
        // The start page's load, then one load per paced click.
        QCOMPARE(loads.size(), 3);
        const qint64 elapsed = loads.last() - loads.first();
        QVERIFY2(elapsed >= 1000, qPrintable(QString::number(elapsed)));
        QVERIFY(statuses.contains(QStringLiteral("等待 1 秒后打开下一页…")));
        // The window answered all along: no gap anywhere near the wait.
        QVERIFY2(meter.longestGapMs() < 400, qPrintable(QString::number(meter.longestGapMs())));
        QVERIFY(meter.ticks() > 50);
    }

    // Unticking silent mode during the wait calls the click off.
    void untickingSilentModeCallsTheClickOff()
    {
        WindowFixture w(nullptr, kHostileReadTimeoutMs, ShortWatch());
        QVERIFY(w.ready());
        AddPage(w, QStringLiteral("/p1.html"), QStringLiteral("第一章 甲"), kLines, NextLink(QStringLiteral("/p2.html")));
        AddPage(w, QStringLiteral("/p2.html"), QStringLiteral("第二章 乙"), kLines + 1, QString());
        w.window().Spn_jiange->setValue(2);
        w.setSilentMode(true);
        w.startAt(QStringLiteral("/p1.html"));
        ENGINE_TRY_VERIFY(w.window().Lab_bt->text().startsWith(QStringLiteral("等待 ")), 30000);

        w.setSilentMode(false);
        QCOMPARE(w.window().Lab_bt->text(), QStringLiteral("已取消打开下一页"));
        WindowFixture::settle(3500);

        QCOMPARE(w.server.requestCount(QStringLiteral("/p2.html")), 0);
        QCOMPARE(w.savedFiles(), QStringList{QStringLiteral("第一章 甲.txt")});
        QCOMPARE(w.prompt.shown, QStringList{});
    }
};

QTEST_MAIN(TstNextLinks)
#include "tst_nextlinks.moc"
