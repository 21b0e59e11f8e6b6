#pragma once

#include "tests/support/loopbackserver.h"
#include "tests/support/scriptedprompt.h"
#include "window/frmmain.h"
#include "workflow/ledger.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace pagewick::workflow {
class FileSystem;
struct ChainTiming;
} // namespace pagewick::workflow

namespace pagewick::testsupport {

// The program's real window, shown offscreen, with scripted message boxes,
// a temporary program (and so save) directory, and a loopback server for
// the pages.
class WindowFixture
{
public:
    // readTimeoutMs limits each read of the window's browser: now and then
    // the engine never answers a script sent just as a page commits, and the
    // pages here answer in milliseconds.
    // chainTiming: null for the real pauses; it must outlive the fixture.
    explicit WindowFixture(workflow::FileSystem *fileSystem = nullptr, int readTimeoutMs = 3000,
                           const workflow::ChainTiming *chainTiming = nullptr);
    ~WindowFixture();

    window::Frmmain &window() { return *m_window; }
    // The blank start page has loaded and its completion has been handled.
    bool ready() const { return m_ready; }

    ScriptedPrompt prompt;
    LoopbackServer server;

    // The save directory as Txt_dir holds it, ending in "/".
    QString saveDirectory() const;
    // Names of the files in the save directory, decoded from UTF-8, sorted;
    // the ledger is not among them.
    QStringList savedFiles() const;
    // The lines of the save directory's ledger.
    QList<workflow::LedgerEntry> ledger() const;
    // The bytes of a file of the save directory named by raw bytes; nullopt
    // when it cannot be read.
    std::optional<QByteArray> savedBytes(const QByteArray &rawName) const;
    std::optional<QByteArray> savedBytes(const QString &name) const { return savedBytes(name.toUtf8()); }

    void setSilentMode(bool on);
    // As the user does: the address into the box, then Go.
    void startAt(const QString &path);
    void startAtUrl(const QString &url);
    // Waits until `count` notices (the next-page notice ends a chain) have been shown.
    bool waitForNotices(int count = 1, int timeoutMs = 60000);
    // Lets the event loop run for a while, so that late effects can show.
    static void settle(int ms = 300);

    // Destroys the window as the program's end would.
    void destroyWindow();
    // The program's next run: a new window over the same program (and save)
    // directory, server and prompt. False when its blank page did not load.
    bool reopenWindow();

private:
    void openWindow();

    workflow::FileSystem *m_fileSystem = nullptr;
    int m_readTimeoutMs = 0;
    const workflow::ChainTiming *m_chainTiming = nullptr;
    QTemporaryDir m_programDir;
    std::unique_ptr<window::Frmmain> m_window;
    bool m_ready = false;
};

} // namespace pagewick::testsupport
