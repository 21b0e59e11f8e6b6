#include "window/programinfo.h"

#include "workflow/filesystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace pagewick::window {

namespace {

QPixmap renderIcon(QSvgRenderer &svg, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    svg.render(&p);
    return pixmap;
}

const QString kFirstChapter = QStringLiteral("book-utf8/ch01.htm");

} // namespace

QString programTitle()
{
    return QStringLiteral("Pagewick - 网络连载小说收集工具 · 问题与建议请在项目问题页反馈");
}

QString programVersion()
{
    return QStringLiteral(PAGEWICK_VERSION);
}

QString desktopId()
{
    return QStringLiteral("io.github.pagewick.Pagewick");
}

QIcon programIcon()
{
    QSvgRenderer svg(QStringLiteral(":/icons/%1.svg").arg(desktopId()));
    QIcon icon;
    if (!svg.isValid())
        return icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(renderIcon(svg, size));
    return icon;
}

QString executableDirectory()
{
    return QCoreApplication::applicationDirPath();
}

QString installedDataDirectory(const QString &programDirectory)
{
    return QDir::cleanPath(programDirectory + QStringLiteral("/" PAGEWICK_DATA_FROM_BIN));
}

QString sampleDirectory(workflow::FileSystem &fs, const QString &programDirectory)
{
    const QString beside = QDir(programDirectory).filePath(QStringLiteral("samples"));
    if (fs.isNormalFile(beside + QLatin1Char('/') + kFirstChapter))
        return beside;
    const QString installed = installedDataDirectory(programDirectory) + QStringLiteral("/samples");
    if (fs.isNormalFile(installed + QLatin1Char('/') + kFirstChapter))
        return installed;
    return beside;
}

QStringList defaultStartAddresses(workflow::FileSystem &fs, const QString &programDirectory)
{
    const QDir dir(sampleDirectory(fs, programDirectory));
    return {fileAddress(dir.filePath(kFirstChapter)), fileAddress(dir.filePath(QStringLiteral("book-utf8/index.htm")))};
}

QString fileAddress(const QString &path)
{
    return QStringLiteral("file://") + QFileInfo(path).absoluteFilePath();
}

} // namespace pagewick::window
