#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One file of a ZIP archive as read back.
struct Entry
{
    QString name;
    QByteArray data;
    quint16 method = 0; // ZIP_CM_STORE, ZIP_CM_DEFLATE, ...
};

// Every entry of the archive, in its order; empty when it is no archive.
QList<Entry> Unzip(const QByteArray &bytes);

// The data of the entry of that name; empty when there is none.
QByteArray EntryData(const QList<Entry> &entries, const QString &name);
