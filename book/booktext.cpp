#include "book/booktext.h"

namespace pagewick::book {

QString BookText(const QString &name, const QList<Chapter> &chapters, const QString &author)
{
    const QString crlf = QStringLiteral("\r\n");
    qsizetype size = name.size() + author.size() + 10;
    for (const Chapter &chapter : chapters) {
        size += chapter.title.size() + 10;
        for (const QString &line : chapter.lines)
            size += line.size() + 2;
    }

    QString text;
    text.reserve(size);
    text += name;
    text += crlf;
    if (!author.isEmpty())
        text += QStringLiteral("作者：") + author + crlf;
    for (qsizetype i = 0; i < chapters.size(); ++i) {
        const Chapter &chapter = chapters.at(i);
        text += i == 0 ? crlf : crlf + crlf + crlf;
        text += chapter.title;
        text += crlf;
        text += crlf;
        text += chapter.lines.join(crlf);
    }
    text += crlf;
    return text;
}

} // namespace pagewick::book
