#include "extract/candidatescore.h"

#include "extract/keynumber.h"

namespace pagewick::extract {

namespace {

const QChar kIdeographicComma(0xFF0C); // ，
const QChar kIdeographicStop(0x3002);  // 。
const QChar kIdeographicSpace(0x3000);

constexpr qsizetype kMinPreFilterLength = 51;

// The acceptance tests: more than these...
constexpr qsizetype kAcceptTextAbove = 100;
constexpr qsizetype kAcceptMarksAbove = 5;
constexpr qsizetype kAcceptTagsAbove = 10;
// ...and fewer than these.
constexpr qsizetype kAcceptHyphenPairsBelow = 10;
constexpr qsizetype kAcceptLinksBelow = 5;

qsizetype TrimmedLength(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsPreFilterSpace(text.at(begin)))
        ++begin;
    while (end > begin && IsPreFilterSpace(text.at(end - 1)))
        --end;
    return end - begin;
}

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
    const qsizetype trimmed =
        element.measures ? element.measures->trimmedLength : TrimmedLength(element.innerText);
    return trimmed >= kMinPreFilterLength;
}

qsizetype HyphenPairs(qsizetype hyphens)
{
    const qsizetype half = hyphens / 2;
    if (hyphens % 2 == 0)
        return half;
    return half % 2 == 0 ? half : half + 1;
}

TextMeasures MeasureTexts(const QString &text, const QString &html)
{
    TextMeasures m;
    m.trimmedLength = TrimmedLength(text);
    m.textLength = text.size();
    for (const QChar c : text) {
        if (c == QLatin1Char('-'))
            ++m.hyphens;
        else if (c == kIdeographicComma || c == kIdeographicStop)
            ++m.chineseMarks;
        else if (c == QLatin1Char(',') || c == QLatin1Char('.'))
            ++m.westernMarks;
    }

    const QChar *p = html.constData();
    const qsizetype n = html.size();
    for (qsizetype k = 0; k < n; ++k) {
        if (p[k] == QLatin1Char('>')) {
            ++m.tagCount;
        } else if (p[k] == QLatin1Char('<') && k + 1 < n) {
            if (p[k + 1] == QLatin1Char('a'))
                ++m.linkCount;
            else if (k + 3 < n && p[k + 1] == QLatin1Char('/') && p[k + 2] == QLatin1Char('P')
                     && p[k + 3] == QLatin1Char('>'))
                ++m.paragraphMarks;
        }
    }
    return m;
}

ElementMetrics MeasureElement(const PageElement &element, PunctuationMode mode)
{
    const TextMeasures t =
        element.measures ? *element.measures : MeasureTexts(element.innerText, element.innerHTML);
    ElementMetrics m;
    m.textLength = t.textLength;
    m.tagCount = t.tagCount;
    m.hyphenPairs = HyphenPairs(t.hyphens);
    m.linkCount = t.linkCount;
    switch (mode) {
    case PunctuationMode::Chinese:
        m.markCount = t.chineseMarks;
        break;
    case PunctuationMode::Western:
        m.markCount = t.westernMarks;
        break;
    case PunctuationMode::ParagraphMarks:
        m.markCount = t.paragraphMarks;
        break;
    }
    return m;
}

AcceptanceBounds CandidateAcceptanceBounds()
{
    AcceptanceBounds b;
    b.minTrimmedLength = kMinPreFilterLength;
    b.minTextLength = kAcceptTextAbove + 1;
    b.minTagCount = kAcceptTagsAbove + 1;
    // Halving with ties to even does not fall as the count grows.
    while (HyphenPairs(b.maxHyphens + 1) < kAcceptHyphenPairsBelow)
        ++b.maxHyphens;
    b.maxLinkCount = kAcceptLinksBelow - 1;
    b.minMarkCount = kAcceptMarksAbove + 1;
    return b;
}

bool IsAccepted(const ElementMetrics &metrics)
{
    return metrics.textLength > kAcceptTextAbove && metrics.markCount > kAcceptMarksAbove
        && metrics.tagCount > kAcceptTagsAbove && metrics.hyphenPairs < kAcceptHyphenPairsBelow
        && metrics.linkCount < kAcceptLinksBelow;
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
