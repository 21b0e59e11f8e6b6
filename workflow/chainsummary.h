#pragma once

#include "workflow/ledger.h"

#include <QString>

namespace pagewick::workflow {

// What one chain of pages put into the ledger, from the user's navigation
// that started it to the notice that ended it.
class ChainTally
{
public:
    void add(LedgerStatus status, bool ledgerWritten);
    void clear() { *this = ChainTally(); }
    int pages() const { return m_saved + m_empty + m_repeat + m_failed; }

    // The status line at the chain's end; empty when the chain recorded nothing.
    QString summary() const;

private:
    int m_saved = 0;
    int m_empty = 0;
    int m_repeat = 0;
    int m_failed = 0;
    bool m_ledgerFailed = false;
    // The chain stopped at the book's contents page.
    bool m_bookEnd = false;
};

} // namespace pagewick::workflow
