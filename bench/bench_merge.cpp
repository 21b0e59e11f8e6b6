// Times "合并成书" over a generated book of 2,000 saved chapter pages of about
// 10 KB each (UTF-8 on disk), each with the lines a site adds to its pages
// (the title again, an advertising line, a "next page" notice): reading the
// ledger and the files, leaving out those lines, and writing the text file,
// the EPUB (cover included) and the list of lines left out. Prints one line
// per step and the total, which should stay under 2 seconds.
//
//     bench_merge [chapters] [bytes per chapter]

#include "book/bookcover.h"
#include "book/booksource.h"
#include "book/booktidy.h"
#include "book/booktext.h"
#include "book/epubwriter.h"
#include "book/mergebook.h"
#include "workflow/filesystem.h"
#include "workflow/localecodec.h"

#include <QGuiApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

using namespace pagewick;

namespace {

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// A chapter as the save command leaves it: title line, empty line, paragraphs
// with empty lines between them. The prose is drawn at random from 2,500
// ideographs with a comma or full stop every few characters, so that it packs
// about as badly as real text does.
QByteArray ChapterFile(const QString &title, int bytes, QRandomGenerator &random)
{
    QByteArray text = (title + QStringLiteral("\r\n\r\n【") + title
                       + QStringLiteral("】\r\n\r\n一秒记住【青石小说网 www.qingshi.com】，精彩小说无弹窗免费阅读！\r\n\r\n"))
                          .toUtf8();
    while (text.size() < bytes) {
        QString paragraph = QStringLiteral("\u3000\u3000");
        const int length = 60 + random.bounded(200);
        for (int i = 0; i < length; ++i) {
            paragraph += QChar(0x4E00 + random.bounded(2500));
            if (random.bounded(12) == 0)
                paragraph += random.bounded(3) == 0 ? QChar(0x3002) : QChar(0xFF0C);
        }
        paragraph += QChar(0x3002);
        text += (paragraph + QStringLiteral("\r\n\r\n")).toUtf8();
    }
    return text + QStringLiteral("本章未完，请点击下一页继续阅读\r\n").toUtf8();
}

} // namespace

int main(int argc, char **argv)
{
    // The cover is drawn with fonts, which need a GUI application; no screen
    // is needed for it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int chapters = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;
    const int bytes = argc > 2 ? QByteArray(argv[2]).toInt() : 10 * 1024;

    QTemporaryDir temp;
    const QString dir = temp.path() + QLatin1Char('/');
    QByteArray ledger = "time\taddress\ttitle\tfile\tchars\tstatus\n";
    qint64 total = 0;
    QRandomGenerator random(13);
    for (int n = 1; n <= chapters; ++n) {
        const QString title = QStringLiteral("第%1章 青石巷").arg(n);
        const QByteArray file = ChapterFile(title, bytes, random);
        total += file.size();
        Write(dir + title + QStringLiteral(".txt"), file);
        ledger += QStringLiteral("2026-12-08T13:05:09+08:00\thttp://example.com/%1.html\t%2\t%2.txt\t%3\tsaved\n")
                      .arg(n)
                      .arg(title)
                      .arg(file.size() / 3)
                      .toUtf8();
    }
    Write(dir + QStringLiteral("pagewick-log.tsv"), ledger);
    std::printf("book: %d chapters, %.1f MB of chapter files\n", chapters, double(total) / 1e6);

    workflow::FileSystem &fs = workflow::realFileSystem();
    const std::clock_t cpuStart = std::clock();
    QElapsedTimer all;
    all.start();
    QElapsedTimer step;
    step.start();
    const book::BookSource source = book::ReadBookSource(fs, dir);
    const qint64 readMs = step.restart();
    const book::TidyBook tidy = book::Tidy(source.pages, QStringLiteral("青石巷旧事"), false);
    const qint64 tidyMs = step.restart();
    const book::MergeOutcome outcome =
        book::WriteBook(fs, dir, QStringLiteral("青石巷旧事"), tidy, QDateTime::currentDateTimeUtc());
    const qint64 writeMs = step.elapsed();
    const qint64 totalMs = all.elapsed();
    const std::clock_t cpu = std::clock() - cpuStart;

    std::printf("read ledger and chapter files: %lld ms (%lld chapters)\n", static_cast<long long>(readMs),
                static_cast<long long>(source.chapters.size()));
    std::printf("leave out the site's lines:   %lld ms (%lld kinds)\n", static_cast<long long>(tidyMs),
                static_cast<long long>(tidy.removed.size()));
    std::printf("write text file and EPUB:     %lld ms (%.1f MB + %.1f MB)\n", static_cast<long long>(writeMs),
                double(QFileInfo(outcome.textPath).size()) / 1e6, double(QFileInfo(outcome.epubPath).size()) / 1e6);
    std::printf("%s\n", qPrintable(book::MergeStatus(outcome)));
    std::printf("merge total: %lld ms wall clock, %.0f ms processor time (target under 2000 ms)\n",
                static_cast<long long>(totalMs), 1000.0 * double(cpu) / CLOCKS_PER_SEC);

    // The parts of the writing step, each on its own, for the breakdown.
    step.restart();
    const QByteArray text = workflow::encodeForLocale(book::BookText(QStringLiteral("青石巷旧事"), tidy.chapters));
    const qint64 textMs = step.restart();
    book::EpubBook epub;
    epub.title = QStringLiteral("青石巷旧事");
    epub.identifier = book::BookIdentifier(dir, epub.title);
    epub.language = book::BookLanguage(epub.title, source.chapters);
    epub.modified = QDateTime::currentDateTimeUtc();
    epub.chapters = tidy.chapters;
    const qint64 beforeCover = step.elapsed();
    epub.cover = book::CoverPng(epub.title, QString());
    const qint64 coverMs = step.elapsed() - beforeCover;
    const qsizetype epubSize = book::EpubBytes(epub).value_or(QByteArray()).size();
    const qint64 epubMs = step.elapsed();
    std::printf("apart: the text file in memory %lld ms (%lld bytes), the EPUB in memory %lld ms (%lld bytes), "
                "of which the cover %lld ms\n",
                static_cast<long long>(textMs), static_cast<long long>(text.size()),
                static_cast<long long>(epubMs), static_cast<long long>(epubSize), static_cast<long long>(coverMs));
    return outcome.textWritten && outcome.epubWritten ? 0 : 1;
}
