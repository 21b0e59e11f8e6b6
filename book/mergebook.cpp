#include "book/mergebook.h"

#include "book/bookcover.h"
#include "book/booksource.h"
#include "book/booktext.h"
#include "book/epubwriter.h"
#include "workflow/filesystem.h"
#include "workflow/localecodec.h"
#include "workflow/messageprompt.h"

#include <QDir>

namespace pagewick::book {

namespace {

QString WithSeparator(const QString &directory)
{
    return directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
}

} // namespace

QString DefaultBookName(const QString &directory)
{
    return QDir(QDir::cleanPath(directory)).dirName();
}

QString BookFileName(const QString &name)
{
    QString file = name.trimmed();
    file.replace(QLatin1Char('/'), QChar(0x2571));
    file.remove(QChar(0));
    return file;
}

QString RemovedReportFileName(const QString &name)
{
    return name + QStringLiteral(".removed.txt");
}

MergeOutcome WriteBook(workflow::FileSystem &fileSystem, const QString &directory, const QString &name,
                       const TidyBook &book, const QDateTime &modified)
{
    MergeOutcome outcome;
    outcome.name = name;
    outcome.chapters = book.chapters.size();
    outcome.textPath = directory + name + QStringLiteral(".txt");
    outcome.epubPath = directory + name + QStringLiteral(".epub");
    outcome.reportPath = directory + RemovedReportFileName(name);
    outcome.removedKinds = book.removed.size();

    outcome.textWritten = fileSystem.writeFileReplacing(
        outcome.textPath, workflow::encodeForLocale(BookText(name, book.chapters, book.author)));

    EpubBook epub;
    epub.title = name;
    epub.identifier = BookIdentifier(directory, name);
    epub.language = BookLanguage(name, book.chapters);
    epub.modified = modified;
    epub.chapters = book.chapters;
    epub.author = book.author;
    epub.cover = CoverPng(name, book.author);
    epub.places = ChapterPlaces(book.chapters);
    const std::optional<QByteArray> bytes = EpubBytes(epub);
    outcome.epubWritten = bytes && fileSystem.writeFileReplacing(outcome.epubPath, *bytes);

    if (!book.removed.isEmpty() || fileSystem.exists(outcome.reportPath))
        outcome.reportWritten = fileSystem.writeFileReplacing(
            outcome.reportPath, workflow::encodeForLocale(RemovedReport(name, book.removed)));
    return outcome;
}

QString MergeStatus(const MergeOutcome &outcome)
{
    if (outcome.textWritten && outcome.epubWritten && outcome.reportWritten) {
        QString status = QStringLiteral("已合并：%1.txt、%1.epub，共 %2 章").arg(outcome.name).arg(outcome.chapters);
        if (outcome.removedKinds > 0)
            status += QStringLiteral("，略去 %1 种行（见 %2）")
                          .arg(outcome.removedKinds)
                          .arg(RemovedReportFileName(outcome.name));
        return status;
    }
    QStringList failed;
    if (!outcome.textWritten)
        failed << outcome.textPath;
    if (!outcome.epubWritten)
        failed << outcome.epubPath;
    if (!outcome.reportWritten)
        failed << outcome.reportPath;
    return QStringLiteral("合并失败：") + failed.join(QStringLiteral("、"));
}

QString MergeBookCommand(workflow::FileSystem &fileSystem, workflow::MessagePrompt &prompt,
                         const QString &saveDirectory, const QDateTime &now)
{
    const QString directory = WithSeparator(saveDirectory);
    const BookSource source = ReadBookSource(fileSystem, directory);
    if (source.state != BookSource::State::Ready) {
        prompt.notify(source.state == BookSource::State::NoLedger ? kNoLedgerNotice : kNoPagesNotice);
        return QString();
    }

    const std::optional<workflow::TextAndChoice> answer =
        prompt.askTextAndChoice(kBookNameQuestion, DefaultBookName(directory), kKeepEverythingChoice, false);
    if (!answer)
        return QString();
    const QString name = BookFileName(answer->text);
    if (name.isEmpty())
        return QString();
    if (source.ledgerFiles.contains(name + QStringLiteral(".txt"))
        || source.ledgerFiles.contains(RemovedReportFileName(name))) {
        prompt.notify(kNameTakenNotice);
        return QString();
    }
    return MergeStatus(WriteBook(fileSystem, directory, name, Tidy(source.pages, name, answer->checked), now));
}

} // namespace pagewick::book
