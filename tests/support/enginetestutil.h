#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QTest>
#include <QVariant>

#include <functional>
#include <optional>

class QWebEnginePage;

namespace pagewick::browser {
class WebBrowser;
}

// Helpers for tests that run Qt WebEngine headless.
//
// Start-up: the engine must be prepared before the application object
// exists. Either give the test class
//     static void initMain() { pagewick::testsupport::prepareEngine(); }
// and use QTEST_MAIN as usual (QTest calls initMain() first), or use
//     PAGEWICK_ENGINE_TEST_MAIN(TestClass)
// in place of QTEST_MAIN. Register the test with ENGINE (pagewick_add_test).
namespace pagewick::testsupport {

// Generous: the first page of a process also starts the engine.
constexpr int kEngineTimeoutMs = 30000;

// Shares OpenGL contexts (the engine requires it before QApplication) and,
// when not already set in the environment: the offscreen platform, no GPU,
// and no Chromium sandbox when running as root (it refuses to start then).
void prepareEngine();

// Runs the event loop until condition() holds, checking it every few
// milliseconds; false on timeout. Use it (or QSignalSpy::wait) rather than
// QTRY_* / QTest::qWaitFor for anything the engine has to do: those sleep
// between event batches, and the engine, which needs many short turns of the
// loop, then takes seconds for a page that loads in milliseconds.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs = kEngineTimeoutMs);

// QTRY_COMPARE_WITH_TIMEOUT and QTRY_VERIFY_WITH_TIMEOUT without their sleeps.
#define ENGINE_TRY_COMPARE(actual, expected, timeoutMs)                                                 \
    do {                                                                                                \
        pagewick::testsupport::waitUntil([&] { return (actual) == (expected); }, timeoutMs);           \
        QCOMPARE(actual, expected);                                                                     \
    } while (false)
#define ENGINE_TRY_VERIFY(condition, timeoutMs)                                                         \
    QVERIFY(pagewick::testsupport::waitUntil([&] { return bool(condition); }, timeoutMs))

// Runs the event loop for the given time (QTest::qWait slows the engine as
// QTRY_* does).
void processEventsFor(int milliseconds);

// Navigates and waits for the top-level DocumentComplete that follows, with
// ReadyState 4. False on timeout.
bool navigateAndWait(browser::WebBrowser &browser, const QString &url,
                     int timeoutMs = kEngineTimeoutMs);
bool navigateAndWait(browser::WebBrowser &browser, const QUrl &url,
                     int timeoutMs = kEngineTimeoutMs);

// The raw engine: loads url in page and waits for loadFinished; its ok flag.
bool loadPage(QWebEnginePage &page, const QUrl &url, int timeoutMs = kEngineTimeoutMs);
// Runs script in the given world of page and waits for its answer; nullopt on timeout.
std::optional<QVariant> runScript(QWebEnginePage &page, const QString &script,
                                  quint32 worldId = 0, int timeoutMs = kEngineTimeoutMs);

// Kills (SIGKILL) this process's render processes, as a renderer crash
// would; answers how many were killed.
int killRenderProcesses();

// GBK bytes of text (through iconv); empty when a character has no GBK form.
QByteArray encodeGbk(const QString &text);

} // namespace pagewick::testsupport

#define PAGEWICK_ENGINE_TEST_MAIN(TestObject)                                                      \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        pagewick::testsupport::prepareEngine();                                                    \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
