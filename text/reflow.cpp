#include "text/linewalk.h"
#include "text/spaces.h"
#include "text/textops.h"

namespace pagewick::text {

namespace {

constexpr QStringView kIndent = u"    ";
constexpr QStringView kParagraphBreak = u"\r\n\r\n    ";
constexpr QChar kParagraphMark = QChar(0x00A8);

} // namespace

QString dlcp(const QString &txt)
{
    bool anyLine = false;
    QString body = detail::walkLines(txt, false, [&anyLine](QString &result, QStringView line, bool) {
        // A line of nothing but U+0020 and U+3000 would only give an empty paragraph.
        if (TrimLineSpaces(line).isEmpty())
            return;
        if (anyLine)
            result += kParagraphBreak;
        anyLine = true;
        for (const QChar c : line) {
            if (c == kParagraphMark)
                result += kParagraphBreak;
            else if (!IsLineSpace(c))
                result += c;
        }
    });
    body.prepend(kIndent);
    return body;
}

} // namespace pagewick::text
