#include "browser/webbrowser.h"
#include "tests/browser/browsertestbase.h"
#include "tests/browser/modalwatcher.h"
#include "tests/support/enginetestutil.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

using pagewick::browser::FrameId;
using pagewick::browser::WebBrowser;
using namespace pagewick::browsertests;
namespace testsupport = pagewick::testsupport;

// Silent: the engine asks the user nothing and every question gets the
// answer of a dismissed dialog. Not silent: the questions are modal dialogs.
class TestSilentPage : public BrowserTestBase
{
    Q_OBJECT

public:
    static void initMain() { testsupport::prepareEngine(); }

private slots:
    void init() { openBrowser(); }
    void cleanup() { closeBrowser(); }

    void scriptDialogs_data();
    void scriptDialogs();
    void permissionRequestsDeniedWhenSilent();
    void beforeUnload_data();
    void beforeUnload();
    void authenticationCancelledWhenSilent();
    void fileChooser_data();
    void fileChooser();

private:
    // A real mouse click, so that the page has had a user gesture.
    void clickInPage(QPoint at = QPoint(20, 20));
};

void TestSilentPage::clickInPage(QPoint at)
{
    QWidget *surface = m_browser->widget()->focusProxy();
    QVERIFY(surface);
    QTest::mouseClick(surface, Qt::LeftButton, {}, at);
}

void TestSilentPage::scriptDialogs_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QString>("title");
    QTest::newRow("silent") << true << QStringList() << "done:false:null";
    QTest::newRow("shown") << false
                           << QStringList({"QMessageBox", "QMessageBox", "QMessageBox", "QMessageBox",
                                           "QInputDialog"})
                           << "done:true:x";
}

void TestSilentPage::scriptDialogs()
{
    QFETCH(bool, silent);
    QFETCH(QStringList, dialogs);
    QFETCH(QString, title);
    m_server.addPage("/dialogs.html",
                     "<html><head><title>start</title></head><body><p>dialogs</p><script>"
                     "alert('one'); alert('two'); alert('three');"
                     "var c = confirm('sure?'); var p = prompt('name?', 'x');"
                     "document.title = 'done:' + c + ':' + p;"
                     "</script></body></html>");
    m_browser->setSilent(silent);
    QCOMPARE(m_browser->Silent(), silent);
    ModalWatcher user(true);
    QVERIFY(load("/dialogs.html"));
    QCOMPARE(m_browser->readTitle().value_or("<no answer>"), title);
    QCOMPARE(user.seen(), dialogs);
}

void TestSilentPage::permissionRequestsDeniedWhenSilent()
{
    m_server.addPage("/notify.html",
                     "<html><head><title>asking</title></head><body><script>"
                     "Notification.requestPermission().then(function (p) { document.title = p; });"
                     "</script></body></html>");
    m_browser->setSilent(true);
    ModalWatcher user(true);
    QVERIFY(load("/notify.html"));
    QVERIFY(testsupport::waitUntil([&] { return m_browser->readTitle() == QStringLiteral("denied"); }, 10000));
    QVERIFY(user.seen().isEmpty());
}

void TestSilentPage::beforeUnload_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("left");
    QTest::addColumn<int>("dialogs");
    // Silent, the program's own navigation goes on (staying would swallow it).
    QTest::newRow("silent") << true << true << 0;
    // Shown, the user's Cancel keeps the page.
    QTest::newRow("shown, cancelled") << false << false << 1;
}

void TestSilentPage::beforeUnload()
{
    QFETCH(bool, silent);
    QFETCH(bool, left);
    QFETCH(int, dialogs);
    m_server.addPage("/unload.html",
                     "<html><head><title>unload</title></head><body style=\"height:100%\"><p>stay?</p>"
                     "<script>window.addEventListener('beforeunload', function (e) {"
                     " e.preventDefault(); e.returnValue = 'stay'; return 'stay'; });</script>"
                     "</body></html>");
    QVERIFY(load("/unload.html"));
    // The engine asks before unloading only pages the user has acted on.
    clickInPage();
    QVERIFY(testsupport::waitUntil([&] {
        return m_browser->execScript(m_browser->Object(),
                                     "if (!navigator.userActivation.hasBeenActive) throw 0;");
    }, 10000));

    m_browser->setSilent(silent);
    ModalWatcher user(false);
    QSignalSpy completes(m_browser, &WebBrowser::DocumentComplete);
    m_browser->Navigate(m_server.url("/ch2.html").toString());
    if (left) {
        QVERIFY(completes.wait(10000));
        QCOMPARE(m_browser->LocationURL(), m_server.url("/ch2.html").toString());
    } else {
        QVERIFY(testsupport::waitUntil([&] { return user.seen().size() == dialogs; }, 10000));
        testsupport::processEventsFor(500);
        QCOMPARE(m_browser->LocationURL(), m_server.url("/unload.html").toString());
    }
    QCOMPARE(user.seen().size(), dialogs);
}

void TestSilentPage::authenticationCancelledWhenSilent()
{
    m_server.addPage("/private.html", "<html><head><title>refused</title></head><body>401</body></html>",
                     "text/html; charset=utf-8", 401);
    m_server.addHeader("/private.html", "WWW-Authenticate: Basic realm=\"books\"");
    m_browser->setSilent(true);
    ModalWatcher user(false);
    QVERIFY(load("/private.html"));
    QCOMPARE(m_browser->readTitle().value_or("<no answer>"), QStringLiteral("refused"));
    // Cancelled, not answered with empty credentials (which the server would refuse again).
    QCOMPARE(m_server.requestCount("/private.html"), 1);
    QVERIFY(user.seen().isEmpty());
}

void TestSilentPage::fileChooser_data()
{
    QTest::addColumn<bool>("silent");
    QTest::newRow("silent") << true;
    QTest::newRow("shown") << false;
}

void TestSilentPage::fileChooser()
{
    QFETCH(bool, silent);
    m_server.addPage("/file.html",
                     "<html><head><title>file</title></head><body style=\"margin:0\">"
                     "<input type=\"file\" id=\"f\" style=\"position:fixed;left:0;top:0;"
                     "width:100%;height:100%\"></body></html>");
    QVERIFY(load("/file.html"));
    m_browser->setSilent(silent);
    ModalWatcher user(false);
    testsupport::processEventsFor(200);
    clickInPage(QPoint(100, 100));
    if (silent) {
        testsupport::processEventsFor(1500);
        QVERIFY(user.seen().isEmpty());
    } else {
        QVERIFY(testsupport::waitUntil([&] { return !user.seen().isEmpty(); }, 10000));
        QCOMPARE(user.seen().first(), QStringLiteral("QFileDialog"));
    }
    QVERIFY(m_browser->execScript(m_browser->Object(),
                                  "if (document.getElementById('f').files.length !== 0) throw 0;"));
}

QTEST_MAIN(TestSilentPage)
#include "tst_silentpage.moc"
