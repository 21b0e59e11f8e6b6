#include "cli/bookreport.h"

#include <cstdio>

namespace pagewick::cli {

namespace {

// The words of the window's chain summary.
QString StatusWord(const QString &statusText)
{
    using workflow::LedgerStatus;
    switch (workflow::ParseLedgerStatus(statusText).value_or(LedgerStatus::SaveFailed)) {
    case LedgerStatus::Saved:
        return QStringLiteral("已保存");
    case LedgerStatus::Empty:
        return QStringLiteral("空白");
    case LedgerStatus::Repeat:
        return QStringLiteral("重复");
    case LedgerStatus::SaveFailed:
        return QStringLiteral("保存失败");
    case LedgerStatus::LoadFailed:
        return QStringLiteral("打开失败");
    case LedgerStatus::ReadFailed:
        return QStringLiteral("读取失败");
    case LedgerStatus::BookEnd:
        return QStringLiteral("目录页，到此结束");
    }
    return statusText;
}

void Print(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

QString ProgressLine(const workflow::LedgerEntry &entry)
{
    QStringList fields{entry.time, StatusWord(entry.status), entry.title.isEmpty() ? entry.address : entry.title};
    if (!entry.file.isEmpty())
        fields << entry.file;
    return fields.join(QStringLiteral("  "));
}

QSet<QString> WrittenAddresses(const QList<workflow::LedgerEntry> &entries)
{
    QSet<QString> addresses;
    for (const workflow::LedgerEntry &entry : entries) {
        if (workflow::WroteFile(entry.status))
            addresses.insert(entry.address);
    }
    return addresses;
}

QString SummaryLine(const BookResult &result)
{
    QString line = result.name + QStringLiteral("：");
    line += result.added > 0 ? QStringLiteral("新增 %1 章，").arg(result.added) : QStringLiteral("没有新章节，");
    line += QStringLiteral("共 %1 章").arg(result.chapters);
    if (result.bookWritten)
        line += QStringLiteral("，书已更新");
    if (!result.problem.isEmpty())
        line += QStringLiteral("；") + result.problem;
    return line;
}

void Output::progress(const QString &line) const
{
    if (!m_quiet)
        Print(line);
}

void Output::summary(const QString &line) const
{
    Print(line);
}

} // namespace pagewick::cli
