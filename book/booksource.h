#pragma once

#include "book/chapters.h"

#include <QList>
#include <QSet>
#include <QString>

namespace pagewick::workflow {
class FileSystem;
}

namespace pagewick::book {

// What a save directory holds for the book.
struct BookSource
{
    enum class State {
        NoLedger, // no ledger, or one that cannot be read
        NoPages,  // a ledger without any saved page whose file is still there
        Ready,
    };
    State state = State::NoLedger;
    QList<BookPage> pages; // in the book's order
    QList<Chapter> chapters; // the pages joined, as they are
    // Every file name the ledger mentions, so that the book is never
    // written over one of them.
    QSet<QString> ledgerFiles;
};

// `directory` ends in "/". Reads the directory's ledger and, in its order,
// the files of the pages that make the book, each in the locale's
// character set as the save command wrote it. A file that is gone is left
// out.
BookSource ReadBookSource(workflow::FileSystem &fileSystem, const QString &directory);

} // namespace pagewick::book
