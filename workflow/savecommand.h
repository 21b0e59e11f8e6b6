#pragma once

#include "workflow/filesystem.h"
#include "workflow/fileowners.h"
#include "workflow/ledger.h"
#include "workflow/ledgerwriter.h"

#include <QDateTime>
#include <QString>

namespace pagewick::workflow {

class FileSystem;

struct SaveOutcome
{
    QString path;
    bool written = false;
    LedgerStatus status = LedgerStatus::SaveFailed;
    LedgerWrite ledger = LedgerWrite::Written;
    // Why the file was not written; None when it was.
    WriteFailure failure = WriteFailure::None;
};

// The save command: Text1's text, in the locale's character set, into the
// save directory under the page title, and a line about it in the
// directory's ledger. A file that belongs to another page (by the ledger, or
// by this run's saves), or that is on the disk without the ledger knowing
// it, is never replaced: the page gets "<title>(2).txt", "<title>(3).txt",
// ... instead. Saving the same address again rewrites its own file.
class SaveCommand
{
public:
    SaveOutcome save(FileSystem &fileSystem, const QString &directory, const QString &title,
                     const QString &address, const QString &text, const QDateTime &when);

    // A page of a chain that was not saved (load-failed, read-failed): a
    // ledger line without a file.
    LedgerWrite recordUnsaved(FileSystem &fileSystem, const QString &directory, const QString &title,
                              const QString &address, LedgerStatus status, const QDateTime &when);

    // The file the page would be saved to now; empty when every number is taken.
    QString pathFor(FileSystem &fileSystem, const QString &directory, const QString &title,
                    const QString &address);

private:
    FileOwners m_owners;
    LedgerWriter m_ledger;
    // The body of the last page written, and its address.
    QString m_lastBody;
    QString m_lastPage;
};

// The saved text without its title line (or the four spaces that stand for
// a title found in the text).
QString SavedBody(const QString &text, const QString &title);
// Whether line is the title line as paragraph re-flow leaves it: indented
// by four spaces, its own spaces gone.
bool IsReflowedTitleLine(QStringView line, const QString &title);

// The status line after a save.
QString SaveStatus(const SaveOutcome &outcome);

// The notice of a silent run that stops because its files cannot be saved
// (FailsEveryFile of the outcome's failure) at the page of that address.
QString SaveStoppedNotice(const SaveOutcome &outcome, const QString &address);

} // namespace pagewick::workflow
