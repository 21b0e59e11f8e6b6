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

    // As on a disk, a name is there when one of the same bytes in the
    // locale's character set is.
    bool exists(const QString &path) override
    {
        const QByteArray name = pagewick::workflow::encodeForLocale(path);
        for (auto f = files.cbegin(); f != files.cend(); ++f) {
            if (pagewick::workflow::encodeForLocale(f.key()) == name)
                return true;
        }
        return false;
    }
    bool isNormalFile(const QString &path) override { return files.contains(path); }
    bool createDirectory(const QString &) override { return false; }
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
