#pragma once

#include "workflow/ledger.h"

#include <QSet>
#include <QString>

namespace pagewick::cli {

// The line a page of the chain leaves on standard error: its time, what
// became of it, its title (its address when it has none) and its file.
QString ProgressLine(const workflow::LedgerEntry &entry);

// The addresses of the ledger's pages that have a file.
QSet<QString> WrittenAddresses(const QList<workflow::LedgerEntry> &entries);

// How one book's run went.
struct BookResult
{
    QString name;
    int added = 0;    // pages with a file now whose address had none before
    qsizetype chapters = 0; // chapters of the book as it stands now
    bool bookWritten = false;
    // Why the book is not done: empty when it is.
    QString problem;
};

// "雨巷旧事：新增 3 章，共 312 章，书已更新", and what went wrong after it.
QString SummaryLine(const BookResult &result);

// Prints the lines of a run on standard error, in UTF-8 whatever the
// locale, as a terminal or the journal shows them.
class Output
{
public:
    explicit Output(bool quiet)
        : m_quiet(quiet)
    {
    }
    // Left out with --quiet.
    void progress(const QString &line) const;
    void summary(const QString &line) const;

private:
    bool m_quiet = false;
};

} // namespace pagewick::cli
