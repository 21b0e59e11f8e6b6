#pragma once

#include "tests/support/windowfixture.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The read limit of the window's browser in these tests.
constexpr int kHostileReadTimeoutMs = 5000;

// The program's real window for hostile pages: they can keep the renderer
// from answering (a modal prompt) or make it lose an answer (a restarted
// render process), and the longer read limit keeps each such read to seconds.
class HostileWindow : public pagewick::testsupport::WindowFixture
{
public:
    explicit HostileWindow(pagewick::workflow::FileSystem *fileSystem = nullptr,
                           const pagewick::workflow::ChainTiming *chainTiming = nullptr);
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
