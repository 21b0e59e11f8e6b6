#include "workflow/fileowners.h"

#include "workflow/filesystem.h"
#include "workflow/ledger.h"
#include "workflow/localecodec.h"
#include "workflow/pageaddress.h"

namespace pagewick::workflow {

void FileOwners::learnDirectory(FileSystem &fileSystem, const QString &directory)
{
    if (m_directories.contains(directory))
        return;
    m_directories.insert(directory);
    const std::optional<QByteArray> ledger = fileSystem.readFile(directory + LedgerFileName());
    if (!ledger)
        return;
    for (const LedgerEntry &entry : ParseLedger(*ledger)) {
        if (WroteFile(entry.status) && !entry.file.isEmpty())
            recordWritten(directory + entry.file, entry.address);
    }
}

void FileOwners::recordWritten(const QString &path, const QString &address)
{
    const QString page = PageAddress(address);
    m_ownerByPath.insert(encodeForLocale(path), page);
    m_pathByPage.insert(page, path);
}

QString FileOwners::ownerOf(const QString &path) const
{
    return m_ownerByPath.value(encodeForLocale(path));
}

QString FileOwners::fileOf(const QString &address) const
{
    return m_pathByPage.value(PageAddress(address));
}

} // namespace pagewick::workflow
