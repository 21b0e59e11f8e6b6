#include "book/mergebook.h"

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

MergeOutcome WriteBook(workflow::FileSystem &fileSystem, const QString &directory, const QString &name,
                       const QList<Chapter> &chapters, const QDateTime &modified)
{
    MergeOutcome outcome;
    outcome.name = name;
    outcome.chapters = chapters.size();
    outcome.textPath = directory + name + QStringLiteral(".txt");
    outcome.epubPath = directory + name + QStringLiteral(".epub");

    outcome.textWritten = fileSystem.writeFileReplacing(
        outcome.textPath, workflow::encodeForLocale(BookText(name, chapters)));

    EpubBook book;
    book.title = name;
    book.identifier = BookIdentifier(directory, name);
    book.language = BookLanguage(name, chapters);
    book.modified = modified;
    book.chapters = chapters;
    const std::optional<QByteArray> epub = EpubBytes(book);
    outcome.epubWritten = epub && fileSystem.writeFileReplacing(outcome.epubPath, *epub);
    return outcome;
}

QString MergeStatus(const MergeOutcome &outcome)
{
    if (outcome.textWritten && outcome.epubWritten)
        return QStringLiteral("已合并：%1.txt、%1.epub，共 %2 章").arg(outcome.name).arg(outcome.chapters);
    QStringList failed;
    if (!outcome.textWritten)
        failed << outcome.textPath;
    if (!outcome.epubWritten)
        failed << outcome.epubPath;
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

    const std::optional<QString> answer = prompt.askText(kBookNameQuestion, DefaultBookName(directory));
    if (!answer)
        return QString();
    const QString name = BookFileName(*answer);
    if (name.isEmpty())
        return QString();
    if (source.ledgerFiles.contains(name + QStringLiteral(".txt"))) {
        prompt.notify(kNameTakenNotice);
        return QString();
    }
    return MergeStatus(WriteBook(fileSystem, directory, name, source.chapters, now));
}

} // namespace pagewick::book
