#include "tests/book/bookdir.h"

#include "workflow/ledger.h"

#include <QFile>

void BookDir::writeLedger(const QStringList &lines) const
{
    QByteArray ledger = pagewick::workflow::LedgerHeader();
    int second = 0;
    for (const QString &line : lines) {
        const QStringList f = line.split(QLatin1Char('|'));
        Q_ASSERT(f.size() == 4);
        pagewick::workflow::LedgerEntry entry;
        entry.time = QStringLiteral("2026-12-08T13:%1:00+08:00").arg(second++ % 60, 2, 10, QLatin1Char('0'));
        entry.address = f.at(0);
        entry.title = f.at(1);
        entry.file = f.at(2);
        entry.chars = 100;
        entry.status = f.at(3);
        ledger += pagewick::workflow::LedgerLine(entry);
    }
    writeFile(QStringLiteral("pagewick-log.tsv"), ledger);
}

void BookDir::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile file(path() + name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

std::optional<QByteArray> BookDir::readFile(const QString &name) const
{
    QFile file(path() + name);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool BookDir::exists(const QString &name) const
{
    return QFile::exists(path() + name);
}
