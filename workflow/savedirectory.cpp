#include "workflow/savedirectory.h"

#include "workflow/filesystem.h"

#include <QDir>
#include <QStandardPaths>

namespace pagewick::workflow {

namespace {

QString withSlash(const QString &directory)
{
    return directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
}

QString withoutSlash(const QString &directory)
{
    QString path = directory;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

QString StartingSaveDirectory(FileSystem &fileSystem, const QString &preferred)
{
    if (fileSystem.canWriteIn(withoutSlash(preferred)))
        return withSlash(preferred);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString home = QDir::homePath();
    const QString base = !documents.isEmpty() && fileSystem.exists(documents) ? documents : home;
    return withSlash(QDir(base).filePath(QStringLiteral("Pagewick")));
}

bool CreateSaveDirectoryOnDemand(FileSystem &fileSystem, const QString &directory)
{
    const QString path = withoutSlash(directory);
    return fileSystem.exists(path) || fileSystem.createDirectory(path);
}

} // namespace pagewick::workflow
