#include "book/sitelines.h"

#include "text/spaces.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace pagewick::book {

namespace {

constexpr qsizetype kMinRepeatedLength = 6;
constexpr qsizetype kMinRepeatedChapters = 3;
constexpr qsizetype kShareDivisor = 5;
constexpr qsizetype kMinNoticeChapters = 2;

} // namespace

bool IsSiteNotice(const QString &line)
{
    // Sites write addresses and phrases in full-width forms as well, to slip
    // past filters; compatibility folding makes them plain again.
    const QString folded = line.normalized(QString::NormalizationForm_KC);
    static const QStringList kPhrases = {QStringLiteral("记住本站"),   QStringLiteral("本章未完"),
                                         QStringLiteral("请点击下一页"), QStringLiteral("无弹窗"),
                                         QStringLiteral("最新章节"),   QStringLiteral("手机用户请")};
    for (const QString &phrase : kPhrases) {
        if (folded.contains(phrase))
            return true;
    }
    static const QRegularExpression address(
        QStringLiteral("https?://|www\\.|[a-z0-9-]+\\.(?:com|net|org|cn|cc|info|la|co|me|tv|io|xyz|top|vip|biz|"
                       "us|tw|hk|so|im|club|site|online|wang|ink|pw|tk)(?![a-z])"),
        QRegularExpression::CaseInsensitiveOption);
    return address.match(folded).hasMatch();
}

QHash<QString, qsizetype> SiteLines(const QList<Chapter> &chapters,
                                    const std::function<bool(const QString &)> &keep)
{
    QHash<QString, qsizetype> chaptersOfLine;
    QSet<QString> seen;
    for (const Chapter &chapter : chapters) {
        seen.clear();
        for (const QString &line : chapter.lines) {
            if (text::IsBlank(line))
                continue;
            const QString trimmed = line.trimmed();
            if (!seen.contains(trimmed)) {
                seen.insert(trimmed);
                ++chaptersOfLine[trimmed];
            }
        }
    }

    const qsizetype count = chapters.size();
    QHash<QString, qsizetype> site;
    for (auto it = chaptersOfLine.cbegin(); it != chaptersOfLine.cend(); ++it) {
        const qsizetype in = it.value();
        if (in < kMinNoticeChapters)
            continue;
        const bool repeated = it.key().size() >= kMinRepeatedLength && in >= kMinRepeatedChapters
            && in * kShareDivisor >= count;
        if ((repeated || IsSiteNotice(it.key())) && !keep(it.key()))
            site.insert(it.key(), in);
    }
    return site;
}

} // namespace pagewick::book
