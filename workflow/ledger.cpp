#include "workflow/ledger.h"

#include <array>

namespace pagewick::workflow {

namespace {

constexpr int kColumns = 6;

struct StatusName
{
    LedgerStatus status;
    const char *text;
};

constexpr std::array<StatusName, 7> kStatusNames{{
    {LedgerStatus::Saved, "saved"},
    {LedgerStatus::Empty, "empty"},
    {LedgerStatus::Repeat, "repeat"},
    {LedgerStatus::SaveFailed, "save-failed"},
    {LedgerStatus::LoadFailed, "load-failed"},
    {LedgerStatus::ReadFailed, "read-failed"},
    {LedgerStatus::BookEnd, "book-end"},
}};

bool BreaksFields(QChar c)
{
    switch (c.unicode()) {
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

QString Field(QString text)
{
    for (QChar &c : text) {
        if (BreaksFields(c))
            c = QLatin1Char(' ');
    }
    return text;
}

std::optional<LedgerEntry> ParseLine(QByteArray line)
{
    // A ledger saved again by an editor that writes CR LF is still read.
    if (line.endsWith('\r'))
        line.chop(1);
    const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
    if (fields.size() != kColumns)
        return std::nullopt;
    bool isNumber = false;
    const qint64 chars = fields.at(4).toLongLong(&isNumber);
    // The header fails here too: "chars" is no number and "status" no status.
    if (!isNumber || chars < 0 || !ParseLedgerStatus(fields.at(5)))
        return std::nullopt;
    return LedgerEntry{fields.at(0), fields.at(1), fields.at(2), fields.at(3), chars, fields.at(5)};
}

} // namespace

QString LedgerFileName()
{
    return QStringLiteral("pagewick-log.tsv");
}

QString LedgerStatusText(LedgerStatus status)
{
    for (const StatusName &name : kStatusNames) {
        if (name.status == status)
            return QString::fromLatin1(name.text);
    }
    return {};
}

std::optional<LedgerStatus> ParseLedgerStatus(const QString &text)
{
    for (const StatusName &name : kStatusNames) {
        if (text == QLatin1String(name.text))
            return name.status;
    }
    return std::nullopt;
}

bool WroteFile(LedgerStatus status)
{
    return status == LedgerStatus::Saved || status == LedgerStatus::Empty
           || status == LedgerStatus::Repeat;
}

bool WroteFile(const QString &statusText)
{
    const std::optional<LedgerStatus> status = ParseLedgerStatus(statusText);
    return status && WroteFile(*status);
}

QList<LedgerEntry> ParseLedger(const QByteArray &utf8)
{
    QList<LedgerEntry> entries;
    qsizetype start = 0;
    while (start < utf8.size()) {
        qsizetype end = utf8.indexOf('\n', start);
        if (end < 0)
            end = utf8.size();
        if (std::optional<LedgerEntry> entry = ParseLine(utf8.mid(start, end - start)))
            entries.append(*entry);
        start = end + 1;
    }
    return entries;
}

std::optional<QString> LastSavedAddress(const QList<LedgerEntry> &entries)
{
    for (auto e = entries.crbegin(); e != entries.crend(); ++e) {
        if (e->status == LedgerStatusText(LedgerStatus::Saved) && !e->address.isEmpty())
            return e->address;
    }
    return std::nullopt;
}

QString LedgerTime(const QDateTime &moment)
{
    const int offset = moment.offsetFromUtc();
    const int minutes = (offset < 0 ? -offset : offset) / 60;
    return moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
           + (offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
           + QStringLiteral("%1:%2")
                 .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                 .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QByteArray LedgerHeader()
{
    return QByteArrayLiteral("time\taddress\ttitle\tfile\tchars\tstatus\n");
}

QByteArray LedgerLine(const LedgerEntry &entry)
{
    const QStringList fields{Field(entry.time),  Field(entry.address),
                             Field(entry.title), Field(entry.file),
                             QString::number(entry.chars), Field(entry.status)};
    return fields.join(QLatin1Char('\t')).toUtf8() + '\n';
}

LedgerTail LedgerTailOf(const std::optional<QByteArray> &content)
{
    if (!content || content->isEmpty())
        return LedgerTail::New;
    return content->endsWith('\n') ? LedgerTail::LineEnded : LedgerTail::MidLine;
}

QByteArray LedgerAppendBytes(LedgerTail tail, const LedgerEntry &entry)
{
    switch (tail) {
    case LedgerTail::New:
        return LedgerHeader() + LedgerLine(entry);
    case LedgerTail::MidLine:
        return '\n' + LedgerLine(entry);
    case LedgerTail::LineEnded:
        break;
    }
    return LedgerLine(entry);
}

} // namespace pagewick::workflow
