#include "book/chapters.h"

#include "text/spaces.h"
#include "workflow/savecommand.h"

namespace pagewick::book {

namespace {

const QString kTitleStandIn = QStringLiteral("    ");

QStringList SplitLines(const QString &content)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = content.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = content.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(content.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && content.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    lines.append(content.mid(start));
    return lines;
}

} // namespace

QStringList PageLines(const QString &content, const QString &title)
{
    QStringList lines = SplitLines(content);
    if (workflow::IsReflowedTitleLine(lines.first(), title))
        lines.removeFirst();
    else if (lines.first().startsWith(kTitleStandIn) && lines.first().size() > kTitleStandIn.size())
        lines.first().remove(0, kTitleStandIn.size());
    else
        lines.removeFirst();

    qsizetype first = 0;
    while (first < lines.size() && text::IsBlank(lines.at(first)))
        ++first;
    qsizetype end = lines.size();
    while (end > first && text::IsBlank(lines.at(end - 1)))
        --end;
    return lines.mid(first, end - first);
}

QList<Chapter> JoinChapters(const QList<BookPage> &pages)
{
    QList<Chapter> chapters;
    for (const BookPage &page : pages) {
        if (chapters.isEmpty() || chapters.last().title != page.title) {
            chapters.append({page.title, page.lines});
            continue;
        }
        QStringList &lines = chapters.last().lines;
        if (page.lines.isEmpty())
            continue;
        if (!lines.isEmpty())
            lines.append(QString());
        lines.append(page.lines);
    }
    return chapters;
}

} // namespace pagewick::book
