#include "tests/support/enginetestutil.h"

#include "browser/webbrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QFile>
#include <QSignalSpy>
#include <QWebEnginePage>

#include <csignal>
#include <iconv.h>
#include <unistd.h>

#include <memory>

namespace pagewick::testsupport {

void prepareEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer poll;
    QTimer deadline;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(5);
    deadline.setSingleShot(true);
    deadline.start(timeoutMs);
    loop.exec();
    return condition();
}

void processEventsFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool navigateAndWait(browser::WebBrowser &browser, const QString &url, int timeoutMs)
{
    bool completed = false;
    const QMetaObject::Connection c = QObject::connect(
        &browser, &browser::WebBrowser::DocumentComplete, &browser,
        [&](browser::FrameId frame, const QString &) {
            if (frame == browser.Object())
                completed = true;
        });
    browser.Navigate(url);
    const bool ok = waitUntil([&] { return completed && browser.ReadyState() == 4; }, timeoutMs);
    QObject::disconnect(c);
    return ok;
}

bool navigateAndWait(browser::WebBrowser &browser, const QUrl &url, int timeoutMs)
{
    return navigateAndWait(browser, url.toString(), timeoutMs);
}

bool loadPage(QWebEnginePage &page, const QUrl &url, int timeoutMs)
{
    QSignalSpy finished(&page, &QWebEnginePage::loadFinished);
    page.load(url);
    if (!finished.wait(timeoutMs))
        return false;
    return finished.last().at(0).toBool();
}

std::optional<QVariant> runScript(QWebEnginePage &page, const QString &script, quint32 worldId,
                                  int timeoutMs)
{
    struct Answer
    {
        bool arrived = false;
        QVariant value;
        QPointer<QEventLoop> loop;
    };
    // Shared, so an answer after the timeout lands in a live object. The
    // answer ends the wait at once: timings taken around this are exact.
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    answer->loop = &loop;
    page.runJavaScript(script, worldId, [answer](const QVariant &v) {
        answer->arrived = true;
        answer->value = v;
        if (answer->loop)
            answer->loop->quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    if (!answer->arrived)
        loop.exec();
    answer->loop = nullptr;
    if (!answer->arrived)
        return std::nullopt;
    return answer->value;
}

namespace {

// The parent of pid, from /proc; 0 when unknown.
int parentOf(int pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // "pid (comm) state ppid ..."; comm may hold spaces, so split after ')'.
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() >= 2 ? fields.at(1).toInt() : 0;
}

QByteArray commandLineOf(int pid)
{
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return cmdline.open(QIODevice::ReadOnly) ? cmdline.readAll() : QByteArray();
}

} // namespace

int killRenderProcesses()
{
    // Renderers are forked by the engine's sandboxed zygote (a child of this
    // process) and keep the zygote's command line, so they are found as the
    // children of a zygote started without --no-zygote-sandbox (that one
    // forks the utility processes).
    const int self = int(getpid());
    QList<int> zygotes;
    QList<int> processes;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (!numeric)
            continue;
        processes << pid;
        if (parentOf(pid) == self) {
            const QByteArray cmd = commandLineOf(pid);
            if (cmd.contains("--type=zygote") && !cmd.contains("--no-zygote-sandbox"))
                zygotes << pid;
        }
    }
    int killed = 0;
    for (const int pid : std::as_const(processes)) {
        if (zygotes.contains(parentOf(pid)) && ::kill(pid, SIGKILL) == 0)
            ++killed;
    }
    return killed;
}

QByteArray encodeGbk(const QString &text)
{
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 2 + 16, '\0');
    char *inPtr = in.data();
    size_t inLeft = size_t(in.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == size_t(-1) || inLeft != 0)
        return {};
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

} // namespace pagewick::testsupport
