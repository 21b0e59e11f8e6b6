#include "workflow/retryafter.h"

#include <QtGlobal>

namespace pagewick::workflow {

std::optional<int> RetryAfterSeconds(const QString &value, const QDateTime &now)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool isNumber = !text.isEmpty();
    for (const QChar c : text)
        isNumber = isNumber && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (isNumber) {
        // Many digits are many seconds, more than the cap anyway.
        bool ok = false;
        const qlonglong seconds = text.toLongLong(&ok);
        return ok ? int(qMin(seconds, qlonglong(kMostRetryAfterSeconds))) : kMostRetryAfterSeconds;
    }
    // HTTP dates end in "GMT", which the parser of RFC 2822 dates does not
    // take; a numeric offset it does.
    QString date = text;
    if (date.endsWith(QLatin1String(" GMT")) || date.endsWith(QLatin1String(" UTC")))
        date = date.left(date.size() - 4) + QStringLiteral(" +0000");
    const QDateTime when = QDateTime::fromString(date, Qt::RFC2822Date);
    if (!when.isValid())
        return std::nullopt;
    return int(qBound(qint64(0), now.secsTo(when), qint64(kMostRetryAfterSeconds)));
}

} // namespace pagewick::workflow
