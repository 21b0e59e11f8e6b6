#include "book/booksource.h"

#include "book/bookpages.h"
#include "workflow/filesystem.h"
#include "workflow/ledger.h"
#include "workflow/localecodec.h"

namespace pagewick::book {

BookSource ReadBookSource(workflow::FileSystem &fileSystem, const QString &directory)
{
    BookSource source;
    const std::optional<QByteArray> ledgerBytes =
        fileSystem.readFile(directory + workflow::LedgerFileName());
    if (!ledgerBytes)
        return source;

    const QList<workflow::LedgerEntry> ledger = workflow::ParseLedger(*ledgerBytes);
    for (const workflow::LedgerEntry &entry : ledger) {
        if (!entry.file.isEmpty())
            source.ledgerFiles.insert(entry.file);
    }

    QList<BookPage> &pages = source.pages;
    for (const workflow::LedgerEntry &entry : BookEntries(ledger)) {
        const std::optional<QByteArray> bytes = fileSystem.readFile(directory + entry.file);
        if (bytes)
            pages.append({entry.title, PageLines(workflow::decodeFromLocale(*bytes), entry.title)});
    }
    source.chapters = JoinChapters(pages);
    source.state = pages.isEmpty() ? BookSource::State::NoPages : BookSource::State::Ready;
    return source;
}

} // namespace pagewick::book
