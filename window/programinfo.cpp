#include "window/programinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace pagewick::window {

namespace {

QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    const QColor ink(0x2f, 0x4f, 0x7f);
    QPainterPath page;
    page.moveTo(12, 4);
    page.lineTo(42, 4);
    page.lineTo(54, 16);
    page.lineTo(54, 60);
    page.lineTo(12, 60);
    page.closeSubpath();
    p.setPen(QPen(ink, 3));
    p.setBrush(QColor(0xfb, 0xf7, 0xea));
    p.drawPath(page);

    QPainterPath fold;
    fold.moveTo(42, 4);
    fold.lineTo(42, 16);
    fold.lineTo(54, 16);
    p.setBrush(QColor(0xd8, 0xcf, 0xb0));
    p.drawPath(fold);

    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    for (int y = 26; y <= 50; y += 8)
        p.drawLine(20, y, y == 50 ? 34 : 46, y);
    return pixmap;
}

} // namespace

QString programTitle()
{
    return QStringLiteral("Pagewick - 网络连载小说收集工具 · 问题与建议请在项目问题页反馈");
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

QString executableDirectory()
{
    return QCoreApplication::applicationDirPath();
}

QStringList defaultStartAddresses(const QString &programDirectory)
{
    const QDir dir(programDirectory);
    return {fileAddress(dir.filePath(QStringLiteral("samples/book-utf8/ch01.htm"))),
            fileAddress(dir.filePath(QStringLiteral("samples/book-utf8/index.htm")))};
}

QString fileAddress(const QString &path)
{
    return QStringLiteral("file://") + QFileInfo(path).absoluteFilePath();
}

} // namespace pagewick::window
