#pragma once

#include <QtGlobal>

namespace pagewick::text {

// What detection counts in an element, made where the document lives so
// that the element's texts need not be carried: every count over its
// innerText (CR LF breaks) and its innerHTML (tag names in upper case).
// Exact, case-sensitive UTF-16 counts.
struct TextMeasures
{
    qsizetype trimmedLength = 0;  // innerText without U+0020 and U+3000 at its ends
    qsizetype textLength = 0;     // innerText
    qsizetype hyphens = 0;        // "-" in innerText
    qsizetype chineseMarks = 0;   // U+FF0C and U+3002 in innerText
    qsizetype westernMarks = 0;   // "," and "." in innerText
    qsizetype tagCount = 0;       // ">" in innerHTML
    qsizetype linkCount = 0;      // "<a" in innerHTML
    qsizetype paragraphMarks = 0; // "</P>" in innerHTML

    friend bool operator==(const TextMeasures &a, const TextMeasures &b)
    {
        return a.trimmedLength == b.trimmedLength && a.textLength == b.textLength
            && a.hyphens == b.hyphens && a.chineseMarks == b.chineseMarks
            && a.westernMarks == b.westernMarks && a.tagCount == b.tagCount
            && a.linkCount == b.linkCount && a.paragraphMarks == b.paragraphMarks;
    }
    friend bool operator!=(const TextMeasures &a, const TextMeasures &b) { return !(a == b); }
};

// Bounds on an element's measures: at least the minima, at most the maxima,
// and at least minMarkCount marks of one kind (Chinese, Western or "</P>").
struct MeasureBounds
{
    qsizetype minTrimmedLength = 0;
    qsizetype minTextLength = 0;
    qsizetype minTagCount = 0;
    qsizetype maxHyphens = 0;
    qsizetype maxLinkCount = 0;
    qsizetype minMarkCount = 0;

    // Every element within these bounds is within `wider` too.
    bool within(const MeasureBounds &wider) const
    {
        return minTrimmedLength >= wider.minTrimmedLength && minTextLength >= wider.minTextLength
            && minTagCount >= wider.minTagCount && maxHyphens <= wider.maxHyphens
            && maxLinkCount <= wider.maxLinkCount && minMarkCount >= wider.minMarkCount;
    }
};

} // namespace pagewick::text
