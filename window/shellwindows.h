#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// The open browser and file-explorer windows of the desktop, read once at
// start-up to offer their addresses as start pages.
namespace pagewick::window {

struct ShellWindow
{
    std::optional<QString> FullName;    // path of the hosting program; nullopt when unreadable
    std::optional<QString> LocationURL; // the address shown; nullopt when unreadable
};

class ShellWindowProvider
{
public:
    virtual ~ShellWindowProvider() = default;
    // The windows in the collection's own order; nullopt when there is no collection.
    virtual std::optional<QVector<ShellWindow>> windows() = 0;
};

// This desktop keeps no such collection: it lists no window.
ShellWindowProvider &desktopShellWindows();

// The addresses of the browser windows, in order. A file-explorer window (its
// program path ending in "explorer.exe", any case) is left out; a window whose
// program cannot be named counts as a browser; one whose address cannot be
// read gives nothing.
QStringList browserWindowAddresses(const QVector<ShellWindow> &windows);

} // namespace pagewick::window
