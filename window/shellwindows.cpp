#include "window/shellwindows.h"

namespace pagewick::window {

namespace {

class NoShellWindows : public ShellWindowProvider
{
public:
    std::optional<QVector<ShellWindow>> windows() override { return QVector<ShellWindow>{}; }
};

bool isFileExplorer(const ShellWindow &window)
{
    if (!window.FullName)
        return false;
    return window.FullName->toLower().right(12) == QLatin1String("explorer.exe");
}

} // namespace

ShellWindowProvider &desktopShellWindows()
{
    static NoShellWindows provider;
    return provider;
}

QStringList browserWindowAddresses(const QVector<ShellWindow> &windows)
{
    QStringList addresses;
    for (const ShellWindow &window : windows) {
        if (isFileExplorer(window) || !window.LocationURL)
            continue;
        addresses << *window.LocationURL;
    }
    return addresses;
}

} // namespace pagewick::window
