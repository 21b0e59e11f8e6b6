#include "book/bookpages.h"

#include <QHash>

#include <algorithm>

namespace pagewick::book {

namespace {

// A bare name inside the save directory; the ledger is a text file anybody
// can edit, and the book must not take in files from elsewhere.
bool IsPlainFileName(const QString &file)
{
    return !file.isEmpty() && file != QLatin1String(".") && file != QLatin1String("..")
        && !file.contains(QLatin1Char('/'));
}

bool IsRepeat(const QString &status)
{
    return workflow::ParseLedgerStatus(status) == workflow::LedgerStatus::Repeat;
}

struct Place
{
    workflow::LedgerEntry entry;
    qsizetype line = 0; // of the entry, in the ledger
};

} // namespace

QList<workflow::LedgerEntry> BookEntries(const QList<workflow::LedgerEntry> &ledger)
{
    QList<Place> places;
    QHash<QString, qsizetype> placeOfAddress;
    for (qsizetype line = 0; line < ledger.size(); ++line) {
        const workflow::LedgerEntry &entry = ledger.at(line);
        if (!workflow::WroteFile(entry.status))
            continue;
        const auto found = placeOfAddress.constFind(entry.address);
        if (found == placeOfAddress.constEnd()) {
            placeOfAddress.insert(entry.address, places.size());
            places.append({entry, line});
        } else {
            places[*found] = {entry, line};
        }
    }

    QHash<QString, qsizetype> lastWriterOfFile;
    for (const Place &place : places) {
        qsizetype &writer = lastWriterOfFile[place.entry.file];
        writer = std::max(writer, place.line);
    }

    QList<workflow::LedgerEntry> entries;
    for (const Place &place : places) {
        if (!IsPlainFileName(place.entry.file) || IsRepeat(place.entry.status)
            || lastWriterOfFile.value(place.entry.file) != place.line)
            continue;
        entries.append(place.entry);
    }
    return entries;
}

} // namespace pagewick::book
