#include "window/startup.h"

#include "browser/webbrowser.h"
#include "window/frmmain.h"
#include "window/shellwindows.h"
#include "workflow/filesystem.h"
#include "workflow/localecodec.h"
#include "workflow/savedirectory.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStandardPaths>

namespace pagewick::window {

QString initialSaveDirectory(const QString &programDirectory)
{
    if (programDirectory.endsWith(QLatin1Char('/')))
        return programDirectory;
    return programDirectory + QLatin1Char('/');
}

QStringList favoritesFiles(const QString &programDirectory)
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QStringList files;
    if (!config.isEmpty())
        files << config + QStringLiteral("/pagewick/favorites.ini");
    files << initialSaveDirectory(programDirectory) + QStringLiteral("favorites.ini");
    return files;
}

QStringList splitStartAddressLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) {
            ++i;
            continue;
        }
        lines << text.mid(start, i - start);
        const bool pair = c == QLatin1Char('\r') && i + 1 < text.size()
                          && text.at(i + 1) == QLatin1Char('\n');
        i += pair ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QStringList readStartAddresses(workflow::FileSystem &fs, const QString &path)
{
    if (!fs.isNormalFile(path))
        return {};
    const std::optional<QByteArray> bytes = fs.readFile(path);
    if (!bytes)
        return {};
    return splitStartAddressLines(workflow::decodeFromLocale(*bytes));
}

void runStartup(Frmmain &window, ShellWindowProvider &shellWindows)
{
    window.WebBrowser1->Navigate(QStringLiteral("about:blank"));

    const QString programDirectory = initialSaveDirectory(window.programDirectory());
    const QString saveDirectory = workflow::StartingSaveDirectory(window.fileSystem(), programDirectory);
    window.Txt_dir->setText(saveDirectory);
    if (saveDirectory != programDirectory)
        window.setSaveDirectoryMadeOnDemand(saveDirectory);

    for (const QString &favorites : favoritesFiles(programDirectory))
        window.Combo1->addItems(readStartAddresses(window.fileSystem(), favorites));

    const int countBeforeScan = window.Combo1->count();
    if (const auto windows = shellWindows.windows())
        window.Combo1->addItems(browserWindowAddresses(*windows));

    if (window.Combo1->count() > countBeforeScan) {
        window.Combo1->setEditText(window.Combo1->itemText(window.Combo1->count() - 1));
        window.WebBrowser1->Navigate(window.Combo1->currentText());
    }
}

} // namespace pagewick::window
