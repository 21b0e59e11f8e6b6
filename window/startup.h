#pragma once

#include <QString>
#include <QStringList>

namespace pagewick::workflow {
class FileSystem;
}

namespace pagewick::window {

class Frmmain;
class ShellWindowProvider;

// The save directory the window starts with: the directory with one "/" at its end.
QString initialSaveDirectory(const QString &programDirectory);

// The start-address lists read at start, in this order: the user's own
// (pagewick/favorites.ini in the user's configuration folder), then the one
// beside the program.
QStringList favoritesFiles(const QString &programDirectory);

// The entries of a start-address list, one per line. A line ends at CR LF, a
// lone CR or a lone LF; the last one needs no end, and an end after it adds no
// entry. Lines are kept verbatim, empty ones included.
QStringList splitStartAddressLines(const QString &text);

// The entries of favorites.ini at that path; none when it is not a normal file
// or cannot be read.
QStringList readStartAddresses(workflow::FileSystem &fs, const QString &path);

// Run once before the window is first shown: blank page, save directory,
// start addresses from favorites.ini and from the open browser windows, and
// the last browser window's address loaded.
void runStartup(Frmmain &window, ShellWindowProvider &shellWindows);

} // namespace pagewick::window
