#include "book/xmltext.h"

namespace pagewick::book {

namespace {

bool IsUnwanted(char32_t c)
{
    if (c < 0x20)
        return c != 0x09 && c != 0x0A && c != 0x0D;
    if (c >= 0x7F && c <= 0x9F)
        return true;
    if (c >= 0xFDD0 && c <= 0xFDEF)
        return true;
    return (c & 0xFFFE) == 0xFFFE;
}

bool IsCjk(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x2FDF)    // radicals
        || (c >= 0x3000 && c <= 0x30FF)    // CJK punctuation, kana
        || (c >= 0x3100 && c <= 0x31FF)    // bopomofo, kana extensions
        || (c >= 0x3400 && c <= 0x4DBF)    // extension A
        || (c >= 0x4E00 && c <= 0x9FFF)    // unified ideographs
        || (c >= 0xAC00 && c <= 0xD7AF)    // hangul
        || (c >= 0xF900 && c <= 0xFAFF)    // compatibility ideographs
        || (c >= 0xFF00 && c <= 0xFFEF)    // full-width forms
        || (c >= 0x20000 && c <= 0x3134F); // supplementary ideographs
}

} // namespace

QString XmlText(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text.at(i + 1));
            if (!IsUnwanted(code)) {
                out += c;
                out += text.at(i + 1);
            }
            ++i;
            continue;
        }
        if (c.isSurrogate() || IsUnwanted(c.unicode()))
            continue;
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool HasCjk(const QString &text)
{
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        char32_t code = c.unicode();
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate())
            code = QChar::surrogateToUcs4(c, text.at(++i));
        if (IsCjk(code))
            return true;
    }
    return false;
}

} // namespace pagewick::book
