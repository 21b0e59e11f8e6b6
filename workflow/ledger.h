#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace pagewick::workflow {

// One line of pagewick-log.tsv.
struct LedgerEntry
{
    QString time;     // ISO 8601, local time with offset, e.g. 2026-12-08T13:05:09+08:00
    QString address;  // the page's address
    QString title;    // cleaned title
    QString file;     // file name written, without directory (may be empty for failures)
    qint64 chars = 0; // UTF-16 length of the saved body without its title line
    QString status;   // saved | empty | repeat | save-failed | load-failed | read-failed | book-end
};

QString LedgerFileName(); // "pagewick-log.tsv"

// Header line skipped; a malformed or cut-off line (crash mid-write) is skipped, the rest kept.
QList<LedgerEntry> ParseLedger(const QByteArray &utf8);

// What became of one page, as the status column names it.
enum class LedgerStatus {
    Saved,      // the file was written
    Empty,      // written, but detection or the keywords found nothing
    Repeat,     // written, but the body is the one saved just before, for another address
    SaveFailed, // the file could not be written
    LoadFailed, // a chain page that could not be opened, retries included
    ReadFailed, // the page could not be read, so nothing was saved
    BookEnd,    // a chain reached the book's contents or information page: not saved
};

QString LedgerStatusText(LedgerStatus status);
std::optional<LedgerStatus> ParseLedgerStatus(const QString &text);
// Saved, empty and repeat lines name a file that was written.
bool WroteFile(LedgerStatus status);
// The same for a status column as written; false for one not known.
bool WroteFile(const QString &statusText);

// The address of the last line with the status saved: where collecting
// stopped the last time.
std::optional<QString> LastSavedAddress(const QList<LedgerEntry> &entries);

// "2026-12-08T13:05:09+08:00": the moment in its own offset, seconds only.
QString LedgerTime(const QDateTime &moment);

// The header line, "\n" included.
QByteArray LedgerHeader();
// One line, "\n" included. Tabs and line breaks inside a field become spaces.
QByteArray LedgerLine(const LedgerEntry &entry);
// How a ledger file ends, as far as appending to it is concerned.
enum class LedgerTail {
    New,       // no file, or an empty one: the header goes first
    LineEnded, // ready for the next line
    MidLine,   // a crash cut the last line: a line end goes first, so that
               // the new line is not glued to the broken one
};
LedgerTail LedgerTailOf(const std::optional<QByteArray> &content);
// The bytes that append one line to a ledger ending as `tail`.
QByteArray LedgerAppendBytes(LedgerTail tail, const LedgerEntry &entry);

} // namespace pagewick::workflow
