#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace pagewick::book {

struct ZipEntry
{
    QString name;
    QByteArray data;
    bool stored = false; // kept as it is instead of deflated
};

// A ZIP archive of the entries, in their order, made in memory (so that it
// reaches the disk through the program's file system like every other file).
// nullopt when the archive cannot be made.
std::optional<QByteArray> ZipArchive(const QList<ZipEntry> &entries);

} // namespace pagewick::book
