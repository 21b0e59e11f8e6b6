#include "fakeports.h"

#include "workflow/workflowcontroller.h"

#include <QCoreApplication>
#include <QtTest>

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

struct Rig
{
    Rig()
    {
        form.options[3] = true;
        form.keywords = {QStringLiteral("<<"), QStringLiteral(">>")};
    }
    FakeBrowserPort browser;
    FakeFormPort form;
    WorkflowController controller{browser, form};
};

} // namespace

class TstWorkflowController : public QObject
{
    Q_OBJECT

private slots:
    void pageLoaded_data()
    {
        QTest::addColumn<quint64>("frame");
        QTest::addColumn<QVariant>("body"); // invalid: no body
        QTest::addColumn<bool>("silentMode");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<bool>("extracted");

        const QStringList none;
        const QStringList asked{kLoaded};
        QTest::newRow("frame document") << quint64(2) << QVariant(QStringLiteral("正文")) << true << true
                                        << "旧标题" << none << false;
        QTest::newRow("empty body") << quint64(1) << QVariant(QString()) << true << true << "Pagewick"
                                    << none << false;
        QTest::newRow("only spaces") << quint64(1) << QVariant(QStringLiteral("   ")) << false << true
                                     << "Pagewick" << none << false;
        QTest::newRow("no body") << quint64(1) << QVariant() << true << true << "Pagewick" << none << false;
        QTest::newRow("line breaks count") << quint64(1) << QVariant(QStringLiteral("\r\n")) << true << true
                                           << "页 - 提取结束" << none << true;
        QTest::newRow("a tab counts") << quint64(1) << QVariant(QStringLiteral(" \t ")) << true << true
                                      << "页 - 提取结束" << none << true;
        QTest::newRow("answer mode, OK") << quint64(1) << QVariant(QStringLiteral("正文")) << false << true
                                         << "页 - 提取结束" << asked << true;
        QTest::newRow("answer mode, Cancel") << quint64(1) << QVariant(QStringLiteral("正文")) << false
                                             << false << "旧标题" << asked << false;
    }
    void pageLoaded()
    {
        QFETCH(quint64, frame);
        QFETCH(QVariant, body);
        QFETCH(bool, silentMode);
        QFETCH(bool, answer);
        QFETCH(QString, caption);
        QFETCH(QStringList, questions);
        QFETCH(bool, extracted);
        Rig rig;
        rig.browser.bodyText = body.isValid() ? std::optional<QString>(body.toString()) : std::nullopt;
        rig.browser.page = LinkedPage(QStringLiteral("http://h/1"), QStringLiteral("页"), QString());
        rig.form.options[1] = silentMode;
        rig.form.nextName = QStringLiteral("不存在");
        rig.form.scripted.queueAnswers({answer, false, false});

        rig.controller.onDocumentComplete(frame, QStringLiteral("http://h/1"));

        QCOMPARE(rig.form.caption, caption);
        QCOMPARE(rig.form.scripted.questions.mid(0, 1), questions);
        QCOMPARE(rig.form.text1Sets, extracted ? 1 : 0);
    }

    void suppressionScriptsRunEachOnItsOwn_data()
    {
        QTest::addColumn<bool>("succeed");
        QTest::newRow("scripts run") << true;
        QTest::newRow("every script refused") << false;
    }
    void suppressionScriptsRunEachOnItsOwn()
    {
        QFETCH(bool, succeed);
        Rig rig;
        rig.browser.scriptsSucceed = succeed;
        const QStringList scripts{QStringLiteral("function showModalDialog(){return;}"),
                                  QStringLiteral("window.alert=null;"), QStringLiteral("window.confirm=null;"),
                                  QStringLiteral("window.showModaldialog=null;"),
                                  QStringLiteral("window.open=null;")};

        rig.controller.onNavigateComplete2(7, QStringLiteral("http://h/frame"));

        QStringList expected;
        for (const QString &s : scripts)
            expected << QStringLiteral("7:") + s;
        QCOMPARE(rig.browser.scripts, expected);
        QCOMPARE(rig.browser.startScripts, scripts);
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
        // The link gets the focus first, so that a new window it asks for opens in place.
        QCOMPARE(rig.browser.focused, clicks);
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
