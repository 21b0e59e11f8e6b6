#include "tests/support/enginetestutil.h"
#include "tests/support/windowfixture.h"
#include "tests/window/samplepages.h"

#include "browser/webbrowser.h"
#include "window/programinfo.h"
#include "workflow/filesystem.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>

using pagewick::testsupport::WindowFixture;

namespace {

const QString kNotice =
    QStringLiteral("   可能你没有设置当前页的下页链接名称或者设置不对，或者是网页已经提取结束了，请检查!    ");
const QString kLoaded = QStringLiteral("网页加载完毕，要分析本页吗？     ");

// Closes and records every dialog box that appears while it lives.
class DialogWatch : public QObject
{
public:
    DialogWatch()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible()) {
                    seen << dialog->windowTitle();
                    dialog->reject();
                }
            }
        });
        m_timer.start();
    }
    QStringList seen;

private:
    QTimer m_timer;
};

// The real file system, with a look at the browser each time a file is written.
class WatchedFileSystem : public pagewick::workflow::FileSystem
{
public:
    std::function<void()> onWrite;

    bool exists(const QString &p) override { return real().exists(p); }
    bool isNormalFile(const QString &p) override { return real().isNormalFile(p); }
    bool createDirectory(const QString &p) override { return real().createDirectory(p); }
    std::optional<QByteArray> readFile(const QString &p) override { return real().readFile(p); }
    bool writeFileReplacing(const QString &p, const QByteArray &b) override
    {
        if (onWrite)
            onWrite();
        return real().writeFileReplacing(p, b);
    }
    bool appendFile(const QString &p, const QByteArray &b) override { return real().appendFile(p, b); }

private:
    static pagewick::workflow::FileSystem &real() { return pagewick::workflow::realFileSystem(); }
};

QString NextLink(const QString &href, const QString &extra = {})
{
    return QStringLiteral("<a href=\"%1\" %2>下一页</a>").arg(href, extra);
}

// Lets pop-up blocking leave the engine's own dialogs on, so that a script
// dialog that got through would show.
void AllowEngineDialogs(WindowFixture &f)
{
    f.window().Check1[0]->setChecked(false);
    f.window().WebBrowser1->setSilent(false);
}

} // namespace

class TstCyclePopups : public QObject
{
    Q_OBJECT

public:
    static void initMain() { pagewick::testsupport::prepareEngine(); }

private slots:
    void chainGoesOnThroughPopups()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.setSilentMode(true);
        AllowEngineDialogs(f);
        DialogWatch dialogs;
        const QString alerts = QStringLiteral(
            "<script>for (var i = 0; i < 3; i++) { alert('a' + i); confirm('c' + i); }"
            " setInterval(function () { alert('again'); confirm('again'); }, 30);</script>");
        f.server.addPage(QStringLiteral("/pop/alerts.htm"),
                         ProsePage(QStringLiteral("弹窗页"), alerts + NextLink(QStringLiteral("open.htm"))));
        f.server.addPage(QStringLiteral("/pop/open.htm"),
                         ProsePage(QStringLiteral("开窗页"),
                                   QStringLiteral("<script>window.open('popup.htm');"
                                                  " setTimeout(function () { window.open('popup.htm'); }, 50);</script>")
                                       + NextLink(QStringLiteral("frames.htm"), QStringLiteral("target=\"_blank\""))));
        f.server.addPage(QStringLiteral("/pop/frames.htm"),
                         ProsePage(QStringLiteral("框架页"),
                                   QStringLiteral("<iframe src=\"inner.htm\"></iframe><iframe src=\"inner.htm?2\"></iframe>")
                                       + NextLink(QStringLiteral("last.htm"))));
        f.server.addPage(QStringLiteral("/pop/inner.htm"),
                         "<html><body><p>frame</p><script>alert('frame'); confirm('frame');"
                         " window.open('popup.htm');</script></body></html>");
        f.server.addPage(QStringLiteral("/pop/last.htm"), ProsePage(QStringLiteral("末页"), QString()));
        f.server.addPage(QStringLiteral("/pop/popup.htm"), "<html><body>popup</body></html>");

        f.startAt(QStringLiteral("/pop/alerts.htm"));
        // Generous: a click the engine leaves unanswered costs the read limit
        // and the no-load watch before the link's address is opened.
        const bool ok = f.waitForNotices(1, 60000);
        QVERIFY2(ok, qPrintable(QStringLiteral("at %1, status \"%2\", caption \"%3\", files %4")
                                    .arg(f.window().WebBrowser1->LocationURL(), f.window().Lab_bt->text(),
                                         f.window().windowTitle(), f.savedFiles().join(QLatin1Char(',')))));
        pagewick::testsupport::processEventsFor(300);

        QCOMPARE(dialogs.seen, QStringList());
        QCOMPARE(f.prompt.shown, QStringList{kNotice});
        QCOMPARE(f.server.requestCount(QStringLiteral("/pop/popup.htm")), 0);
        QCOMPARE(f.server.requestCount(QStringLiteral("/pop/frames.htm")), 1);
        QCOMPARE(f.server.requestCount(QStringLiteral("/pop/inner.htm")), 2);
        QCOMPARE(f.savedFiles(), (QStringList{QStringLiteral("开窗页.txt"), QStringLiteral("弹窗页.txt"),
                                              QStringLiteral("末页.txt"), QStringLiteral("框架页.txt")}));
        QCOMPARE(QApplication::topLevelWidgets().count(&f.window()), 1);
        QCOMPARE(f.window().WebBrowser1->LocationURL(), f.server.url(QStringLiteral("/pop/last.htm")).toString());
    }

    // The page keeps asking for windows while the clicked link's page, at a
    // Chinese address, is on its way: that load is not started again.
    void newWindowBurstDuringAChineseAddressLoad()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.setSilentMode(true);
        const QString target = QStringLiteral("/pop/%E7%AC%AC%E4%BA%8C%E7%AB%A0.htm"); // 第二章
        const QString burst = QStringLiteral(
            "<script>document.querySelector('a').addEventListener('click', function () {"
            "  var k = 0;"
            "  var timer = setInterval(function () {"
            "    if (++k > 60) { clearInterval(timer); return; }"
            "    try { var f = document.createElement('iframe'); document.body.appendChild(f);"
            "          f.contentWindow.open('/pop/popup.htm'); } catch (e) {}"
            "  }, 20);"
            "});</script>");
        f.server.addPage(QStringLiteral("/pop/first.htm"),
                         ProsePage(QStringLiteral("第一章"),
                                   NextLink(QStringLiteral("第二章.htm"), QStringLiteral("target=\"_blank\"")) + burst));
        f.server.addDelayedPage(target, ProsePage(QStringLiteral("第二章"), QString()), 1500);
        f.server.addPage(QStringLiteral("/pop/popup.htm"), "<html><body>popup</body></html>");
        int requests = 0;
        QObject::connect(f.window().WebBrowser1, &pagewick::browser::WebBrowser::NewWindow2, &f.window(),
                         [&requests](bool *) { ++requests; });

        f.startAt(QStringLiteral("/pop/first.htm"));
        QVERIFY(f.waitForNotices());
        f.settle(500);

        qInfo("%d new-window requests during the load", requests);
        QVERIFY(requests > 3);
        QCOMPARE(f.server.requestCount(target), 1);
        QCOMPARE(f.server.requestCount(QStringLiteral("/pop/popup.htm")), 0);
        QCOMPARE(f.savedFiles(), (QStringList{QStringLiteral("第一章.txt"), QStringLiteral("第二章.txt")}));
        QCOMPARE(QUrl(f.window().WebBrowser1->LocationURL()).toEncoded(), f.server.url(target).toEncoded());
    }

    void newWindowWithoutALinkLoadsNothing()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.prompt.setAnswerWhenEmpty(false);
        f.server.addPage(QStringLiteral("/pop/form.htm"),
                         "<html><body><p>form</p><form action=\"target.htm\" target=\"_blank\"></form>"
                         "<script>setTimeout(function () { document.forms[0].submit(); }, 100);</script>"
                         "</body></html>");
        f.server.addPage(QStringLiteral("/pop/target.htm"), "<html><body>target</body></html>");
        int requests = 0;
        QObject::connect(f.window().WebBrowser1, &pagewick::browser::WebBrowser::NewWindow2, &f.window(),
                         [&requests](bool *) { ++requests; });

        f.startAt(QStringLiteral("/pop/form.htm"));
        ENGINE_TRY_COMPARE(requests, 1, 10000);
        pagewick::testsupport::processEventsFor(500);

        QCOMPARE(f.server.requestCount(QStringLiteral("/pop/target.htm")), 0);
        QCOMPARE(f.window().WebBrowser1->LocationURL(), f.server.url(QStringLiteral("/pop/form.htm")).toString());
    }

    void pageClosingItsWindowLeavesTheBlankPage()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.prompt.setAnswerWhenEmpty(false);
        f.server.addPage(QStringLiteral("/pop/closer.htm"),
                         ProsePage(QStringLiteral("关窗页"),
                                   QStringLiteral("<script>setTimeout(function () { window.close(); }, 300);</script>")));

        // The engine lets a page close its window only while the window has
        // no history behind it, as a window opened for just that page has:
        // the page replaces the blank start page.
        QVERIFY(f.window().WebBrowser1->execScript(
            f.window().WebBrowser1->Object(),
            QStringLiteral("location.replace('%1');").arg(f.server.url(QStringLiteral("/pop/closer.htm")).toString())));
        ENGINE_TRY_COMPARE(f.prompt.questions.size(), 1, 10000);
        f.window().setWindowTitle(QStringLiteral("关窗页 - 提取结束"));
        ENGINE_TRY_COMPARE(f.window().WebBrowser1->LocationURL(), QStringLiteral("about:blank"), 10000);
        ENGINE_TRY_COMPARE(f.window().windowTitle(), pagewick::window::programTitle(), 10000);

        QVERIFY(f.window().isVisible());
        QCOMPARE(f.prompt.shown, QStringList{kLoaded});
        QCOMPARE(f.window().Combo1->currentText(), QStringLiteral("about:blank"));
    }

    void statusLineShowsTheHoveredLink()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.prompt.setAnswerWhenEmpty(false);
        f.server.addPage(QStringLiteral("/pop/hover.htm"),
                         "<html><body style=\"margin:0\"><a href=\"/pop/hovered.htm\" style=\"position:fixed;"
                         "left:0;top:0;width:100%;height:100%;display:block\">link</a></body></html>");
        f.startAt(QStringLiteral("/pop/hover.htm"));
        ENGINE_TRY_COMPARE(f.prompt.questions.size(), 1, 10000);
        QWidget *surface = f.window().WebBrowser1->widget()->focusProxy();
        QVERIFY(surface);
        const QString hovered = f.server.url(QStringLiteral("/pop/hovered.htm")).toString();

        int step = 0;
        ENGINE_TRY_VERIFY([&] {
                QTest::mouseMove(surface, QPoint(40 + ++step % 7, 40));
                return f.window().Lab_bt->text() == hovered;
            }(), 10000);
    }

    void silentIsOffDuringARunAndRestoredAfter_data()
    {
        QTest::addColumn<bool>("blocking");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        QTest::newRow("blocking on") << true << false << true;
        QTest::newRow("blocking off, Silent off") << false << false << false;
        QTest::newRow("blocking off, Silent left on") << false << true << true;
    }
    void silentIsOffDuringARunAndRestoredAfter()
    {
        QFETCH(bool, blocking);
        QFETCH(bool, before);
        QFETCH(bool, after);
        WatchedFileSystem fs;
        WindowFixture f(&fs);
        QVERIFY(f.ready());
        f.window().Check1[0]->setChecked(blocking);
        f.window().WebBrowser1->setSilent(before);
        f.setSilentMode(true);
        f.window().Txt_Next->setText(QStringLiteral("没有这样的链接"));
        f.server.addPage(QStringLiteral("/pop/one.htm"), ProsePage(QStringLiteral("一页"), QString()));
        QList<bool> whileScanning;
        QList<bool> whileSaving;
        QObject::connect(&f.window(), &QWidget::windowTitleChanged, &f.window(), [&](const QString &caption) {
            if (caption.contains(QStringLiteral("正在处理中")))
                whileScanning << f.window().WebBrowser1->Silent();
        });
        fs.onWrite = [&] { whileSaving << f.window().WebBrowser1->Silent(); };

        f.startAt(QStringLiteral("/pop/one.htm"));
        QVERIFY(f.waitForNotices());

        QVERIFY(!whileScanning.isEmpty());
        QVERIFY(!whileScanning.contains(true));
        QCOMPARE(whileSaving, QList<bool>{after});
        QCOMPARE(f.window().WebBrowser1->Silent(), after);
    }

    void browserLosingTheFocusHandsItToTheAddressBox()
    {
        WindowFixture f;
        QVERIFY(f.ready());
        f.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        QWidget *view = f.window().WebBrowser1->widget();
        view->setFocus();
        ENGINE_TRY_VERIFY(view->hasFocus() || (view->focusProxy() && view->focusProxy()->hasFocus()), 5000);

        f.window().Cmd_save->setFocus();

        ENGINE_TRY_VERIFY(f.window().Combo1->hasFocus() || f.window().Combo1->lineEdit()->hasFocus(), 5000);
    }
};

PAGEWICK_ENGINE_TEST_MAIN(TstCyclePopups)
#include "tst_cycle_popups.moc"
