#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>

// A save directory in a temporary folder: ledger lines and chapter files as
// the save command leaves them.
class BookDir
{
public:
    // The directory as the save directory box holds it, with its final "/".
    QString path() const { return m_dir.path() + QLatin1Char('/'); }
    bool isValid() const { return m_dir.isValid(); }

    // Ledger lines from "address|title|file|status"; the header comes first.
    void writeLedger(const QStringList &lines) const;
    void writeFile(const QString &name, const QByteArray &bytes) const;
    std::optional<QByteArray> readFile(const QString &name) const;
    bool exists(const QString &name) const;

private:
    QTemporaryDir m_dir;
};
