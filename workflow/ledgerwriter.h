#pragma once

#include "workflow/ledger.h"

#include <QHash>
#include <QString>

namespace pagewick::workflow {

class FileSystem;

enum class LedgerWrite {
    Written,
    Failed,      // the first failure after a success (or the first line of the run)
    FailedAgain, // the user has been told already
};

// Appends lines to the ledgers of the save directories. A line is appended
// and handed to the system at once; one that cannot be written is lost, and
// collecting goes on.
class LedgerWriter
{
public:
    LedgerWrite append(FileSystem &fileSystem, const QString &directory, const LedgerEntry &entry);

private:
    // How this run left each ledger; a ledger not in here is read first.
    QHash<QString, LedgerTail> m_tails;
    bool m_failing = false;
};

} // namespace pagewick::workflow
