#include "tests/window/samplepages.h"

#include "extract/titleclean.h"

#include <QFile>
#include <QRegularExpression>

namespace {

QString SampleSource(const QString &chapterFile)
{
    QFile file(QStringLiteral(PAGEWICK_SAMPLES_DIR "/book-utf8/") + chapterFile);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

void ServeSampleBook(pagewick::testsupport::LoopbackServer &server)
{
    server.serveDirectory(QStringLiteral("/book/"), QStringLiteral(PAGEWICK_SAMPLES_DIR "/book-utf8"));
}

QString ChapterTitle(const QString &chapterFile)
{
    const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"));
    return pagewick::extract::CleanPageTitle(title.match(SampleSource(chapterFile)).captured(1));
}

QString ExpectedChapterText(const QString &chapterFile)
{
    const QString source = SampleSource(chapterFile);
    const QRegularExpression block(QStringLiteral("<div id=\"content\">(.*?)</div>"),
                                   QRegularExpression::DotMatchesEverythingOption);
    const QString content = block.match(source).captured(1);
    QStringList paragraphs;
    const QRegularExpression paragraph(QStringLiteral("<p>(.*?)</p>"));
    for (auto it = paragraph.globalMatch(content); it.hasNext();)
        paragraphs << it.next().captured(1);
    const QString crlf = QStringLiteral("\r\n");
    return ChapterTitle(chapterFile) + crlf + crlf + paragraphs.join(crlf + crlf) + crlf;
}

QStringList SampleChapters()
{
    return {QStringLiteral("ch01.htm"), QStringLiteral("ch02.htm"), QStringLiteral("ch03.htm"),
            QStringLiteral("ch04.htm"), QStringLiteral("ch05.htm")};
}

QByteArray ProsePage(const QString &title, const QString &extraBody, const QString &sentence)
{
    const QString s = sentence.isEmpty() ? QStringLiteral("风从河面上吹过来，带着一点潮湿的凉意。")
                                         : sentence;
    QString prose;
    for (int i = 0; i < 8; ++i)
        prose += QStringLiteral("<p>") + s + QStringLiteral("</p>");
    return (QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>") + title
            + QStringLiteral("</title></head><body><div id=\"content\">") + prose
            + QStringLiteral("</div>") + extraBody + QStringLiteral("</body></html>"))
        .toUtf8();
}
