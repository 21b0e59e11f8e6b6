#pragma once

#include "tests/support/loopbackserver.h"
#include "tests/support/scriptedprompt.h"
#include "window/frmmain.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace pagewick::workflow {
class FileSystem;
}

// The read limit of the window's browser in these tests.
constexpr int kHostileReadTimeoutMs = 5000;

// The program's real window, shown offscreen, with scripted message boxes, a
// temporary save directory and a loopback server for the pages.
class HostileWindow
{
public:
    explicit HostileWindow(pagewick::workflow::FileSystem *fileSystem = nullptr);
    ~HostileWindow();

    pagewick::window::Frmmain &window() { return *m_window; }
    // The blank start page has loaded.
    bool ready() const { return m_ready; }

    ScriptedPrompt prompt;
    pagewick::testsupport::LoopbackServer server;

    // Txt_dir's text, ending in "/".
    QString saveDirectory() const;
    QStringList savedFiles() const;
    // The bytes of a file in the save directory; nullopt when it cannot be read.
    std::optional<QByteArray> savedBytes(const QString &name) const;

    void setSilentMode(bool on);
    // As the user does: the address into the box, then Go.
    void startAt(const QString &path);
    void startAtUrl(const QString &url);
    // Waits until `count` notices have been shown.
    bool waitForNotices(int count = 1, int timeoutMs = 30000);
    // Lets the event loop run for a while, so that late effects can show.
    static void settle(int ms = 300);

    // Destroys the window as the program's end would.
    void destroyWindow();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<pagewick::window::Frmmain> m_window;
    bool m_ready = false;
};

// A chapter page: the title, a content block of `lines` prose lines joined
// by <br> that the detection takes, then `extraBody`. Encoded in UTF-8.
QByteArray ChapterPage(const QString &title, int lines, const QString &extraBody = {});

// The lines of ChapterPage's content block.
QStringList ChapterLines(int lines);

// What the program saves for a ChapterPage whose cleaned title is
// `cleanTitle` (not occurring in the text).
QString ExpectedChapterFile(const QString &cleanTitle, int lines);

// A link with the default next-page name.
QString NextLink(const QString &href);
