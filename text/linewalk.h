#pragma once

#include "text/eventyield.h"

#include <QString>
#include <QStringView>

namespace pagewick::text::detail {

inline constexpr QStringView kCrLf = u"\r\n";

// Calls perLine(result, line, isLast) for every CR LF separated line of text,
// in order; the empty text has no lines. When yields is set, pending events
// may run before each line: the walk works on its own reference to the text,
// so a handler that changes the caller's string does not disturb it.
template <typename PerLine>
QString walkLines(const QString &text, bool yields, PerLine perLine)
{
    const QString source = text;
    QString result;
    if (source.isEmpty())
        return result;
    result.reserve(source.size());
    const QStringView all(source);
    ThrottledYield yield;
    qsizetype start = 0;
    for (;;) {
        if (yields)
            yield.step();
        const qsizetype brk = all.indexOf(kCrLf, start);
        const bool isLast = brk < 0;
        perLine(result, all.mid(start, (isLast ? all.size() : brk) - start), isLast);
        if (isLast)
            break;
        start = brk + kCrLf.size();
    }
    return result;
}

} // namespace pagewick::text::detail
