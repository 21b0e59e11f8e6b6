#pragma once

#include "workflow/ledger.h"

#include <QList>

namespace pagewick::book {

// The ledger lines whose pages make the book, in the book's order. Only saved
// pages count (statuses saved, empty and repeat). An address saved more than
// once is taken once, from its latest line, at the place of its first line.
// A file named by several addresses belongs to the one whose line wrote it
// last. Repeated pages are left out, so that their text never appears twice.
// Whether the files still exist is not looked at here.
QList<workflow::LedgerEntry> BookEntries(const QList<workflow::LedgerEntry> &ledger);

} // namespace pagewick::book
