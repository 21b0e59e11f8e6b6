#pragma once

#include "workflow/filesystem.h"

#include <QMap>
#include <QStringList>

// Files in memory; writes can be made to fail.
class FakeFileSystem : public pagewick::workflow::FileSystem
{
public:
    QMap<QString, QByteArray> files;
    QStringList writes;
    bool failWrites = false;

    bool exists(const QString &path) override { return files.contains(path); }
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
};
