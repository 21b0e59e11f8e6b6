#include "tests/hostile/hostilefixture.h"

HostileWindow::HostileWindow(pagewick::workflow::FileSystem *fileSystem,
                             const pagewick::workflow::ChainTiming *chainTiming)
    : WindowFixture(fileSystem, kHostileReadTimeoutMs, chainTiming)
{
    window().resize(1000, 720);
}

QStringList ChapterLines(int lines)
{
    // No "第" or "章": a chapter title never occurs in its own text.
    static const QString pool =
        QStringLiteral("天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏他说道我们走吧风起云涌");
    QStringList out;
    unsigned state = 7;
    for (int l = 0; l < lines; ++l) {
        QString line;
        for (int k = 0; k < 30; ++k) {
            state = state * 1664525u + 1013904223u;
            line += pool.at(int((state >> 8) % unsigned(pool.size())));
            if (k % 10 == 9 && k < 29)
                line += QChar(0xFF0C);
        }
        line += QChar(0x3002);
        out << line;
    }
    return out;
}

QByteArray ChapterPage(const QString &title, int lines, const QString &extraBody)
{
    return (QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>") + title
            + QStringLiteral("</title></head><body><div id=\"content\">")
            + ChapterLines(lines).join(QStringLiteral("<br>")) + QStringLiteral("</div>")
            + extraBody + QStringLiteral("</body></html>"))
        .toUtf8();
}

QString ExpectedChapterFile(const QString &cleanTitle, int lines)
{
    const QString crlf = QStringLiteral("\r\n");
    return cleanTitle + crlf + crlf + ChapterLines(lines).join(crlf) + crlf;
}

QString NextLink(const QString &href)
{
    return QStringLiteral("<a href=\"%1\">下一页</a>").arg(href);
}
