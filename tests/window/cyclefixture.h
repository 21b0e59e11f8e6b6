#pragma once

#include "tests/support/loopbackserver.h"
#include "tests/support/scriptedprompt.h"
#include "window/frmmain.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace pagewick::workflow {
class FileSystem;
}

// A real main window, shown offscreen, with scripted message boxes, a
// temporary program (and so save) directory, and a loopback server for the
// pages.
class CycleFixture
{
public:
    explicit CycleFixture(pagewick::workflow::FileSystem *fileSystem = nullptr);
    ~CycleFixture();

    pagewick::window::Frmmain &window() { return *m_window; }
    // The blank start page has loaded.
    bool ready() const { return m_ready; }
    ScriptedPrompt prompt;
    pagewick::testsupport::LoopbackServer server;

    // The save directory as Txt_dir holds it, ending in "/".
    QString saveDirectory() const;
    // Names of the files in the save directory, decoded from UTF-8.
    QStringList savedFiles() const;
    // Raw bytes of a file of the save directory named by raw bytes.
    QByteArray savedBytes(const QByteArray &rawName) const;
    QByteArray savedBytes(const QString &name) const { return savedBytes(name.toUtf8()); }

    // Serves samples/book-utf8 under /book/.
    void serveSampleBook();
    // As the user does: the address into the box, then Go.
    void startAt(const QString &path);
    // Waits for the next-page notice that ends a chain.
    bool waitForChainEnd(int notices = 1, int timeoutMs = 60000);

    void setSilentMode(bool on);

private:
    QTemporaryDir m_programDir;
    std::unique_ptr<pagewick::window::Frmmain> m_window;
    bool m_ready = false;
};

// The text a chapter of the sample book is saved with: the cleaned title,
// an empty line, the paragraphs of its content block separated by empty
// lines, and a final line break. Worked out from the page source.
QString ExpectedChapterText(const QString &chapterFile);
// The cleaned title of a chapter of the sample book.
QString ChapterTitle(const QString &chapterFile);

// The sample book's chapter files in reading order.
QStringList SampleChapters();

// A page with a title, a prose block the detection takes and the given
// extra markup at the end of the body.
QByteArray ProsePage(const QString &title, const QString &extraBody, const QString &sentence = {});
