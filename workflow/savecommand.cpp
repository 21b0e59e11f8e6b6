#include "workflow/savecommand.h"

#include "text/spaces.h"
#include "workflow/chapterfilename.h"
#include "workflow/filesystem.h"
#include "workflow/localecodec.h"
#include "workflow/pageaddress.h"

#include <QRegularExpression>

namespace pagewick::workflow {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
// More files of one title than anyone keeps: the numbering gives up there.
constexpr int kMostNumbers = 100000;

QString NumberedPath(const QString &directory, const QString &title, int number)
{
    // Joined with nothing between: the directory brings its own separator.
    return directory + ChapterFileName(title, number);
}

// One of the names the title can be saved under.
bool IsNameOfTitle(const QString &path, const QString &directory, const QString &title)
{
    if (path == NumberedPath(directory, title, 1))
        return true;
    static const QRegularExpression numbered(QStringLiteral("\\((\\d+)\\)\\.txt$"));
    const QRegularExpressionMatch match = numbered.match(path);
    bool isNumber = false;
    const int number = match.hasMatch() ? match.captured(1).toInt(&isNumber) : 0;
    return isNumber && number >= 2 && NumberedPath(directory, title, number) == path;
}

} // namespace

bool IsReflowedTitleLine(QStringView line, const QString &title)
{
    const QString indent = QStringLiteral("    ");
    const QString bare = text::WithoutLineSpaces(title);
    return !bare.isEmpty() && line.size() == indent.size() + bare.size() && line.startsWith(indent)
        && line.mid(indent.size()) == bare;
}

QString SavedBody(const QString &text, const QString &title)
{
    if (text.startsWith(title + kCrLf))
        return text.mid(title.size() + kCrLf.size());
    const qsizetype firstEnd = text.indexOf(kCrLf);
    if (IsReflowedTitleLine(QStringView(text).left(firstEnd < 0 ? text.size() : firstEnd), title))
        return firstEnd < 0 ? QString() : text.mid(firstEnd + kCrLf.size());
    // A title found in the text is marked by four spaces instead of a line.
    const QString titleFound = QStringLiteral("    ");
    if (text.startsWith(titleFound) && text.indexOf(title, titleFound.size()) >= 0)
        return text.mid(titleFound.size());
    // Re-flow may have indented the title line.
    const qsizetype lineEnd = text.indexOf(kCrLf);
    if (!title.trimmed().isEmpty() && lineEnd >= 0 && text.left(lineEnd).trimmed() == title.trimmed())
        return text.mid(lineEnd + kCrLf.size());
    return text;
}

QString SaveCommand::pathFor(FileSystem &fileSystem, const QString &directory, const QString &title,
                             const QString &address)
{
    m_owners.learnDirectory(fileSystem, directory);
    const QString page = PageAddress(address);
    // The page's own file, even when a lower number has come free since.
    const QString own = m_owners.fileOf(page);
    if (!own.isEmpty() && m_owners.ownerOf(own) == page && IsNameOfTitle(own, directory, title)
        && fileSystem.exists(own))
        return own;
    for (int number = 1; number <= kMostNumbers; ++number) {
        const QString path = NumberedPath(directory, title, number);
        // A file the ledger names but that was deleted since is free again.
        if (!fileSystem.exists(path) || m_owners.ownerOf(path) == page)
            return path;
    }
    return {};
}

SaveOutcome SaveCommand::save(FileSystem &fileSystem, const QString &directory,
                              const QString &title, const QString &address, const QString &text,
                              const QDateTime &when)
{
    SaveOutcome outcome;
    outcome.path = pathFor(fileSystem, directory, title, address);
    if (outcome.path.isEmpty()) {
        outcome.path = NumberedPath(directory, title, kMostNumbers + 1);
        outcome.failure = WriteFailure::FileRefused;
    } else {
        outcome.written = fileSystem.writeFileReplacing(outcome.path, encodeForLocale(text));
        if (!outcome.written)
            outcome.failure = fileSystem.lastWriteFailure();
    }
    const QString body = SavedBody(text, title);
    const QString page = PageAddress(address);
    if (outcome.written) {
        m_owners.recordWritten(outcome.path, address);
        // Detection and the keywords found nothing: the title line alone, or blanks.
        if (text::IsBlank(body))
            outcome.status = LedgerStatus::Empty;
        else if (body == m_lastBody && page != m_lastPage)
            outcome.status = LedgerStatus::Repeat;
        else
            outcome.status = LedgerStatus::Saved;
        m_lastBody = body;
        m_lastPage = page;
    }
    const LedgerEntry entry{LedgerTime(when),       address,     title, outcome.path.mid(directory.size()),
                            qint64(body.size()), LedgerStatusText(outcome.status)};
    outcome.ledger = m_ledger.append(fileSystem, directory, entry);
    return outcome;
}

LedgerWrite SaveCommand::recordUnsaved(FileSystem &fileSystem, const QString &directory,
                                       const QString &title, const QString &address,
                                       LedgerStatus status, const QDateTime &when)
{
    const LedgerEntry entry{LedgerTime(when), address, title, QString(), 0, LedgerStatusText(status)};
    return m_ledger.append(fileSystem, directory, entry);
}

QString SaveStatus(const SaveOutcome &outcome)
{
    QString status = (outcome.written ? QStringLiteral("已保存：") : QStringLiteral("保存失败：")) + outcome.path;
    // A directory that takes no file takes no ledger line either: the chain
    // stops there, so "goes on as usual" would not be true.
    if (outcome.ledger == LedgerWrite::Failed && !FailsEveryFile(outcome.failure))
        status += QStringLiteral("（记录文件 ") + LedgerFileName() + QStringLiteral(" 无法写入，提取照常进行）");
    return status;
}

QString SaveStoppedNotice(const SaveOutcome &outcome, const QString &address)
{
    QString reason;
    switch (outcome.failure) {
    case WriteFailure::NoPermission:
        reason = QStringLiteral("没有写入权限");
        break;
    case WriteFailure::NoDirectory:
        reason = QStringLiteral("保存路径不存在");
        break;
    case WriteFailure::ReadOnlyDisk:
        reason = QStringLiteral("磁盘只读");
        break;
    case WriteFailure::DiskFull:
        reason = QStringLiteral("磁盘已满");
        break;
    default:
        reason = QStringLiteral("无法写入");
        break;
    }
    return QStringLiteral("   文件无法保存（%1），自动提取到此停止：\n%2\n"
                          "换一个能写入的保存路径后，把下面的网址填入起始页网址，按“转到”就可以接着提取：\n%3    ")
        .arg(reason, outcome.path, address);
}

} // namespace pagewick::workflow
