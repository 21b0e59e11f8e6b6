#include "text/linewalk.h"
#include "text/spaces.h"
#include "text/textops.h"

namespace pagewick::text {

using detail::kCrLf;
using detail::walkLines;

namespace {

void appendLine(QString &result, QStringView line, bool isLast)
{
    result += line;
    if (!isLast)
        result += kCrLf;
}

} // namespace

QString DelSpace(const QString &Text)
{
    return walkLines(Text, true, [](QString &result, QStringView line, bool isLast) {
        if (!line.isEmpty())
            appendLine(result, line, isLast);
    });
}

QString DellSpace(const QString &Text)
{
    return walkLines(Text, true, [](QString &result, QStringView line, bool isLast) {
        qsizetype b = 0;
        while (b < line.size() && IsLineSpace(line[b]))
            ++b;
        appendLine(result, line.mid(b), isLast);
    });
}

QString DelrSpace(const QString &Text)
{
    return walkLines(Text, true, [](QString &result, QStringView line, bool isLast) {
        qsizetype e = line.size();
        while (e > 0 && IsLineSpace(line[e - 1]))
            --e;
        appendLine(result, line.left(e), isLast);
    });
}

QString addSpace(const QString &Text)
{
    return walkLines(Text, false, [](QString &result, QStringView line, bool isLast) {
        result += line;
        if (!isLast)
            result += u"\r\n    ";
    });
}

} // namespace pagewick::text
