#include "cli/runfilesystem.h"

namespace pagewick::cli {

RunFileSystem::RunFileSystem(workflow::FileSystem &inner,
                             std::function<void(const workflow::LedgerEntry &)> ledgerLine)
    : m_inner(inner)
    , m_ledgerLine(std::move(ledgerLine))
{
}

bool RunFileSystem::createDirectory(const QString &path)
{
    return !m_stopped && m_inner.createDirectory(path);
}

bool RunFileSystem::writeFileReplacing(const QString &path, const QByteArray &bytes)
{
    return !m_stopped && m_inner.writeFileReplacing(path, bytes);
}

bool RunFileSystem::appendFile(const QString &path, const QByteArray &bytes)
{
    if (m_stopped || !m_inner.appendFile(path, bytes))
        return false;
    // The bytes of one append are whole lines (a header first, or a line
    // end mending a cut-off line, at most).
    if (path.endsWith(QLatin1Char('/') + workflow::LedgerFileName())) {
        for (const workflow::LedgerEntry &entry : workflow::ParseLedger(bytes))
            m_ledgerLine(entry);
    }
    return true;
}

} // namespace pagewick::cli
