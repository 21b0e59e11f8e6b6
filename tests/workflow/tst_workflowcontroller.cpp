#include "fakedelaytimer.h"
#include "fakeports.h"

#include "workflow/loadfailure.h"
#include "workflow/workflowcontroller.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QtTest>

using pagewick::workflow::ChainTiming;
using pagewick::workflow::ChainEnd;
using pagewick::workflow::GaveUpNotice;
using pagewick::workflow::ClickResult;
using pagewick::workflow::LoadedPage;
using pagewick::workflow::WorkflowController;

namespace {

const QString kLoaded = QStringLiteral("网页加载完毕，要分析本页吗？     ");
const QString kNotice =
    QStringLiteral("   可能你没有设置当前页的下页链接名称或者设置不对，或者是网页已经提取结束了，请检查!    ");

// A page at url whose text is custom-extracted between "<<" and ">>" and
// whose only link is named 下一页 and leads to next.
LoadedPage LinkedPage(const QString &url, const QString &title, const QString &next)
{
    LoadedPage page;
    page.url = url;
    page.document.title = title;
    page.document.bodyText = QStringLiteral("<<") + title + QStringLiteral("的正文>>");
    page.document.all = {{QStringLiteral("BODY"), *page.document.bodyText, QString()},
                         {QStringLiteral("A"), QStringLiteral("下一页"), QStringLiteral("下一页")}};
    page.hrefs = {QString(), next};
    return page;
}

const QString kChanged = QStringLiteral("网页在点击前变了，下一页链接没有点击");

// Waits of a few milliseconds, no pause before a read is tried again, and the
// page interval always at its middle.
ChainTiming ShortTiming()
{
    ChainTiming t;
    t.readRetryPauseMs = 0;
    t.linkChangedPauseMs = 0;
    t.noNavigationMs = 60;
    t.secondMs = 20;
    t.drawFactor = [] { return 1.0; };
    return t;
}

struct Rig
{
    explicit Rig(ChainTiming timing = ShortTiming())
        : controller{browser, form, nullptr, &timer, std::move(timing)}
    {
        form.options[3] = true;
        form.keywords = {QStringLiteral("<<"), QStringLiteral(">>")};
    }
    FakeBrowserPort browser;
    FakeFormPort form;
    FakeDelayTimer timer;
    WorkflowController controller;
};

using pagewick::workflow::LoadOrigin;
using pagewick::workflow::LoadOutcome;
using pagewick::workflow::PageLoad;

// A top-level load of asked begins; by default of the address last navigated to.
void Begins(Rig &rig, QString asked = {})
{
    if (asked.isEmpty() && !rig.browser.navigations.isEmpty())
        asked = rig.browser.navigations.last();
    rig.browser.beginLoad(asked);
    rig.controller.onDownloadBegin();
}

// The newest load (one of url begun first when there is none) ends with
// its document committed at url, under that title.
void Ends(Rig &rig, const QString &url, LoadOutcome outcome = LoadOutcome::Loaded, int code = 0,
          const QString &title = {})
{
    if (rig.browser.newest.id == 0)
        rig.browser.beginLoad(url);
    rig.browser.location = url;
    rig.browser.title = title;
    rig.browser.newest.finalUrl = url;
    rig.browser.newest.outcome = outcome;
    rig.browser.newest.code = code;
    const PageLoad load = rig.browser.newest;
    rig.controller.onLoadEnded(load);
}

// What the controller says of each chain's end, in order; made after the
// controller, so that it goes first.
struct EndsSeen
{
    explicit EndsSeen(WorkflowController &controller)
    {
        QObject::connect(&controller, &WorkflowController::chainEnded, &controller,
                         [this](const ChainEnd &end) { ends.append(end); });
    }
    QList<ChainEnd> ends;
};

// The silent chain, on page 1, clicks its next-page link to url, and the load begins.
void ChainClicksTo(Rig &rig, const QString &url)
{
    rig.form.options[1] = true;
    rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("甲"), url);
    Ends(rig, QStringLiteral("http://h/1"));
    QVERIFY(!rig.browser.clicked.isEmpty());
    Begins(rig, url);
}

// The load of url ends on a page with that title: with status 0 it loaded,
// otherwise with that HTTP status or (negative) network error.
void FailsToLoad(Rig &rig, const QString &url, int status, const QString &title = {})
{
    const LoadOutcome outcome = status == 0                           ? LoadOutcome::Loaded
                              : status > 0                            ? LoadOutcome::HttpError
                              : status == pagewick::workflow::kNoPage ? LoadOutcome::NoPage
                                                                      : LoadOutcome::NetworkError;
    Ends(rig, url, outcome, status, title);
}

} // namespace

class TstWorkflowController : public QObject
{
    Q_OBJECT

private slots:
    void pageLoaded_data()
    {
        QTest::addColumn<LoadOutcome>("outcome");
        QTest::addColumn<QVariant>("body"); // invalid: no body
        QTest::addColumn<bool>("silentMode");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<bool>("extracted");
        QTest::addColumn<int>("lostAnswers"); // body reads answered by nothing first

        const QStringList none;
        const QStringList asked{kLoaded};
        // A download, say: the page shown stays as it was.
        QTest::newRow("ended without a page") << LoadOutcome::NoPage << QVariant(QStringLiteral("正文")) << true << true
                                        << "旧标题" << none << false << 0;
        QTest::newRow("empty body") << LoadOutcome::Loaded << QVariant(QString()) << true << true << "Pagewick"
                                    << none << false << 0;
        QTest::newRow("only spaces") << LoadOutcome::Loaded << QVariant(QStringLiteral("   ")) << false << true
                                     << "Pagewick" << none << false << 0;
        QTest::newRow("no body") << LoadOutcome::Loaded << QVariant() << true << true << "Pagewick" << none << false << 0;
        QTest::newRow("line breaks count") << LoadOutcome::Loaded << QVariant(QStringLiteral("\r\n")) << true << true
                                           << "页 - 提取结束" << none << true << 0;
        QTest::newRow("a tab counts") << LoadOutcome::Loaded << QVariant(QStringLiteral(" \t ")) << true << true
                                      << "页 - 提取结束" << none << true << 0;
        QTest::newRow("answer mode, OK") << LoadOutcome::Loaded << QVariant(QStringLiteral("正文")) << false << true
                                         << "页 - 提取结束" << asked << true << 0;
        QTest::newRow("answer mode, Cancel") << LoadOutcome::Loaded << QVariant(QStringLiteral("正文")) << false
                                             << false << "旧标题" << asked << false << 0;
        QTest::newRow("body answer lost once") << LoadOutcome::Loaded << QVariant(QStringLiteral("正文")) << true << true
                                               << "页 - 提取结束" << none << true << 1;
        QTest::newRow("body answer lost twice") << LoadOutcome::Loaded << QVariant(QStringLiteral("正文")) << true << true
                                                << "Pagewick" << none << false << 2;
        QTest::newRow("stopped, taken as loaded") << LoadOutcome::StoppedAsLoaded << QVariant(QStringLiteral("正文"))
                                                  << true << true << "页 - 提取结束" << none << true << 0;
    }
    void pageLoaded()
    {
        QFETCH(LoadOutcome, outcome);
        QFETCH(QVariant, body);
        QFETCH(bool, silentMode);
        QFETCH(bool, answer);
        QFETCH(QString, caption);
        QFETCH(QStringList, questions);
        QFETCH(bool, extracted);
        QFETCH(int, lostAnswers);
        Rig rig;
        rig.browser.bodyText = body.isValid() ? std::optional<QString>(body.toString()) : std::nullopt;
        rig.browser.lostBodyAnswers = lostAnswers;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"), QString());
        rig.form.options[1] = silentMode;
        rig.form.nextName = QStringLiteral("不存在");
        rig.form.scripted.queueAnswers({answer, false, false});

        Ends(rig, QStringLiteral("http://h/1"), outcome);

        QCOMPARE(rig.form.caption, caption);
        QCOMPARE(rig.form.scripted.questions.mid(0, 1), questions);
        QCOMPARE(rig.form.text1Sets, extracted ? 1 : 0);
    }

    // Installed once as the engine's own document-start scripts, which reach
    // every document and frame; nothing is sent to a page as it commits.
    void suppressionScriptsAreDocumentStartScripts()
    {
        Rig rig;
        const QStringList scripts{QStringLiteral("function showModalDialog(){return;}"),
                                  QStringLiteral("window.alert=null;"), QStringLiteral("window.confirm=null;"),
                                  QStringLiteral("window.showModaldialog=null;"),
                                  QStringLiteral("window.open=null;")};
        QCOMPARE(rig.browser.startScripts, scripts);
        QVERIFY(rig.browser.scripts.isEmpty());
    }

    void newWindowOpensTheActiveLinkInPlace_data()
    {
        QTest::addColumn<QVariant>("activeHref");
        QTest::addColumn<QString>("loading");
        QTest::addColumn<QStringList>("navigations");
        QTest::newRow("an activated link") << QVariant(QStringLiteral("http://h/2")) << QString()
                                           << QStringList{"http://h/2"};
        QTest::newRow("no link active") << QVariant() << QString() << QStringList{};
        QTest::newRow("while another page loads") << QVariant(QStringLiteral("http://h/2"))
                                                  << QStringLiteral("http://h/3") << QStringList{"http://h/2"};
        // The clicked link's page is on its way; loading it anew would only restart it.
        QTest::newRow("while its own page loads") << QVariant(QStringLiteral("http://h/2"))
                                                  << QStringLiteral("http://h/2") << QStringList{};
        // The document gives links percent-encoded, the browser its address decoded.
        QTest::newRow("its own page, Chinese path")
            << QVariant(QStringLiteral("http://h/%E7%AC%AC%E4%BA%8C%E7%AB%A0.htm"))
            << QStringLiteral("http://h/第二章.htm") << QStringList{};
        QTest::newRow("its own page, Chinese query and space")
            << QVariant(QStringLiteral("http://h/s?q=%E4%B9%A6%20%E5%90%8D"))
            << QStringLiteral("http://h/s?q=书 名") << QStringList{};
        QTest::newRow("its own page, Chinese host")
            << QVariant(QStringLiteral("http://xn--fiq228c.com/1")) << QStringLiteral("http://中文.com/1")
            << QStringList{};
        QTest::newRow("its own page, GBK query") << QVariant(QStringLiteral("http://h/s?q=%CA%E9"))
                                                 << QStringLiteral("http://h/s?q=%CA%E9") << QStringList{};
        QTest::newRow("while another Chinese page loads")
            << QVariant(QStringLiteral("http://h/%E7%AC%AC%E4%B8%89%E7%AB%A0.htm"))
            << QStringLiteral("http://h/第二章.htm")
            << QStringList{"http://h/%E7%AC%AC%E4%B8%89%E7%AB%A0.htm"};
    }
    void newWindowOpensTheActiveLinkInPlace()
    {
        QFETCH(QVariant, activeHref);
        QFETCH(QString, loading);
        QFETCH(QStringList, navigations);
        Rig rig;
        rig.browser.loading = loading;
        if (activeHref.isValid())
            rig.browser.activeHref = activeHref.toString();
        bool cancel = false;

        rig.controller.onNewWindow2(&cancel);
        QVERIFY(cancel);
        // Nothing is done inside the engine's callback.
        QVERIFY(rig.browser.navigations.isEmpty());
        QCoreApplication::processEvents();

        QCOMPARE(rig.browser.navigations, navigations);
    }

    // The page's own window.open is answered while the chain clicks a link
    // that opens a new window: the read under way saw no link focused yet.
    void linkClickedWhileTheActiveElementIsRead()
    {
        Rig rig;
        bool cancel = false;
        rig.browser.whileReadingActive = [&] {
            rig.browser.activeHref = QStringLiteral("http://h/2");
            bool again = false;
            rig.controller.onNewWindow2(&again);
            QVERIFY(again);
        };

        rig.controller.onNewWindow2(&cancel);
        QCoreApplication::processEvents();

        QCOMPARE(rig.browser.activeReads, 2);
        QCOMPARE(rig.browser.navigations, QStringList{QStringLiteral("http://h/2")});
    }

    void closingLoadsTheBlankPage()
    {
        Rig rig;
        bool cancel = false;

        rig.controller.onWindowClosing(false, &cancel);
        QVERIFY(cancel);
        QVERIFY(rig.browser.navigations.isEmpty());
        QCoreApplication::processEvents();

        QCOMPARE(rig.browser.navigations, QStringList{QStringLiteral("about:blank")});
    }

    void nextPage_data()
    {
        QTest::addColumn<bool>("document");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("notices");
        QTest::newRow("link found") << true << "下一页" << QList<int>{1} << QStringList{};
        QTest::newRow("no such link") << true << "下页" << QList<int>{} << QStringList{kNotice};
        QTest::newRow("empty name") << true << "" << QList<int>{} << QStringList{kNotice};
        QTest::newRow("no document") << false << "下一页" << QList<int>{} << QStringList{};
    }
    void nextPage()
    {
        QFETCH(bool, document);
        QFETCH(QString, name);
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, notices);
        Rig rig;
        if (document)
            rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"), QStringLiteral("http://h/2"));
        rig.form.nextName = name;

        rig.controller.nextPage();

        QCOMPARE(rig.browser.clicked, clicks);
        // The click is made only on the link as the read found it.
        if (!clicks.isEmpty()) {
            const pagewick::workflow::LinkToClick &link = rig.browser.clickChecks.at(0);
            QCOMPARE(link.tagName, QStringLiteral("A"));
            QCOMPARE(link.href, QStringLiteral("http://h/2"));
            QCOMPARE(link.innerText, QStringLiteral("下一页"));
            QVERIFY(!link.onlyIfWrittenAsFragment);
        }
        QCOMPARE(rig.form.scripted.notices, notices);
        QCOMPARE(rig.form.focus, notices.isEmpty() ? QStringList{} : QStringList{QStringLiteral("Txt_Next")});
    }

    void nextPageReadSupersededByARun()
    {
        Rig rig;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"), QString());
        rig.form.options[1] = false;
        rig.form.scripted.setAnswerWhenEmpty(false);
        bool started = false;
        rig.browser.whileReading = [&] {
            if (!started) {
                started = true;
                rig.controller.extract();
            }
        };

        rig.controller.nextPage();

        // The newer run asked its questions; the older command shows no notice.
        QCOMPARE(rig.form.scripted.notices, QStringList{});
        QCOMPARE(rig.form.scripted.questions.size(), 2);
    }

    void silentChainEndsAtAPageItLeftAndRestartsWithTheUser()
    {
        Rig rig;
        rig.form.options[1] = true;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/a"), QStringLiteral("甲"), QStringLiteral("http://h/b"));
        rig.controller.extract();
        rig.browser.page = LinkedPage(QStringLiteral("http://h/b"), QStringLiteral("乙"), QStringLiteral("http://h/a"));
        rig.controller.extract();
        QCOMPARE(rig.browser.clicked, QList<int>{1});
        QCOMPARE(rig.form.scripted.notices, QStringList{kNotice});

        rig.controller.beginChain();
        rig.controller.extract();

        QCOMPARE(rig.browser.clicked, (QList<int>{1, 1}));
    }

    // The user can always step back and forth by hand; only a link to the
    // page itself is refused.
    void nextPageByHandFollowsALinkBack()
    {
        Rig rig;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/a"), QStringLiteral("甲"), QStringLiteral("http://h/b"));
        rig.controller.nextPage();
        rig.browser.page = LinkedPage(QStringLiteral("http://h/b"), QStringLiteral("乙"), QStringLiteral("http://h/a"));
        rig.controller.nextPage();
        rig.browser.page = LinkedPage(QStringLiteral("http://h/a"), QStringLiteral("甲"), QStringLiteral("http://h/a#top"));
        rig.controller.nextPage();

        QCOMPARE(rig.browser.clicked, (QList<int>{1, 1}));
        QCOMPARE(rig.form.scripted.notices, QStringList{kNotice});
    }

    void saveShowsItsOutcome_data()
    {
        QTest::addColumn<bool>("fail");
        QTest::addColumn<QString>("status");
        QTest::newRow("saved") << false << "已保存：/d/卷.txt";
        QTest::newRow("failed") << true << "保存失败：/d/卷.txt";
    }
    void saveShowsItsOutcome()
    {
        QFETCH(bool, fail);
        QFETCH(QString, status);
        Rig rig;
        rig.form.files.failWrites = fail;
        rig.form.title = QStringLiteral("卷");
        rig.form.text1 = QStringLiteral("用户改过的\r\n文字");

        rig.controller.save();

        QCOMPARE(rig.form.status, status);
        QCOMPARE(rig.form.files.files.value(QStringLiteral("/d/卷.txt")),
                 fail ? QByteArray() : QStringLiteral("用户改过的\r\n文字").toUtf8());
    }

    // A save that every later page would repeat stops a silent chain; one
    // that only this file refuses does not.
    void saveFailureInASilentChain_data()
    {
        QTest::addColumn<pagewick::workflow::WriteFailure>("failure");
        QTest::addColumn<bool>("chainGoesOn");
        QTest::addColumn<bool>("oneStep");
        QTest::newRow("disk full") << pagewick::workflow::WriteFailure::DiskFull << false << false;
        QTest::newRow("file refused") << pagewick::workflow::WriteFailure::FileRefused << true << false;
        // Without keywords the link is clicked before the save: the load it
        // began is called off where the chain stops.
        QTest::newRow("disk full, one step") << pagewick::workflow::WriteFailure::DiskFull << false << true;
        QTest::newRow("file refused, one step") << pagewick::workflow::WriteFailure::FileRefused << true << true;
    }
    void saveFailureInASilentChain()
    {
        QFETCH(pagewick::workflow::WriteFailure, failure);
        QFETCH(bool, chainGoesOn);
        QFETCH(bool, oneStep);
        Rig rig;
        rig.form.options[1] = true;
        rig.form.options[3] = !oneStep;
        int writesAtClick = -1;
        rig.browser.whileClicking = [&rig, &writesAtClick] {
            writesAtClick = int(rig.form.files.writes.size());
            rig.browser.beginLoad(QStringLiteral("http://h/2"));
        };
        rig.form.files.failWrites = true;
        rig.form.files.failure = failure;
        rig.browser.location = QStringLiteral("http://h/1");
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("甲"), QStringLiteral("http://h/2"));

        Ends(rig, QStringLiteral("http://h/1"));

        QCOMPARE(!rig.browser.clicked.isEmpty(), chainGoesOn || oneStep);
        QCOMPARE(writesAtClick, !rig.browser.clicked.isEmpty() ? (oneStep ? 0 : 1) : -1);
        QCOMPARE(rig.browser.abandonedLoads, oneStep && !chainGoesOn ? 1 : 0);
        QCOMPARE(rig.form.scripted.notices.size(), chainGoesOn ? 0 : 1);
        if (!chainGoesOn) {
            QVERIFY(rig.form.scripted.notices.first().contains(QStringLiteral("/d/甲.txt")));
            QVERIFY(rig.form.scripted.notices.first().contains(QStringLiteral("http://h/1")));
            QVERIFY2(rig.form.status.startsWith(QStringLiteral("本次提取 1 页：已保存 0，空白 0，重复 0，失败 1")),
                     qPrintable(rig.form.status));
        }
    }

    // The save directory the program chose by itself is made at the first save.
    void saveDirectoryMadeAtTheFirstSave()
    {
        Rig rig;
        rig.form.files.directories = {QStringLiteral("/home/u/Documents")};
        rig.form.directory = rig.form.directoryMadeOnDemand = QStringLiteral("/home/u/Documents/Pagewick/");
        rig.form.title = QStringLiteral("卷");
        rig.controller.save();
        QCOMPARE(rig.form.files.directories.last(), QStringLiteral("/home/u/Documents/Pagewick"));
        QCOMPARE(rig.form.status, QStringLiteral("已保存：/home/u/Documents/Pagewick/卷.txt"));
    }

    void savesOfTwoAddressesUnderOneTitle()
    {
        Rig rig;
        rig.form.title = QStringLiteral("卷");
        rig.controller.save();
        rig.browser.location = QStringLiteral("http://h/2");
        rig.controller.save();
        rig.browser.location = QStringLiteral("http://h/1#end");
        rig.controller.save();

        QCOMPARE(rig.form.files.writes, (QStringList{QStringLiteral("/d/卷.txt"), QStringLiteral("/d/卷(2).txt"),
                                                     QStringLiteral("/d/卷.txt")}));
    }

    // A silent chain of three pages, the second a repeat of the first and
    // the third empty, ends at the notice: then the summary shows.
    void chainEndsWithItsSummary()
    {
        Rig rig;
        rig.form.options[1] = true;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("甲"), QStringLiteral("http://h/2"));
        rig.controller.extract();
        rig.browser.location = QStringLiteral("http://h/2");
        rig.browser.page = LinkedPage(QStringLiteral("http://h/2"), QStringLiteral("乙"), QStringLiteral("http://h/3"));
        rig.browser.page->document.bodyText = QStringLiteral("<<甲的正文>>");
        rig.controller.extract();
        QCOMPARE(rig.form.status, QStringLiteral("已保存：/d/乙.txt"));
        rig.browser.location = QStringLiteral("http://h/3");
        rig.browser.page = LinkedPage(QStringLiteral("http://h/3"), QStringLiteral("丙"), QString());
        rig.browser.page->document.bodyText = QStringLiteral("没有关键字");
        rig.browser.page->document.all.removeLast();
        rig.browser.page->hrefs.removeLast();
        EndsSeen seen(rig.controller);

        rig.controller.extract();

        QCOMPARE(rig.form.scripted.notices, QStringList{kNotice});
        QCOMPARE(seen.ends.size(), 1);
        QCOMPARE(seen.ends.at(0).reason, ChainEnd::Reason::NoNextLink);
        QCOMPARE(seen.ends.at(0).tally.pages(), 3);
        QCOMPARE(rig.form.status,
                 QStringLiteral("本次提取 3 页：已保存 1，空白 1，重复 1，失败 0（详见 pagewick-log.tsv）"));
        // The next chain counts from nothing.
        rig.controller.nextPage();
        QCOMPARE(rig.form.scripted.notices.size(), 2);
        QCOMPARE(rig.form.status,
                 QStringLiteral("本次提取 3 页：已保存 1，空白 1，重复 1，失败 0（详见 pagewick-log.tsv）"));
        rig.controller.save();
        rig.controller.beginChain();
        rig.controller.save();
        rig.controller.nextPage();
        QCOMPARE(rig.form.status,
                 QStringLiteral("本次提取 1 页：已保存 0，空白 1，重复 0，失败 0（详见 pagewick-log.tsv）"));
    }

    void continueOpensTheLastSavedPage_data()
    {
        QTest::addColumn<QVariant>("ledger"); // invalid: no ledger
        QTest::addColumn<QString>("address"); // empty: the notice
        const QByteArray header("time\taddress\ttitle\tfile\tchars\tstatus\n");
        QTest::newRow("no ledger") << QVariant() << "";
        QTest::newRow("no saved line")
            << QVariant(header + "2026-12-08T13:05:09+08:00\thttp://h/1\t甲\t甲.txt\t0\tempty\n") << "";
        QTest::newRow("the last saved line")
            << QVariant(header + "2026-12-08T13:05:09+08:00\thttp://h/1\t甲\t甲.txt\t9\tsaved\n"
                        + "2026-12-08T13:05:10+08:00\thttp://h/2\t乙\t乙.txt\t9\tsaved\n"
                        + "2026-12-08T13:05:11+08:00\thttp://h/3\t\t\t0\tload-failed\n")
            << "http://h/2";
    }
    void continueOpensTheLastSavedPage()
    {
        QFETCH(QVariant, ledger);
        QFETCH(QString, address);
        Rig rig;
        if (ledger.isValid())
            rig.form.files.files.insert(QStringLiteral("/d/pagewick-log.tsv"), ledger.toByteArray());

        const std::optional<QString> found = rig.controller.continueAddress();

        QCOMPARE(found.value_or(QString()), address);
        QCOMPARE(rig.form.scripted.notices,
                 address.isEmpty() ? QStringList{pagewick::workflow::NothingCollectedNotice()} : QStringList{});
    }

    void secondExtractWhileWaitingSupersedesTheFirst()
    {
        Rig rig;
        rig.form.options[1] = true;
        rig.form.nextName = QStringLiteral("下一页");
        rig.browser.silentFlag = true;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"), QStringLiteral("http://h/2"));
        rig.browser.whileWaiting = [&] { rig.controller.extract(); };

        rig.controller.extract();

        QCOMPARE(rig.browser.interrupts, 2);
        QCOMPARE(rig.form.text1Sets, 1);
        QCOMPARE(rig.form.files.writes, QStringList{QStringLiteral("/d/页.txt")});
        QCOMPARE(rig.browser.clicked, QList<int>{1});
        QVERIFY(rig.browser.silentFlag);
    }

    // A page fails to load: never extracted, never asked about; a page the
    // silent chain opened is tried again after the first pause.
    void failedPage_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("chain");
        QTest::addColumn<bool>("silentMode");
        QTest::addColumn<QString>("statusLine");
        QTest::addColumn<bool>("retries");

        const QString u = QStringLiteral("：http://h/2");
        QTest::newRow("503 the chain opened") << 503 << "" << true << true
                                              << "网页打开失败（503），5秒后第1次重试" + u << true;
        QTest::newRow("refused, the chain opened") << -102 << "" << true << true
                                                   << "网页打开失败（连接被拒绝），5秒后第1次重试" + u << true;
        QTest::newRow("dropped, the chain opened") << -324 << "" << true << true
                                                   << "网页打开失败（服务器没有应答），5秒后第1次重试" + u << true;
        // 204 No Content, a download, an aborted load: no page to wait for.
        QTest::newRow("no page, the chain opened") << -3 << "" << true << true
                                                   << "网页打开失败（没有返回网页），5秒后第1次重试" + u << true;
        QTest::newRow("404 the user opened") << 404 << "" << false << true << "网页打开失败（404）" + u << false;
        QTest::newRow("429 in answer mode") << 429 << "" << false << false << "网页打开失败（429）" + u << false;
        QTest::newRow("silent mode off since the click") << 503 << "" << true << false
                                                         << "网页打开失败（503）" + u << false;
        QTest::newRow("403 the chain opened") << 403 << "Forbidden" << true << true
                                              << "网页需要验证（403），请在浏览器中完成验证，通过后自动继续" + u << false;
        QTest::newRow("503 check page the chain opened")
            << 503 << "Just a moment..." << true << true
            << "网页需要验证（503），请在浏览器中完成验证，通过后自动继续" + u << false;
        QTest::newRow("challenge page") << 0 << "Just a moment..." << true << true
                                        << "网页需要验证，请在浏览器中完成验证，通过后自动继续" + u << false;
        QTest::newRow("challenge page, answer mode") << 0 << "Just a moment..." << false << false
                                                     << "网页需要验证，请在浏览器中完成验证，通过后自动继续" + u << false;
    }
    void failedPage()
    {
        QFETCH(int, status);
        QFETCH(QString, title);
        QFETCH(bool, chain);
        QFETCH(bool, silentMode);
        QFETCH(QString, statusLine);
        QFETCH(bool, retries);
        Rig rig;
        const QString url = QStringLiteral("http://h/2");
        if (chain)
            ChainClicksTo(rig, url);
        else
            Begins(rig, url);
        rig.form.options[1] = silentMode;
        const int readsBefore = rig.browser.documentReads;
        const QStringList filesBefore = rig.form.files.writes;
        rig.form.scripted.shown.clear();
        EndsSeen seen(rig.controller);

        FailsToLoad(rig, url, status, title);

        QCOMPARE(rig.form.status, statusLine);
        // A run without a window ends at a verification page; a retry goes on.
        const bool verification = statusLine.startsWith(QStringLiteral("网页需要验证"));
        QCOMPARE(seen.ends.size(), verification ? 1 : 0);
        if (verification)
            QCOMPARE(seen.ends.at(0).reason, ChainEnd::Reason::Verification);
        QCOMPARE(rig.browser.documentReads, readsBefore);
        QCOMPARE(rig.form.files.writes, filesBefore);
        QCOMPARE(rig.form.scripted.shown, QStringList{});
        QCOMPARE(rig.timer.isPending(), retries);
        QCOMPARE(rig.timer.started, retries ? QList<int>{5000} : QList<int>{});
        if (retries) {
            QVERIFY(rig.timer.fire());
            QCOMPARE(rig.browser.navigations, QStringList{url});
        }
    }

    // Six retries after 5, 10, 20, 40, 80 and 160 s; the seventh failure ends
    // the chain with a notice; a page that loads meanwhile starts the count anew.
    void backOffSchedule()
    {
        Rig rig;
        const QString url = QStringLiteral("http://h/2");
        ChainClicksTo(rig, url);
        FailsToLoad(rig, url, 503);
        QStringList statuses{rig.form.status};
        EndsSeen seen(rig.controller);
        for (int retry = 1; retry <= 6; ++retry) {
            QVERIFY(rig.timer.fire());
            Begins(rig, url);
            FailsToLoad(rig, url, 503);
            statuses << rig.form.status;
        }

        QCOMPARE(rig.timer.started, (QList<int>{5000, 10000, 20000, 40000, 80000, 160000}));
        QCOMPARE(statuses.at(2), QStringLiteral("网页打开失败（503），20秒后第3次重试：http://h/2"));
        QCOMPARE(statuses.at(5), QStringLiteral("网页打开失败（503），160秒后第6次重试：http://h/2"));
        // The give-up notice ends the chain: its summary counts the lost page.
        QCOMPARE(statuses.at(6),
                 QStringLiteral("本次提取 2 页：已保存 1，空白 0，重复 0，失败 1（详见 pagewick-log.tsv）"));
        QCOMPARE(rig.browser.navigations, QStringList(6, url));
        QVERIFY(!rig.timer.isPending());
        QCOMPARE(rig.form.scripted.notices, QStringList{GaveUpNotice(503, 6, url)});
        QCOMPARE(seen.ends.size(), 1);
        QCOMPARE(seen.ends.at(0).reason, ChainEnd::Reason::GaveUp);
        QCOMPARE(seen.ends.at(0).url, url);
        QCOMPARE(seen.ends.at(0).status, 503);
        QCOMPARE(seen.ends.at(0).tally.pages(), 2);

        // The user goes on from that address: its next failure counts from one.
        rig.controller.beginChain();
        ChainClicksTo(rig, QStringLiteral("http://h/3"));
        FailsToLoad(rig, QStringLiteral("http://h/3"), 503);
        QVERIFY(rig.timer.fire());
        Begins(rig);
        rig.browser.page = LinkedPage(QStringLiteral("http://h/3"), QStringLiteral("丙"), QStringLiteral("http://h/4"));
        const qsizetype clicksBefore = rig.browser.clicked.size();
        Ends(rig, QStringLiteral("http://h/3"));
        QCOMPARE(rig.form.files.writes.last(), QStringLiteral("/d/丙.txt"));
        // After the 503 the chain keeps the throttle's pause before its click.
        QCOMPARE(rig.browser.clicked.size(), clicksBefore);
        QTRY_COMPARE(rig.browser.clicked.size(), clicksBefore + 1);
        Begins(rig, QStringLiteral("http://h/4"));
        FailsToLoad(rig, QStringLiteral("http://h/4"), 429);
        QCOMPARE(rig.form.status, QStringLiteral("网页打开失败（429），5秒后第1次重试：http://h/4"));

        // A chain begun at an address retries its first page too.
        rig.controller.beginChainAt(QStringLiteral("http://h/9"));
        QCOMPARE(rig.browser.navigations.constLast(), QStringLiteral("http://h/9"));
        QVERIFY(!rig.timer.isPending());
        Begins(rig);
        FailsToLoad(rig, QStringLiteral("http://h/9"), 503);
        QCOMPARE(rig.form.status, QStringLiteral("网页打开失败（503），5秒后第1次重试：http://h/9"));
    }

    // A chapter that redirects to a busy page: the chain asks for the
    // chapter again each time, and names it when it gives up.
    void retryAsksTheAddressTheChainAskedFor()
    {
        Rig rig;
        const QString chapter = QStringLiteral("http://h/2");
        const QString busy = QStringLiteral("http://h/busy");
        ChainClicksTo(rig, chapter);
        FailsToLoad(rig, busy, 503);
        QCOMPARE(rig.form.status, QStringLiteral("网页打开失败（503），5秒后第1次重试：http://h/2"));
        for (int retry = 1; retry <= 6; ++retry) {
            QVERIFY(rig.timer.fire());
            Begins(rig);
            FailsToLoad(rig, busy, 503);
        }
        QCOMPARE(rig.browser.navigations, QStringList(6, chapter));
        QCOMPARE(rig.browser.navigationOrigins, QList<LoadOrigin>(6, LoadOrigin::ChainRetry));
        QCOMPARE(rig.form.scripted.notices, QStringList{GaveUpNotice(503, 6, chapter)});
        QVERIFY(rig.form.files.files.value(QStringLiteral("/d/pagewick-log.tsv")).contains("\thttp://h/2\t\t\t0\tload-failed"));
    }

    // A save records the page the text was read from, at the address its
    // document was committed at: not a page opened since, nor the page's own
    // later moves (a replaceState stamp).
    void saveRecordsThePageThatWasRead()
    {
        Rig rig;
        rig.form.options[1] = false;
        // Analyse 甲, do not save it; do not analyse 乙.
        rig.form.scripted.queueAnswers({true, false, false, false});
        rig.browser.page = LinkedPage(QStringLiteral("http://h/a"), QStringLiteral("甲"), QString());
        Ends(rig, QStringLiteral("http://h/a"));
        rig.browser.location = QStringLiteral("http://h/a?t=1");
        Begins(rig, QStringLiteral("http://h/b"));
        rig.browser.page = LinkedPage(QStringLiteral("http://h/b"), QStringLiteral("乙"), QString());
        Ends(rig, QStringLiteral("http://h/b"));
        rig.browser.location = QStringLiteral("http://h/b?t=2");
        QCOMPARE(rig.form.text1Sets, 1);

        rig.controller.save();
        rig.browser.location = QStringLiteral("http://h/b?t=3");
        rig.controller.save();

        QCOMPARE(rig.form.files.writes, QStringList(2, QStringLiteral("/d/甲.txt")));
        const QByteArray ledger = rig.form.files.files.value(QStringLiteral("/d/pagewick-log.tsv"));
        QCOMPARE(ledger.count("\thttp://h/a\t甲\t甲.txt\t"), 2);
    }

    // A click whose answer was lost may still have been made: the page it
    // opens is the chain's, and retried when it fails.
    void pageOfAClickWithoutAnswerIsRetried()
    {
        Rig rig;
        const QString url = QStringLiteral("http://h/2");
        rig.form.options[1] = true;
        rig.browser.location = QStringLiteral("http://h/1");
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("甲"), url);
        rig.browser.clickResults = {ClickResult::Failed};
        Ends(rig, QStringLiteral("http://h/1"));
        Begins(rig, url);

        FailsToLoad(rig, url, 503);

        QCOMPARE(rig.timer.started, QList<int>{5000});
        QVERIFY(rig.timer.fire());
        QCOMPARE(rig.browser.navigations, QStringList{url});
    }

    void pendingRetryIsCancelled_data()
    {
        QTest::addColumn<QString>("by");
        QTest::newRow("Go") << "go";
        QTest::newRow("Extract") << "extract";
        QTest::newRow("Next page") << "next";
        QTest::newRow("silent mode unticked") << "untick";
        QTest::newRow("silent mode unticked, not yet heard") << "untick unheard";
        QTest::newRow("a link clicked in the page") << "page";
    }
    void pendingRetryIsCancelled()
    {
        QFETCH(QString, by);
        Rig rig;
        const QString url = QStringLiteral("http://h/2");
        ChainClicksTo(rig, url);
        FailsToLoad(rig, url, 503);
        rig.browser.page.reset();
        rig.browser.navigations.clear();

        if (by == QLatin1String("go"))
            rig.controller.beginChain();
        else if (by == QLatin1String("extract"))
            rig.controller.cancelRetry();
        else if (by == QLatin1String("next"))
            rig.controller.nextPage();
        else if (by == QLatin1String("untick"))
            rig.controller.cancelRetry();
        else if (by == QLatin1String("page"))
            Begins(rig, QStringLiteral("http://h/elsewhere"));
        rig.form.options[1] = !by.startsWith(QLatin1String("untick"));
        rig.timer.fire();

        QCOMPARE(rig.browser.navigations, QStringList{});
        // The page is the user's now: a failure again is only shown.
        Begins(rig);
        rig.form.options[1] = true;
        FailsToLoad(rig, url, 503);
        QVERIFY(!rig.timer.isPending());
        QCOMPARE(rig.form.status, QStringLiteral("网页打开失败（503）：http://h/2"));
    }

    // A run that cannot read its page, not even once it has settled, saves
    // nothing; in a silent chain the page is loaded again.
    void failedReadIsRetried_data()
    {
        QTest::addColumn<bool>("chain");
        QTest::addColumn<QString>("statusLine");
        QTest::newRow("the chain's page") << true << "网页读取失败，5秒后第1次重试：http://h/2";
        QTest::newRow("the user's page") << false << "网页读取失败：http://h/2";
    }
    void failedReadIsRetried()
    {
        QFETCH(bool, chain);
        QFETCH(QString, statusLine);
        Rig rig;
        const QString url = QStringLiteral("http://h/2");
        if (chain)
            ChainClicksTo(rig, url);
        else
            Begins(rig, url);
        const QStringList filesBefore = rig.form.files.writes;
        const int readsBefore = rig.browser.documentReads;
        rig.form.title = QStringLiteral("甲");
        rig.browser.location = url;
        rig.browser.page.reset();

        Ends(rig, url);

        // The chain's page is also read for the book's end.
        QCOMPARE(rig.browser.documentReads, readsBefore + 2 + (chain ? 1 : 0));
        QCOMPARE(rig.form.files.writes, filesBefore);
        QCOMPARE(rig.form.title, QString());
        QCOMPARE(rig.form.text1, QString());
        QCOMPARE(rig.form.caption, QStringLiteral("Pagewick"));
        QCOMPARE(rig.form.status, statusLine);
        QCOMPARE(rig.timer.isPending(), chain);
    }

    void stalledLoadIsFinishedInSilentMode_data()
    {
        QTest::addColumn<bool>("silentMode");
        QTest::newRow("silent") << true;
        QTest::newRow("answer mode") << false;
    }
    void stalledLoadIsFinishedInSilentMode()
    {
        QFETCH(bool, silentMode);
        Rig rig;
        rig.form.options[1] = silentMode;
        rig.controller.onLoadStalled(2, QStringLiteral("http://h/1"));
        QCOMPARE(rig.browser.finishedLoads, 0);
        rig.controller.onLoadStalled(1, QStringLiteral("http://h/1"));
        QCOMPARE(rig.browser.finishedLoads, silentMode ? 1 : 0);
        // A load whose document never came fails instead, so that it is retried.
        rig.controller.onLoadUnanswered(2, QStringLiteral("http://h/1"));
        QCOMPARE(rig.browser.failedLoads, 0);
        rig.controller.onLoadUnanswered(1, QStringLiteral("http://h/1"));
        QCOMPARE(rig.browser.failedLoads, silentMode ? 1 : 0);
        QCOMPARE(rig.browser.finishedLoads, silentMode ? 1 : 0);
    }

    // The page may change between the read that found the link and the
    // click: the click is refused in the page, and the link looked up again.
    void clickOfAChangedLink_data()
    {
        QTest::addColumn<QList<ClickResult>>("results");
        QTest::addColumn<int>("reads");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("notices");
        QTest::addColumn<QString>("status");
        using R = ClickResult;
        QTest::newRow("unchanged") << QList<R>{R::Clicked} << 1 << QList<int>{1} << QStringList{} << "";
        QTest::newRow("changed once, found again")
            << QList<R>{R::Changed, R::Clicked} << 2 << QList<int>{1} << QStringList{} << "";
        QTest::newRow("changed twice, found at the third look")
            << QList<R>{R::Changed, R::Changed, R::Clicked} << 3 << QList<int>{1} << QStringList{} << "";
        QTest::newRow("changed three times")
            << QList<R>{R::Changed, R::Changed, R::Changed} << 3 << QList<int>{} << QStringList{kNotice} << kChanged;
        QTest::newRow("written as the page's own address")
            << QList<R>{R::WrittenAsPage} << 1 << QList<int>{} << QStringList{kNotice} << "";
        QTest::newRow("the click fails") << QList<R>{R::Failed} << 1 << QList<int>{} << QStringList{} << "";
    }
    void clickOfAChangedLink()
    {
        QFETCH(QList<ClickResult>, results);
        QFETCH(int, reads);
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, notices);
        QFETCH(QString, status);
        Rig rig;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"), QStringLiteral("http://h/2"));
        rig.browser.clickResults = results;

        rig.controller.nextPage();

        QCOMPARE(rig.browser.documentReads, reads);
        QCOMPARE(rig.browser.clicked, clicks);
        QCOMPARE(rig.form.scripted.notices, notices);
        QCOMPARE(rig.form.status, status);
        // Each click is preceded by a focus of its own (new windows open the active link).
        QCOMPARE(rig.browser.focused.size(), rig.browser.clickChecks.size());
        // Every click is asked for the one link the read found.
        for (const pagewick::workflow::LinkToClick &link : std::as_const(rig.browser.clickChecks))
            QCOMPARE(link.index, 1);
    }

    // Links whose target is "#…", "javascript:…" or missing are clicked, by
    // hand and in a silent chain.
    void scriptLinksAreClicked_data()
    {
        QTest::addColumn<QString>("href");
        QTest::addColumn<bool>("writtenAsFragment");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("clicked");
        QTest::newRow("# by hand") << "http://h/1#" << true << false << true;
        QTest::newRow("# in a chain") << "http://h/1#" << true << true << true;
        QTest::newRow("page#x written in full") << "http://h/1#x" << false << true << false;
        QTest::newRow("javascript: in a chain") << "javascript:go()" << false << true << true;
        QTest::newRow("no target in a chain") << "" << false << true << true;
        QTest::newRow("no target by hand") << "" << false << false << true;
    }
    void scriptLinksAreClicked()
    {
        QFETCH(QString, href);
        QFETCH(bool, writtenAsFragment);
        QFETCH(bool, silent);
        QFETCH(bool, clicked);
        Rig rig;
        rig.form.options[1] = silent;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"), href);
        if (writtenAsFragment)
            rig.browser.writtenAsFragment = {1};

        if (silent)
            rig.controller.extract();
        else
            rig.controller.nextPage();

        QCOMPARE(rig.browser.clicked, clicked ? QList<int>{1} : QList<int>{});
        QCOMPARE(rig.form.scripted.notices, clicked ? QStringList{} : QStringList{kNotice});
        QCOMPARE(rig.browser.clickChecks.size(), 1);
        QCOMPARE(rig.browser.clickChecks.at(0).onlyIfWrittenAsFragment, href.contains(QLatin1Char('#')));
    }

    // A silent chain's click after which no page starts loading ends the
    // chain with the notice instead of waiting for ever.
    void clickThatLoadsNothing_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("notices");
        QTest::addColumn<QStringList>("navigations");
        QTest::newRow("nothing loads") << true << "" << QStringList{kNotice} << QStringList{};
        QTest::newRow("a page starts loading") << true << "load" << QStringList{} << QStringList{};
        QTest::newRow("a page starts loading while the click is answered") << true << "load during click"
                                                                          << QStringList{} << QStringList{};
        QTest::newRow("silent mode unticked") << true << "untick" << QStringList{} << QStringList{};
        QTest::newRow("the user presses Go") << true << "go" << QStringList{} << QStringList{};
        QTest::newRow("by hand") << false << "" << QStringList{} << QStringList{};
        // The click may have been made all the same.
        QTest::newRow("the click's answer lost") << true << "answer lost" << QStringList{kNotice} << QStringList{};
        // Its address is opened instead, once; nothing loads, so the chain ends.
        QTest::newRow("the click's answer lost, link with an address")
            << true << "answer lost, address" << QStringList{kNotice} << QStringList{QStringLiteral("http://h/2")};
    }
    void clickThatLoadsNothing()
    {
        QFETCH(bool, silent);
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, notices);
        QFETCH(QStringList, navigations);
        Rig rig;
        rig.form.options[1] = silent;
        rig.form.scripted.setAnswerWhenEmpty(true);
        const bool withAddress = meanwhile == QLatin1String("answer lost, address");
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"),
                                      withAddress ? QStringLiteral("http://h/2") : QStringLiteral("javascript:;"));
        if (meanwhile == QLatin1String("load during click"))
            rig.browser.whileClicking = [&] { Begins(rig, QStringLiteral("http://h/2")); };
        if (meanwhile.startsWith(QLatin1String("answer lost")))
            rig.browser.clickResults = {ClickResult::Failed};

        rig.controller.extract();
        QCOMPARE(rig.browser.clickChecks.size(), 1);
        if (meanwhile == QLatin1String("load"))
            Begins(rig, QStringLiteral("http://h/2"));
        if (meanwhile == QLatin1String("untick")) {
            rig.form.options[1] = false;
            rig.controller.onSilentModeChanged(false);
        }
        if (meanwhile == QLatin1String("go"))
            rig.controller.beginChain();
        QTest::qWait(ShortTiming().noNavigationMs * 4);

        QCOMPARE(rig.form.scripted.notices, notices);
        QCOMPARE(rig.browser.navigations, navigations);
        QCOMPARE(rig.form.focus, notices.isEmpty() ? QStringList{} : QStringList{QStringLiteral("Txt_Next")});
    }

    void pacingDelay_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<double>("factor");
        QTest::addColumn<int>("ms");
        QTest::newRow("half") << 10 << 0.5 << 5000;
        QTest::newRow("one and a half") << 10 << 1.5 << 15000;
        QTest::newRow("between") << 7 << 0.9 << 6300;
        QTest::newRow("factor held to its range") << 4 << 3.0 << 6000;
        QTest::newRow("the longest") << 600 << 1.5 << 900000;
    }
    void pacingDelay()
    {
        QFETCH(int, seconds);
        QFETCH(double, factor);
        QFETCH(int, ms);
        QCOMPARE(pagewick::workflow::PacingDelayMs(seconds, factor, 1000), ms);
    }

    // The page interval of a silent chain: the click waits, counting down on
    // the status line; what the user does meanwhile calls it off.
    void pacedClick_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("status");
        QTest::newRow("no interval: at once") << 0 << "" << 1 << "已保存：/d/页.txt";
        // The fake click opens no page: the chain ends, and its summary follows.
        QTest::newRow("clicked after the wait")
            << 3 << "" << 1 << "本次提取 1 页：已保存 1，空白 0，重复 0，失败 0（详见 pagewick-log.tsv）";
        QTest::newRow("silent mode unticked") << 3 << "untick" << 0 << "已取消打开下一页";
        QTest::newRow("unticked unnoticed until the end") << 3 << "quietly unticked" << 0 << "等待 1 秒后打开下一页…";
        QTest::newRow("Go pressed") << 3 << "go" << 0 << "已取消打开下一页";
        QTest::newRow("Extract pressed")
            << 3 << "extract" << 1 << "本次提取 2 页：已保存 2，空白 0，重复 0，失败 0（详见 pagewick-log.tsv）";
        QTest::newRow("Next pressed") << 3 << "next" << 1 << "已取消打开下一页";
        QTest::newRow("a page starts loading") << 3 << "load" << 0 << "已取消打开下一页";
    }
    void pacedClick()
    {
        QFETCH(int, interval);
        QFETCH(QString, meanwhile);
        QFETCH(int, clicks);
        QFETCH(QString, status);
        Rig rig;
        rig.form.interval = interval;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"), QStringLiteral("http://h/2"));
        QStringList statuses;

        rig.controller.extract();
        if (interval == 0) {
            QCOMPARE(rig.browser.clicked, QList<int>{1});
        } else {
            QCOMPARE(rig.browser.clicked, QList<int>{});
            QCOMPARE(rig.form.status, QStringLiteral("等待 3 秒后打开下一页…"));
        }
        if (meanwhile == QLatin1String("untick")) {
            rig.form.options[1] = false;
            rig.controller.onSilentModeChanged(false);
        } else if (meanwhile == QLatin1String("quietly unticked")) {
            rig.form.options[1] = false;
        } else if (meanwhile == QLatin1String("go")) {
            rig.controller.beginChain();
        } else if (meanwhile == QLatin1String("extract")) {
            // The new run waits its own interval and clicks once.
            rig.controller.extract();
        } else if (meanwhile == QLatin1String("next")) {
            rig.controller.nextPage();
            QCOMPARE(rig.browser.clicked, QList<int>{1});
        } else if (meanwhile == QLatin1String("load")) {
            Begins(rig, QStringLiteral("http://h/2"));
        }
        QTest::qWait(ShortTiming().secondMs * interval * 3);

        QCOMPARE(rig.browser.clicked.size(), clicks);
        QCOMPARE(rig.form.status, status);
    }

    void countdownCountsEverySecond()
    {
        ChainTiming timing = ShortTiming();
        timing.secondMs = 40;
        timing.drawFactor = [] { return 1.5; };
        Rig rig(timing);
        rig.form.interval = 4;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"), QStringLiteral("http://h/2"));

        QElapsedTimer clock;
        clock.start();
        rig.controller.extract();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.browser.clicked.isEmpty(), 5000);

        // 4 seconds drawn at 1.5 times: 6 seconds of 40 ms, each shown once.
        QVERIFY(clock.elapsed() >= 240);
        QStringList expected{QStringLiteral("已保存：/d/页.txt")};
        for (int s = 6; s >= 1; --s)
            expected << QStringLiteral("等待 %1 秒后打开下一页…").arg(s);
        QCOMPARE(rig.form.statuses, expected);
    }

    void closingEndsAWaitingRun()
    {
        Rig rig;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"), QString());
        rig.browser.whileWaiting = [&] { rig.browser.shutDown = true; };

        rig.controller.extract();

        QCOMPARE(rig.browser.documentReads, 0);
        QCOMPARE(rig.form.text1Sets, 0);
        QCOMPARE(rig.form.caption, QStringLiteral("旧标题"));
    }
};

QTEST_GUILESS_MAIN(TstWorkflowController)
#include "tst_workflowcontroller.moc"
