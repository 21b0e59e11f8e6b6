#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

// What counts as a space at the edges of a line of Chinese text: U+0020 and
// the ideographic space U+3000 that indents paragraphs. Tabs and other
// white space do not count.
namespace pagewick::text {

inline bool IsLineSpace(QChar c)
{
    return c == QChar(0x0020) || c == QChar(0x3000);
}

// s without its leading and trailing U+0020 and U+3000.
inline QStringView TrimLineSpaces(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && IsLineSpace(s[b]))
        ++b;
    while (e > b && IsLineSpace(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

// s with every U+0020 and U+3000 removed, as paragraph re-flow leaves a line.
inline QString WithoutLineSpaces(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (!IsLineSpace(c))
            out += c;
    }
    return out;
}

// s holds nothing but white space (QChar::isSpace: spaces, tabs, line
// breaks, the ideographic space), or nothing at all.
inline bool IsBlank(QStringView s)
{
    for (const QChar c : s) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

} // namespace pagewick::text
