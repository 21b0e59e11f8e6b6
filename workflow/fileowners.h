#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

namespace pagewick::workflow {

class FileSystem;

// Which page each saved file belongs to: what the save directories' ledgers
// say, and what this run of the program has written since, so that a file
// written for one page is never replaced by another page's text, in this run
// or a later one.
class FileOwners
{
public:
    // Reads the directory's ledger the first time the directory is met.
    void learnDirectory(FileSystem &fileSystem, const QString &directory);
    void recordWritten(const QString &path, const QString &address);

    // The page the file was last written for; empty when no one knows.
    QString ownerOf(const QString &path) const;
    // The file last written for the page; empty when there is none.
    QString fileOf(const QString &address) const;

private:
    QSet<QString> m_directories;
    // Keyed by the path as the disk sees it, so that two titles that the
    // character set writes alike count as one name.
    QHash<QByteArray, QString> m_ownerByPath;
    QHash<QString, QString> m_pathByPage;
};

} // namespace pagewick::workflow
