// Whole books from pages shaped like real sites, with the options as they
// start: a Chinese site whose next link is "下一章" and whose last chapter
// leads to the book's contents page, an English site whose only next link
// is "Next<br>Chapter", and a site that throttles (429, a blank page).
#include "tests/hostile/hostilefixture.h"
#include "tests/support/enginetestutil.h"
#include "tests/workflow/localescope.h"

#include "window/frmmain.h"
#include "workflow/chaintiming.h"
#include "workflow/ledger.h"
#include "workflow/localecodec.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace workflow = pagewick::workflow;

namespace {

constexpr int kLines = 16;
constexpr int kChapters = 3;

const QString kNotice =
    QStringLiteral("   可能你没有设置当前页的下页链接名称或者设置不对，或者是网页已经提取结束了，请检查!    ");

QString Title(int n)
{
    return QStringLiteral("第%1章 夜路").arg(n);
}

// A novel site's chapter page: navigation, links before and after the text,
// and a sidebar of the book's latest chapters.
QByteArray NovelChapter(int n)
{
    const QString nav = QStringLiteral("<div class=\"bar\"><a href=\"/b/%1.html\">上一章</a> ← "
                                       "<a href=\"/b/index.html\">目录</a> → <a href=\"%2\">下一章</a></div>")
                            .arg(n - 1)
                            .arg(n < kChapters ? QStringLiteral("/b/%1.html").arg(n + 1) : QStringLiteral("/b/index.html"));
    QString latest = QStringLiteral("<div class=\"side\"><h3>最新章节</h3><ul>");
    for (int k = kChapters; k >= 1; --k)
        latest += QStringLiteral("<li><a href=\"/b/%1.html\">%2</a></li>").arg(k).arg(Title(k));
    latest += QStringLiteral("</ul></div>");
    const QString header = QStringLiteral("<div class=\"top\"><a href=\"/\">首页</a> <a href=\"/top\">排行榜</a> "
                                          "<a href=\"/b/index.html\">夜路</a></div>");
    return ChapterPage(Title(n) + QStringLiteral("_夜路_书站"), kLines, nav + latest)
        .replace("<body>", ("<body>" + header + nav).toUtf8());
}

// The list of a long book's contents page: nearly all its text is its links.
QString OlderChapters()
{
    QString list;
    for (int k = 1; k <= 30; ++k)
        list += QStringLiteral("<dd><a href=\"/b/old%1.html\">旧章第%1回</a></dd>").arg(k);
    return list;
}

// pagedContents: the list goes on on a second page, by a "下一页" link.
QByteArray ContentsPage(bool pagedContents = false)
{
    QString list;
    for (int k = 1; k <= kChapters; ++k)
        list += QStringLiteral("<dd><a href=\"/b/%1.html\">%2</a></dd>").arg(k).arg(Title(k));
    return (QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>夜路最新章节列表_书站</title>"
                           "</head><body><div class=\"top\"><a href=\"/\">首页</a> <a href=\"/top\">排行榜</a></div>"
                           "<div class=\"info\"><h1>夜路</h1><p>作者：某人</p><p>简介：一个人在夜里赶路。</p></div>"
                           "<dl><dt>最新章节</dt>")
            + list + QStringLiteral("<dt>正文</dt>") + list
            + (pagedContents ? OlderChapters() + QStringLiteral("<dd><a href=\"/b/index2.html\">下一页</a></dd>") : QString())
            + QStringLiteral("</dl><div class=\"foot\">本站所有小说均来自网络，如有侵权请联系删除。</div></body></html>"))
        .toUtf8();
}

QByteArray Encoded(const QString &text, bool gbk)
{
    return gbk ? pagewick::testsupport::encodeGbk(text) : text.toUtf8();
}

// English fiction: the page's only next link is "Next<br>Chapter".
QString EnglishLine(int chapter, int line)
{
    return QStringLiteral("In chapter %1, line %2, the rain kept falling on the old road, and she walked on.")
        .arg(chapter)
        .arg(line);
}

QByteArray EnglishChapter(int n)
{
    QStringList lines;
    for (int l = 0; l < kLines; ++l)
        lines << EnglishLine(n, l);
    const QString next = n < kChapters
                             ? QStringLiteral("<a class=\"btn\" href=\"/e/%1\">Next<br>Chapter</a>").arg(n + 1)
                             : QStringLiteral("<button class=\"btn\" disabled>Next<br>Chapter</button>");
    return (QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Chapter %1 The Road_Fiction"
                           "</title></head><body><div class=\"nav\"><a href=\"/e/%2\">Previous<br>Chapter</a>"
                           "<a href=\"/e/index\">Index</a>")
                .arg(n)
                .arg(n - 1)
            + next + QStringLiteral("</div><div class=\"chapter-content\">") + lines.join(QStringLiteral("<br>"))
            + QStringLiteral("</div></body></html>"))
        .toUtf8();
}

workflow::ChainTiming ShortTiming()
{
    workflow::ChainTiming timing;
    timing.retryDelaysMs = QList<int>(6, 150);
    timing.readRetryPauseMs = 200;
    timing.secondMs = 100;
    timing.drawFactor = [] { return 1.0; };
    return timing;
}

} // namespace

class TstWholeBook : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void novelSiteEndsAtItsContents_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<bool>("pagedContents");
        QTest::newRow("silent") << true << QByteArray("C") << false;
        QTest::newRow("answer mode") << false << QByteArray("C") << false;
        QTest::newRow("silent, GBK") << true << QByteArray("zh_CN.GBK") << false;
        // The contents page's own next link is clicked in the same step
        // that reads it: the page it opens is called off, never saved.
        QTest::newRow("silent, contents go on") << true << QByteArray("C") << true;
    }
    void novelSiteEndsAtItsContents()
    {
        QFETCH(bool, silent);
        QFETCH(QByteArray, locale);
        QFETCH(bool, pagedContents);
        LocaleScope scope(locale);
        QVERIFY2(scope.ok(), "locale missing: run scripts/test-locales.sh");
        const bool gbk = locale.endsWith("GBK");
        HostileWindow w;
        QVERIFY(w.ready());
        for (int n = 1; n <= kChapters; ++n)
            w.server.addPage(QStringLiteral("/b/%1.html").arg(n), NovelChapter(n));
        w.server.addPage(QStringLiteral("/b/index.html"), ContentsPage(pagedContents));
        w.server.addPage(QStringLiteral("/b/index2.html"), ChapterPage(QStringLiteral("目录第二页"), kLines));
        w.setSilentMode(silent);
        w.prompt.setAnswerWhenEmpty(true);
        QCOMPARE(w.window().Txt_Next->text(), QStringLiteral("下一页"));

        w.startAt(QStringLiteral("/b/1.html"));
        QVERIFY(w.waitForNotices(1, 60000));
        w.settle(300);

        QCOMPARE(w.prompt.notices, QStringList{kNotice});
        QCOMPARE(w.savedFiles().size(), kChapters);
        for (int n = 1; n <= kChapters; ++n) {
            QCOMPARE(w.savedBytes(Encoded(Title(n) + QStringLiteral(".txt"), gbk)).value_or("<none>"),
                     workflow::encodeForLocale(ExpectedChapterFile(Title(n), kLines)));
        }
        const QList<workflow::LedgerEntry> ledger = w.ledger();
        QCOMPARE(ledger.size(), kChapters + 1);
        QCOMPARE(ledger.last().status, QStringLiteral("book-end"));
        QCOMPARE(ledger.last().address, w.server.url(QStringLiteral("/b/index.html")).toString());
        QVERIFY2(w.window().Lab_bt->text().contains(QStringLiteral("本书到目录页结束")),
                 qPrintable(w.window().Lab_bt->text()));
        // In answer mode each chapter's three steps were asked, and nothing of
        // the contents page.
        if (!silent)
            QCOMPARE(w.prompt.questions.size(), 3 * kChapters);
    }

    void englishSiteWithMarkupInItsNextLink()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        for (int n = 1; n <= kChapters; ++n)
            w.server.addPage(QStringLiteral("/e/%1").arg(n), EnglishChapter(n));
        w.setSilentMode(true);

        w.startAt(QStringLiteral("/e/1"));
        QVERIFY(w.waitForNotices(1, 60000));
        w.settle(300);

        QStringList files;
        for (int n = 1; n <= kChapters; ++n)
            files << QStringLiteral("Chapter %1 The Road.txt").arg(n);
        QCOMPARE(w.savedFiles(), files);
        const QString crlf = QStringLiteral("\r\n");
        QStringList lines;
        for (int l = 0; l < kLines; ++l)
            lines << EnglishLine(2, l);
        QCOMPARE(w.savedBytes(files.at(1)).value_or("<none>"),
                 (QStringLiteral("Chapter 2 The Road") + crlf + crlf + lines.join(crlf) + crlf).toUtf8());
        QCOMPARE(w.server.requestCount(QStringLiteral("/e/index")), 0);
    }

    // Chapter 2 answers 429 twice, the first with a Retry-After longer than
    // the retry's step, chapter 3 comes back blank once: both are loaded
    // again, the first after the site's wait, the chain slows down and says
    // so, and the book is whole.
    void throttledSiteSlowsTheChain()
    {
        const workflow::ChainTiming timing = ShortTiming();
        HostileWindow w(nullptr, &timing);
        QVERIFY(w.ready());
        for (int n = 1; n <= kChapters; ++n)
            w.server.addPage(QStringLiteral("/b/%1.html").arg(n), NovelChapter(n));
        w.server.addPage(QStringLiteral("/b/index.html"), ContentsPage());
        // The site's own error page, of a common size.
        w.server.queueFailures(QStringLiteral("/b/2.html"), {429, 429},
                               "<html><head><title>429 Too Many Requests</title></head><body><h1>Too Many "
                               "Requests</h1><p>"
                                   + QByteArray("You have sent too many requests in a given amount of time. ").repeated(12)
                                   + "</p></body></html>",
                               "Retry-After: 30");
        w.server.queueFailures(QStringLiteral("/b/3.html"), {200}, QByteArrayLiteral("<html><body></body></html>"));
        w.setSilentMode(true);
        QStringList statuses;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const QString text = w.window().Lab_bt->text();
            if (statuses.isEmpty() || statuses.last() != text)
                statuses << text;
        });
        watch.start(5);

        w.startAt(QStringLiteral("/b/1.html"));
        QVERIFY(w.waitForNotices(1, 60000));
        w.settle(300);

        QCOMPARE(w.savedFiles().size(), kChapters);
        QCOMPARE(w.server.requestCount(QStringLiteral("/b/2.html")), 3);
        QCOMPARE(w.server.requestCount(QStringLiteral("/b/3.html")), 2);
        QCOMPARE(w.ledger().last().status, QStringLiteral("book-end"));
        const QStringList slowed = statuses.filter(QStringLiteral("网站可能在限速"));
        QVERIFY2(!slowed.isEmpty(), qPrintable(statuses.join(QLatin1Char('\n'))));
        QVERIFY(statuses.contains(QStringLiteral("按“下一章”继续")));
        // 30 seconds of 100 ms each, not the step's 150 ms.
        QVERIFY2(statuses.contains(QStringLiteral("网页打开失败（429），3秒后第1次重试：")
                                   + w.server.url(QStringLiteral("/b/2.html")).toString()),
                 qPrintable(statuses.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TstWholeBook)
#include "tst_wholebook.moc"
