#include "workflow/usualnextlink.h"

#include <QRegularExpression>

namespace pagewick::workflow {

namespace {

bool IsWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// "Next" at a word's start and end, not followed by a word that names
// another work instead of the next part of this one.
bool HasNextAsWord(const QString &text)
{
    static const QStringList otherWorks{QStringLiteral("work"), QStringLiteral("story"),
                                        QStringLiteral("book")};
    const QLatin1String next("next");
    for (qsizetype at = text.indexOf(next, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(next, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + next.size();
        if ((at > 0 && IsWordCharacter(text.at(at - 1))) || (end < text.size() && IsWordCharacter(text.at(end))))
            continue;
        qsizetype wordStart = end;
        while (wordStart < text.size() && text.at(wordStart) == QLatin1Char(' '))
            ++wordStart;
        qsizetype wordEnd = wordStart;
        while (wordEnd < text.size() && IsWordCharacter(text.at(wordEnd)))
            ++wordEnd;
        const QString following = text.mid(wordStart, wordEnd - wordStart);
        if (!otherWorks.contains(following, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Whole words, in any case: "Next Chapter" is not in "Next Chapters".
bool HasPhrase(const QString &text, const QString &phrase)
{
    for (qsizetype at = text.indexOf(phrase, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(phrase, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + phrase.size();
        if ((at == 0 || !IsWordCharacter(text.at(at - 1))) && (end == text.size() || !IsWordCharacter(text.at(end))))
            return true;
    }
    return false;
}

QString DecodeReferences(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    static const QRegularExpression reference(QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|[a-zA-Z]+);"));
    QString out;
    qsizetype last = 0;
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString body = m.captured(1);
        QString decoded;
        if (body.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const bool hex = body.size() > 1 && (body.at(1) == QLatin1Char('x') || body.at(1) == QLatin1Char('X'));
            const uint code = hex ? body.mid(2).toUInt(&ok, 16) : body.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF)
                decoded = QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        } else if (body == QLatin1String("amp")) {
            decoded = QStringLiteral("&");
        } else if (body == QLatin1String("lt")) {
            decoded = QStringLiteral("<");
        } else if (body == QLatin1String("gt")) {
            decoded = QStringLiteral(">");
        } else if (body == QLatin1String("quot")) {
            decoded = QStringLiteral("\"");
        } else if (body == QLatin1String("nbsp")) {
            decoded = QStringLiteral(" ");
        }
        if (decoded.isEmpty())
            continue;
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += decoded;
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

} // namespace

QString StartingNextLinkName()
{
    return QStringLiteral("下一页");
}

QStringList UsualNextNames()
{
    return {QStringLiteral("下一页"), QStringLiteral("下一章"), QStringLiteral("下一节"), QStringLiteral("下一回"),
            QStringLiteral("下章"),   QStringLiteral("下页"),   QStringLiteral("下一篇"), QStringLiteral("下一頁"),
            QStringLiteral("下一章節"), QStringLiteral("Next Chapter"), QStringLiteral("Next Page"),
            QStringLiteral("Next")};
}

QString ReaderLinkText(const extract::PageElement &link)
{
    QString text;
    if (link.innerHTML.isEmpty()) {
        text = link.innerText;
    } else {
        static const QRegularExpression markup(QStringLiteral("<[^>]*>"));
        text = DecodeReferences(QString(link.innerHTML).replace(markup, QStringLiteral(" ")));
    }
    // U+00A0 and U+3000 are white space here too.
    return text.simplified();
}

bool BearsUsualName(const extract::PageElement &link, const QString &readerText, const QString &name)
{
    if (name.isEmpty())
        return false;
    if (name.at(0).unicode() >= 0x80)
        return readerText.contains(name) || link.innerText.contains(name) || link.innerHTML.contains(name);
    if (name == QLatin1String("Next"))
        return HasNextAsWord(readerText);
    return HasPhrase(readerText, name);
}

UsualNextLink FindUsualNextLink(const LoadedPage &page)
{
    QList<int> links;
    QStringList texts;
    for (int i = 0; i < page.document.all.size(); ++i) {
        const extract::PageElement &element = page.document.all.at(i);
        if (element.tagName.compare(QLatin1String("A"), Qt::CaseInsensitive) != 0)
            continue;
        links << i;
        texts << ReaderLinkText(element);
    }
    for (const QString &name : UsualNextNames()) {
        for (qsizetype k = 0; k < links.size(); ++k) {
            if (BearsUsualName(page.document.all.at(links.at(k)), texts.at(k), name))
                return {links.at(k), name};
        }
    }
    return {page.relNextIndex, QString()};
}

QString FollowedNameText(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("按网页标明的下一页链接继续");
    return QStringLiteral("按“%1”继续").arg(name);
}

} // namespace pagewick::workflow
