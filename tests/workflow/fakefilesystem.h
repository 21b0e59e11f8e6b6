#pragma once

#include "workflow/filesystem.h"
#include "workflow/localecodec.h"

#include <QMap>
#include <QStringList>

// Files in memory; writes and appends can be made to fail.
class FakeFileSystem : public pagewick::workflow::FileSystem
{
public:
    QMap<QString, QByteArray> files;
    QStringList writes;
    QStringList appends;
    bool failWrites = false;
    bool failAppends = false;
    pagewick::workflow::WriteFailure failure = pagewick::workflow::WriteFailure::Other;
    // Directories that exist and take new files; createDirectory adds one.
    QStringList directories;
    QStringList unwritable;

    // As on a disk, a name is there when one of the same bytes in the
    // locale's character set is.
    bool exists(const QString &path) override
    {
        if (directories.contains(path))
            return true;
        const QByteArray name = pagewick::workflow::encodeForLocale(path);
        for (auto f = files.cbegin(); f != files.cend(); ++f) {
            if (pagewick::workflow::encodeForLocale(f.key()) == name)
                return true;
        }
        return false;
    }
    bool isNormalFile(const QString &path) override { return files.contains(path); }
    bool createDirectory(const QString &path) override
    {
        if (directories.contains(path.section(QLatin1Char('/'), 0, -2)) && !directories.contains(path)) {
            directories << path;
            return true;
        }
        return false;
    }
    pagewick::workflow::WriteFailure lastWriteFailure() override { return failure; }
    bool canWriteIn(const QString &directory) override { return !unwritable.contains(directory); }
    std::optional<QByteArray> readFile(const QString &path) override
    {
        if (!files.contains(path))
            return std::nullopt;
        return files.value(path);
    }
    bool writeFileReplacing(const QString &path, const QByteArray &bytes) override
    {
        writes << path;
        if (failWrites)
            return false;
        files.insert(path, bytes);
        return true;
    }
    bool appendFile(const QString &path, const QByteArray &bytes) override
    {
        appends << path;
        if (failAppends)
            return false;
        files[path] += bytes;
        return true;
    }
};
