#include "book/pagehead.h"

#include <QRegularExpression>
#include <QStringList>

namespace pagewick::book {

namespace {

bool IsDecoration(QChar c)
{
    static const QString kMarks = QStringLiteral("【】[]()（）《》〈〉「」『』<>〔〕{}-_|—–·・:：/\\~～");
    return c.isSpace() || kMarks.contains(c);
}

QString WithoutDecoration(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!IsDecoration(c))
            out += c;
    }
    return out;
}

bool IsNameEnd(QChar c)
{
    static const QString kEnds = QStringLiteral("|/／、，,。；;】]）)』」》>");
    return c.isSpace() || kEnds.contains(c);
}

} // namespace

bool IsTitleLine(const QString &line, const QString &title, const QString &bookName)
{
    const QString wanted = WithoutDecoration(title);
    if (wanted.isEmpty())
        return false;
    QString rest = WithoutDecoration(line);
    const qsizetype at = rest.indexOf(wanted);
    if (at < 0)
        return false;
    rest.remove(at, wanted.size());
    const QString name = WithoutDecoration(bookName);
    if (!name.isEmpty())
        rest.remove(name);
    return rest.isEmpty();
}

std::optional<QString> AuthorOfLine(const QString &line)
{
    const QString text = line.trimmed();
    if (text.size() > 80)
        return std::nullopt;

    static const QRegularExpression label(QStringLiteral("(?:^|[\\s【\\[（(「『《])作\\s*者\\s*[：:]\\s*"));
    const QRegularExpressionMatch match = label.match(text);
    if (match.hasMatch()) {
        qsizetype end = match.capturedEnd();
        while (end < text.size() && !IsNameEnd(text.at(end)))
            ++end;
        const QString name = text.mid(match.capturedEnd(), end - match.capturedEnd());
        if (name.isEmpty() || name.size() > 30)
            return std::nullopt;
        return name;
    }

    static const QRegularExpression by(QStringLiteral("^[Bb]y\\s+((?:[A-Z][\\w'.-]*\\s*){1,5})$"));
    const QRegularExpressionMatch byMatch = by.match(text);
    if (byMatch.hasMatch())
        return byMatch.captured(1).trimmed();
    return std::nullopt;
}

} // namespace pagewick::book
