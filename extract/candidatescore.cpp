#include "extract/candidatescore.h"

#include "extract/keynumber.h"

namespace pagewick::extract {

namespace {

const QChar kIdeographicComma(0xFF0C); // ，
const QChar kIdeographicStop(0x3002);  // 。
const QChar kIdeographicSpace(0x3000);

constexpr qsizetype kMinPreFilterLength = 51;

} // namespace

PunctuationMode ChoosePunctuationMode(const std::optional<QString> &bodyText)
{
    if (!bodyText)
        return PunctuationMode::ParagraphMarks;
    if (bodyText->contains(kIdeographicComma) && bodyText->contains(kIdeographicStop))
        return PunctuationMode::Chinese;
    if (bodyText->contains(QLatin1Char(',')) && bodyText->contains(QLatin1Char('.')))
        return PunctuationMode::Western;
    return PunctuationMode::ParagraphMarks;
}

bool IsPreFilterSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == kIdeographicSpace;
}

QStringList CandidateTagNames()
{
    return {QStringLiteral("td"), QStringLiteral("div")};
}

qsizetype CandidateMinTextLength()
{
    return kMinPreFilterLength;
}

bool PassesPreFilter(const PageElement &element)
{
    static const QStringList candidateTags = CandidateTagNames();
    if (!candidateTags.contains(element.tagName, Qt::CaseInsensitive))
        return false;

    const QString &text = element.innerText;
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsPreFilterSpace(text.at(begin)))
        ++begin;
    while (end > begin && IsPreFilterSpace(text.at(end - 1)))
        --end;
    return end - begin >= kMinPreFilterLength;
}

qsizetype HyphenPairs(qsizetype hyphens)
{
    const qsizetype half = hyphens / 2;
    if (hyphens % 2 == 0)
        return half;
    return half % 2 == 0 ? half : half + 1;
}

ElementMetrics MeasureElement(const PageElement &element, PunctuationMode mode)
{
    ElementMetrics m;
    const QString &text = element.innerText;
    m.textLength = text.size();

    // One pass over each text, whatever the mode.
    qsizetype hyphens = 0;
    qsizetype marks = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('-'))
            ++hyphens;
        if (mode == PunctuationMode::Chinese) {
            if (c == kIdeographicComma || c == kIdeographicStop)
                ++marks;
        } else if (mode == PunctuationMode::Western) {
            if (c == QLatin1Char(',') || c == QLatin1Char('.'))
                ++marks;
        }
    }
    m.hyphenPairs = HyphenPairs(hyphens);

    const QString &html = element.innerHTML;
    const QChar *p = html.constData();
    const qsizetype n = html.size();
    for (qsizetype k = 0; k < n; ++k) {
        if (p[k] == QLatin1Char('>')) {
            ++m.tagCount;
        } else if (p[k] == QLatin1Char('<') && k + 1 < n) {
            if (p[k + 1] == QLatin1Char('a'))
                ++m.linkCount;
            else if (mode == PunctuationMode::ParagraphMarks && k + 3 < n
                     && p[k + 1] == QLatin1Char('/') && p[k + 2] == QLatin1Char('P')
                     && p[k + 3] == QLatin1Char('>'))
                ++marks;
        }
    }
    m.markCount = marks;
    return m;
}

bool IsAccepted(const ElementMetrics &metrics)
{
    return metrics.textLength > 100 && metrics.markCount > 5 && metrics.tagCount > 10
        && metrics.hyphenPairs < 10 && metrics.linkCount < 5;
}

QString CandidateKey(const ElementMetrics &metrics, qsizetype pageLength, const QString &tagName)
{
    const double r1 = RoundHalfEven4(double(metrics.textLength) / double(metrics.tagCount));
    const double r2 = RoundHalfEven4(double(metrics.markCount) / double(pageLength));
    const double score = 10000 + 10 * r1 + 10000 * r2;
    const QChar bar(QLatin1Char('|'));
    return FormatKeyNumber(score) + bar + FormatKeyNumber(r1) + bar + FormatKeyNumber(r2) + bar
        + tagName;
}

} // namespace pagewick::extract
