// A page that asks for new windows in a loop: the controller answers the
// whole burst with one read of the active link and one navigation, instead
// of one nested read per request.
#include "tests/workflow/fakeports.h"

#include "workflow/workflowcontroller.h"

#include <QCoreApplication>
#include <QTest>

using pagewick::workflow::WorkflowController;

namespace {

// Reads of the active link let events run, as the real reads do, and more
// requests arrive meanwhile.
class BurstBrowser : public FakeBrowserPort
{
public:
    std::optional<QString> readActiveElementHref() override
    {
        ++activeReads;
        ++depth;
        maxDepth = qMax(maxDepth, depth);
        if (duringRead)
            duringRead();
        QCoreApplication::processEvents();
        --depth;
        return activeHref;
    }

    int activeReads = 0;
    int depth = 0;
    int maxDepth = 0;
    std::function<void()> duringRead;
};

} // namespace

class TstNewWindowBurst : public QObject
{
    Q_OBJECT

private slots:
    void burstOpensTheActiveLinkOnce_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("during");
        QTest::newRow("one request") << 1 << 0;
        QTest::newRow("burst before the read") << 200 << 0;
        QTest::newRow("burst during the read") << 1 << 200;
        QTest::newRow("both") << 100 << 100;
    }

    void burstOpensTheActiveLinkOnce()
    {
        QFETCH(int, before);
        QFETCH(int, during);
        BurstBrowser browser;
        FakeFormPort form;
        WorkflowController controller(browser, form);
        browser.activeHref = QStringLiteral("http://h/target");
        int cancelled = 0;
        auto request = [&] {
            bool cancel = false;
            controller.onNewWindow2(&cancel);
            cancelled += cancel;
        };
        browser.duringRead = [&] {
            for (int k = 0; k < during; ++k)
                request();
        };

        for (int k = 0; k < before; ++k)
            request();
        for (int pass = 0; pass < 5; ++pass)
            QCoreApplication::processEvents();

        QCOMPARE(cancelled, before + during);
        QCOMPARE(browser.activeReads, 1);
        QCOMPARE(browser.maxDepth, 1);
        QCOMPARE(browser.navigations, QStringList{QStringLiteral("http://h/target")});

        // A later request is answered again.
        browser.duringRead = nullptr;
        request();
        QCoreApplication::processEvents();
        QCOMPARE(browser.activeReads, 2);
        QCOMPARE(browser.navigations.size(), 2);
    }
};

QTEST_MAIN(TstNewWindowBurst)
#include "tst_newwindowburst.moc"
