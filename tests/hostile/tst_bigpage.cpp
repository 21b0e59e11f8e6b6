// Pages of extreme size and shape, collected in the program's real window:
// a 10 MB page of 100,000 elements, nesting 10,000 levels deep in markup
// (which the parser caps) and 3,000 built by script (which nothing caps),
// and malformed markup.
#include "tests/hostile/hostilefixture.h"
#include "tests/hostile/tickgapmeter.h"
#include "tests/support/enginetestutil.h"

#include "browser/webbrowser.h"
#include "window/richtextbox.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

constexpr int kBigPageElements = 100000;
constexpr int kContentLines = 200;

int StartTags(const QByteArray &html)
{
    int count = 0;
    for (qsizetype i = 0; i + 1 < html.size(); ++i) {
        const char c = html.at(i + 1);
        count += html.at(i) == '<' && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    }
    return count;
}

// About 10 MB of UTF-8 in about 100,000 elements: a navigation list, the
// chapter, and a long thread of comments whose blocks each pass the
// pre-filter (so detection yields once per block) but are rejected.
QByteArray BigPage(int *elements)
{
    const QString title = QStringLiteral("大页测试_书名_站名");
    QString nav = QStringLiteral("<div id=\"nav\">");
    for (int k = 0; k < 1000; ++k)
        nav += QStringLiteral("<a href=\"/list/%1\">栏目%1</a>").arg(k);
    nav += QStringLiteral("</div>");
    const int frame = StartTags(ChapterPage(title, kContentLines,
                                            nav + QStringLiteral("<div id=\"comments\"></div>")));

    // No "，" or "。": the thread as a whole must not outscore the chapter.
    const QString sentence = QStringLiteral("这一章写得真好！人物刻画细致入微！情节跌宕起伏！期待后续更新！");
    const int blocks = (kBigPageElements - frame) / 4;
    QString comments;
    comments.reserve(blocks * 140);
    for (int k = 0; k < blocks; ++k)
        comments += QStringLiteral("<div class=\"c\"><a href=\"/user/%1\">读者%1</a><span>").arg(k)
            + sentence.repeated(4) + QStringLiteral("</span><em>赞</em></div>");
    *elements = frame + 4 * blocks;
    return ChapterPage(title, kContentLines,
                       nav + QStringLiteral("<div id=\"comments\">") + comments
                           + QStringLiteral("</div>"));
}

QWebEnginePage *PageOf(pagewick::window::Frmmain &window)
{
    auto *view = qobject_cast<QWebEngineView *>(window.WebBrowser1->widget());
    return view ? view->page() : nullptr;
}

} // namespace

class TstBigPage : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void bigPageIsExtractedWhileTheWindowAnswers()
    {
        HostileWindow w;
        QVERIFY(w.ready());
        // Reading 10 MB takes seconds, which is no hostile delay.
        w.window().WebBrowser1->setReadTimeout(30000);
        int elements = 0;
        const QByteArray page = BigPage(&elements);
        QVERIFY(page.size() > 10 * 1000 * 1000);
        w.server.addPage(QStringLiteral("/big.html"), page);
        w.setSilentMode(true);

        TickGapMeter meter;
        QElapsedTimer clock;
        qint64 loadedAt = -1;
        qint64 noticeAt = -1;
        QWebEnginePage *enginePage = PageOf(w.window());
        QVERIFY(enginePage);
        // The page's own load end comes before the browser's posted
        // DocumentComplete, so the whole extraction lies after it.
        connect(enginePage, &QWebEnginePage::loadFinished, &meter, [&] {
            loadedAt = clock.elapsed();
            meter.arm();
        });
        w.prompt.setWhileOpen([&](const QString &) {
            noticeAt = clock.elapsed();
            meter.disarm();
        });

        clock.start();
        w.startAt(QStringLiteral("/big.html"));
        QVERIFY(w.waitForNotices(1, 120000));
        w.settle(100);

        const qint64 extractionMs = noticeAt - loadedAt;
        qInfo("big page: %.1f MB, %d elements; loaded after %lld ms; extracted, saved and "
              "link searched in %lld ms; longest event-loop gap %lld ms over %lld ticks",
              page.size() / 1048576.0, elements, loadedAt, extractionMs, meter.longestGapMs(),
              meter.ticks());
        QCOMPARE(w.prompt.questions, QStringList());
        QCOMPARE(w.savedFiles(), QStringList{QStringLiteral("大页测试.txt")});
        QCOMPARE(QString::fromUtf8(w.savedBytes(QStringLiteral("大页测试.txt")).value_or("<none>")),
                 ExpectedChapterFile(QStringLiteral("大页测试"), kContentLines));
        QVERIFY2(extractionMs < 10000, qPrintable(QString::number(extractionMs)));
        QVERIFY2(meter.longestGapMs() < 200, qPrintable(QString::number(meter.longestGapMs())));
    }

    void deepNestingAndBrokenMarkup_data()
    {
        QTest::addColumn<QString>("extra");
        const int depth = 10000;
        // The parser stops nesting at its own limit and puts deeper elements
        // beside each other.
        QTest::newRow("10,000 deep in markup")
            << QStringLiteral("<div>").repeated(depth) + QStringLiteral("底") + QStringLiteral("</div>").repeated(depth);
        // Nothing caps nesting built by script, and every level's markup
        // holds all the levels below it. (From about 6,000 levels on, the
        // engine itself no longer finishes loading such a page.)
        QTest::newRow("3,000 deep by script")
            << QStringLiteral("<script>var d = document.body;"
                              " for (var i = 0; i < 3000; i++) d = d.appendChild(document.createElement('div'));"
                              " d.textContent = '底';</script>");
        QTest::newRow("malformed markup")
            << QStringLiteral("<div <div class=\"x>未闭合<p>段落<td>游离单元格</span></div></div></div>"
                              "<b><i>交错</b></i><table><tr><td>表<div>格</table>&amp&lt;&#xD800;&#0;&bogus;"
                              "<a href=\"/n\"<b>坏链接</a><!-- 未结束的注释");
        QTest::newRow("stray nulls and controls")
            << QStringLiteral("<div>") + QString(QChar(0)) + QStringLiteral("空字符\x01\x02\x1b</div>")
                   + QString(QChar(0xFFFE)) + QString(QChar(0xD800));
    }

    void deepNestingAndBrokenMarkup()
    {
        QFETCH(QString, extra);
        HostileWindow w;
        QVERIFY(w.ready());
        const QString title = QStringLiteral("第一章 深处");
        w.server.addPage(QStringLiteral("/deep.html"),
                         ChapterPage(title + QStringLiteral("_书"), kContentLines,
                                     NextLink(QStringLiteral("/end.html")) + extra));
        w.server.addPage(QStringLiteral("/end.html"), ChapterPage(QStringLiteral("第二章 尽头_书"), kContentLines));
        w.setSilentMode(true);
        QElapsedTimer clock;
        clock.start();
        w.startAt(QStringLiteral("/deep.html"));
        // The chain goes on to its end, with its notice.
        QVERIFY(w.waitForNotices(1, 60000));
        qInfo("%s: chain ended after %lld ms; files %s", QTest::currentDataTag(), clock.elapsed(),
              qPrintable(w.savedFiles().join(QLatin1Char(','))));
        QCOMPARE(w.prompt.questions, QStringList());
        QCOMPARE(QString::fromUtf8(w.savedBytes(title + QStringLiteral(".txt")).value_or("<none>")),
                 ExpectedChapterFile(title, kContentLines));
        QCOMPARE(QString::fromUtf8(w.savedBytes(QStringLiteral("第二章 尽头.txt")).value_or("<none>")),
                 ExpectedChapterFile(QStringLiteral("第二章 尽头"), kContentLines));
    }
};

QTEST_MAIN(TstBigPage)
#include "tst_bigpage.moc"
