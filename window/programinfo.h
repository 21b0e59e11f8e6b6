#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace pagewick::workflow {
class FileSystem;
}

namespace pagewick::window {

// The caption the window starts with and returns to after a blank page.
QString programTitle();

// The version of this build, "0.1.0".
QString programVersion();

// The name the desktop knows the program by: its desktop entry, icon and
// metainfo files are called so.
QString desktopId();

// Drawn from the SVG that is also installed as the desktop's icon.
QIcon programIcon();

// The executable's directory, without a trailing "/" (except the root).
QString executableDirectory();

// Where an installed program's data lie: <prefix>/share/pagewick for a
// program in <prefix>/bin. Says nothing about whether it exists.
QString installedDataDirectory(const QString &programDirectory);

// The directory holding the sample book: "samples" beside the program (a build
// folder, or a copied program), else the one in the installed data directory;
// the one beside the program when neither holds the book.
QString sampleDirectory(workflow::FileSystem &fs, const QString &programDirectory);

// The shipped sample book's first chapter and its table of contents.
QStringList defaultStartAddresses(workflow::FileSystem &fs, const QString &programDirectory);

// "file://" + the absolute path, nothing percent-encoded: /home/u/第一章.htm
// gives file:///home/u/第一章.htm.
QString fileAddress(const QString &path);

} // namespace pagewick::window
