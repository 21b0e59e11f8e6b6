#include "workflow/ledgerwriter.h"

#include "workflow/filesystem.h"

namespace pagewick::workflow {

LedgerWrite LedgerWriter::append(FileSystem &fileSystem, const QString &directory,
                                 const LedgerEntry &entry)
{
    const QString path = directory + LedgerFileName();
    // A ledger removed meanwhile starts again with its header.
    LedgerTail tail = LedgerTail::New;
    if (fileSystem.exists(path)) {
        const auto known = m_tails.constFind(path);
        tail = known != m_tails.constEnd() ? *known : LedgerTailOf(fileSystem.readFile(path));
    }
    if (fileSystem.appendFile(path, LedgerAppendBytes(tail, entry))) {
        m_tails.insert(path, LedgerTail::LineEnded);
        m_failing = false;
        return LedgerWrite::Written;
    }
    // A failed append may have left part of the line: look again next time.
    m_tails.remove(path);
    const bool toldAlready = m_failing;
    m_failing = true;
    return toldAlready ? LedgerWrite::FailedAgain : LedgerWrite::Failed;
}

} // namespace pagewick::workflow
