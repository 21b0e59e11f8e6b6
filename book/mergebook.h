#pragma once

#include "book/booktidy.h"
#include "book/chapters.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace pagewick::workflow {
class FileSystem;
class MessagePrompt;
} // namespace pagewick::workflow

namespace pagewick::book {

inline const QString kBookNameQuestion = QStringLiteral("请输入书名：");
inline const QString kKeepEverythingChoice = QStringLiteral("保留全部原文（不略去网站附加的行和重复的标题）");
inline const QString kNoLedgerNotice =
    QStringLiteral("保存路径中还没有提取记录 pagewick-log.tsv，无法合并成书!     ");
inline const QString kNoPagesNotice =
    QStringLiteral("提取记录中没有还在保存路径中的已保存网页，无法合并成书!     ");
inline const QString kNameTakenNotice =
    QStringLiteral("这个书名与已保存的章节文件同名，请换一个书名!     ");

// The name offered for the book: the save directory's last folder.
QString DefaultBookName(const QString &directory);

// The name as a file name: without blanks around it, and with "/" (which a
// file name cannot hold) replaced by a look-alike. Empty when nothing is left.
QString BookFileName(const QString &name);

struct MergeOutcome
{
    QString name;
    qsizetype chapters = 0;
    QString textPath;
    QString epubPath;
    QString reportPath;
    qsizetype removedKinds = 0;
    bool textWritten = false;
    bool epubWritten = false;
    bool reportWritten = true; // or not needed
};

// The name of the list of lines left out, next to the book.
QString RemovedReportFileName(const QString &name);

// Writes "<name>.txt", in the locale's character set, and "<name>.epub" into
// `directory` (ending in "/"); each replaces an earlier file of its name
// only once it is complete. `modified` is the EPUB's modification time. The
// lines left out go to "<name>.removed.txt" (locale's character set, CR LF);
// when none were, that file is written only to replace an earlier one, which
// would no longer be true.
MergeOutcome WriteBook(workflow::FileSystem &fileSystem, const QString &directory, const QString &name,
                       const TidyBook &book, const QDateTime &modified);

// The status line after writing.
QString MergeStatus(const MergeOutcome &outcome);

// The command "合并成书": the book of the save directory's ledger, under a
// name the user is asked for, with or without the lines it leaves out (a
// tick box under the name keeps everything). Tells the user when there is nothing to merge;
// Cancel or an empty name writes nothing. Returns the status line to show,
// or an empty text when nothing was attempted.
QString MergeBookCommand(workflow::FileSystem &fileSystem, workflow::MessagePrompt &prompt,
                         const QString &saveDirectory, const QDateTime &now);

} // namespace pagewick::book
