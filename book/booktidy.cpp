#include "book/booktidy.h"

#include "book/pagehead.h"
#include "book/sitelines.h"
#include "book/volumes.h"
#include "text/spaces.h"

#include <QHash>

#include <algorithm>
#include <vector>

namespace pagewick::book {

namespace {

// The lines without the dropped ones. A dropped line takes the empty lines
// after it along when it stood at the start or after an empty line, so that
// no wider gap is left than the text had; empty lines left at the end go.
QStringList WithoutLines(const QStringList &lines, const std::vector<bool> &drop)
{
    QStringList out;
    out.reserve(lines.size());
    bool skipBlanks = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (drop[size_t(i)]) {
            skipBlanks = out.isEmpty() || text::IsBlank(out.last());
            continue;
        }
        if (skipBlanks && text::IsBlank(line))
            continue;
        skipBlanks = false;
        out.append(line);
    }
    while (!out.isEmpty() && text::IsBlank(out.last()))
        out.removeLast();
    return out;
}

// Kinds of removed lines in the order they are first met.
class RemovedLog
{
public:
    void add(const QString &line, qsizetype chapter)
    {
        auto found = m_index.constFind(line);
        if (found == m_index.constEnd()) {
            found = m_index.insert(line, m_kinds.size());
            m_kinds.append({line, 0, {}});
        }
        RemovedLine &kind = m_kinds[*found];
        ++kind.times;
        if (kind.chapters.isEmpty() || kind.chapters.last() != chapter)
            kind.chapters.append(chapter);
    }
    QList<RemovedLine> kinds() const { return m_kinds; }

private:
    QHash<QString, qsizetype> m_index;
    QList<RemovedLine> m_kinds;
};

QString MostNamedAuthor(const QList<QString> &names)
{
    QHash<QString, int> times;
    QString best;
    for (const QString &name : names) {
        const int n = ++times[name];
        if (n > times.value(best))
            best = name;
    }
    return best;
}

// The page's head: the title once more, the author's lines.
void TidyHead(BookPage &page, qsizetype chapter, const QString &bookName, bool keepEverything,
              QList<QString> &authors, RemovedLog &log)
{
    std::vector<bool> drop(size_t(page.lines.size()), false);
    bool any = false;
    int seen = 0;
    for (qsizetype i = 0; i < page.lines.size() && seen < kHeadLines; ++i) {
        const QString &line = page.lines.at(i);
        if (text::IsBlank(line))
            continue;
        if (seen++ == 0 && IsTitleLine(line, page.title, bookName)) {
            if (!keepEverything) {
                drop[size_t(i)] = any = true;
                log.add(kRepeatedTitles, chapter);
            }
            continue;
        }
        if (const std::optional<QString> author = AuthorOfLine(line)) {
            authors.append(*author);
            if (!keepEverything) {
                drop[size_t(i)] = any = true;
                log.add(line.trimmed(), chapter);
            }
        }
    }
    if (any)
        page.lines = WithoutLines(page.lines, drop);
}

// Ranges of chapter places, counted from 1: "1–3、5".
QString ChapterRanges(const QList<qsizetype> &chapters)
{
    QStringList parts;
    for (qsizetype i = 0; i < chapters.size();) {
        qsizetype j = i;
        while (j + 1 < chapters.size() && chapters.at(j + 1) == chapters.at(j) + 1)
            ++j;
        parts << (i == j ? QString::number(chapters.at(i) + 1)
                         : QStringLiteral("%1–%2").arg(chapters.at(i) + 1).arg(chapters.at(j) + 1));
        i = j + 1;
    }
    return parts.join(QStringLiteral("、"));
}

} // namespace

TidyBook Tidy(const QList<BookPage> &pages, const QString &bookName, bool keepEverything)
{
    TidyBook book;
    RemovedLog log;
    QList<QString> authors;
    QList<BookPage> tidyPages = pages;
    qsizetype chapter = -1;
    for (qsizetype i = 0; i < tidyPages.size(); ++i) {
        if (i == 0 || tidyPages.at(i).title != tidyPages.at(i - 1).title)
            ++chapter;
        TidyHead(tidyPages[i], chapter, bookName, keepEverything, authors, log);
    }
    book.author = MostNamedAuthor(authors);
    book.chapters = JoinChapters(tidyPages);

    if (!keepEverything) {
        const QHash<QString, qsizetype> site = SiteLines(book.chapters, IsVolumeLine);
        QList<RemovedLine> siteKinds;
        if (!site.isEmpty()) {
            RemovedLog siteLog;
            for (qsizetype c = 0; c < book.chapters.size(); ++c) {
                QStringList &lines = book.chapters[c].lines;
                std::vector<bool> drop(size_t(lines.size()), false);
                bool any = false;
                for (qsizetype i = 0; i < lines.size(); ++i) {
                    if (text::IsBlank(lines.at(i)))
                        continue;
                    const QString trimmed = lines.at(i).trimmed();
                    if (site.contains(trimmed)) {
                        drop[size_t(i)] = any = true;
                        siteLog.add(trimmed, c);
                    }
                }
                if (any)
                    lines = WithoutLines(lines, drop);
            }
            siteKinds = siteLog.kinds();
        }
        book.removed = log.kinds() + siteKinds;
    }
    return book;
}

QString RemovedReport(const QString &bookName, const QList<RemovedLine> &removed)
{
    const QString crlf = QStringLiteral("\r\n");
    QString report = QStringLiteral("《%1》合并成书时略去的行：%2 种").arg(bookName).arg(removed.size()) + crlf;
    if (!removed.isEmpty())
        report += QStringLiteral("章的序号是它在书中的次序。勾选“保留全部原文”再合并一次，书中就保留这些行。") + crlf;
    for (const RemovedLine &kind : removed) {
        report += crlf + kind.line + crlf;
        report += QStringLiteral("    略去 %1 次，在 %2 章中：第 %3 章")
                      .arg(kind.times)
                      .arg(kind.chapters.size())
                      .arg(ChapterRanges(kind.chapters))
            + crlf;
    }
    return report;
}

} // namespace pagewick::book
