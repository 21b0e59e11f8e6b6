#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace pagewick::workflow {

class FileSystem;

struct SaveOutcome
{
    QString path;
    bool written = false;
};

// The save command: Text1's text, in the locale's character set, into the
// save directory under the page title. Remembers, for this run of the
// program, which page address each file was written for, so that two pages
// with one title do not overwrite each other: the later one gets
// "<title>(2).txt", "<title>(3).txt", ... Saving the same address again
// rewrites its own file.
class SaveCommand
{
public:
    SaveOutcome save(FileSystem &fileSystem, const QString &directory, const QString &title,
                     const QString &address, const QString &text);

    // The file the page would be saved to now.
    QString pathFor(const QString &directory, const QString &title, const QString &address) const;

private:
    // Keyed by the path as the disk sees it, so that two titles that the
    // character set writes alike count as one name.
    QHash<QByteArray, QString> m_addressByPath;
};

// The status line after a save.
QString SaveStatus(const SaveOutcome &outcome);

} // namespace pagewick::workflow
