#pragma once

#include "extract/pagedocument.h"

#include <QString>
#include <QStringList>

#include <optional>

// How one element of a page is judged as a candidate for the main text:
// which elements are looked at, what is counted in them, which are accepted
// and the text key that ranks the accepted ones.
namespace pagewick::extract {

// Which sentence marks count, chosen once per run from the page's body text.
enum class PunctuationMode {
    Chinese = 1,        // "，" and "。" in innerText
    Western = 2,        // "," and "." in innerText
    ParagraphMarks = 3, // "</P>" in innerHTML
};

// A page without a body is read in paragraph-mark mode.
PunctuationMode ChoosePunctuationMode(const std::optional<QString> &bodyText);

// The spaces that the pre-filter ignores at both ends of an element's text:
// U+0020 and the ideographic space U+3000, which Chinese pages indent with.
bool IsPreFilterSpace(QChar c);

// The tag names (lower case) of the elements detection examines; the
// others' texts and markup are never looked at.
QStringList CandidateTagNames();
// The shortest text, trimmed of U+0020 and U+3000, of an examined element.
qsizetype CandidateMinTextLength();

// Whether an element is examined at all: a td or div (any case) whose text,
// without pre-filter spaces at its ends, is longer than 50 code units.
bool PassesPreFilter(const PageElement &element);

// The counts of one element; all are exact, case-sensitive UTF-16 counts.
struct ElementMetrics
{
    qsizetype textLength = 0;  // innerText, untrimmed
    qsizetype tagCount = 0;    // ">" in innerHTML
    qsizetype hyphenPairs = 0; // "-" in innerText, halved, ties to even
    qsizetype linkCount = 0;   // "<a" in innerHTML, lower-case a only
    qsizetype markCount = 0;   // sentence marks of the run's mode
};

// The element's own measures when it carries them, else those of its texts.
ElementMetrics MeasureElement(const PageElement &element, PunctuationMode mode);

// Every count detection makes on the texts, in all three modes.
TextMeasures MeasureTexts(const QString &innerText, const QString &innerHTML);

// Bounds every accepted element keeps, whatever the mode: an element
// outside any of them can never be accepted, so a reader may leave its
// texts out.
using AcceptanceBounds = text::MeasureBounds;
AcceptanceBounds CandidateAcceptanceBounds();

// hyphens / 2 rounded to the nearest integer, ties to even: 1 -> 0, 3 -> 2.
qsizetype HyphenPairs(qsizetype hyphens);

// Long prose with more than ten tags, more than five marks, at most 18
// hyphens and at most four links.
bool IsAccepted(const ElementMetrics &metrics);

// "S|R1|R2|tagName" with R1 = text per tag and R2 = marks per page code unit,
// each rounded to 4 places, and S = 10000 + 10 R1 + 10000 R2. Keys compare as
// text, so below a score of 100000 the greater key has the greater score.
// Requires tagCount > 0 and pageLength > 0.
QString CandidateKey(const ElementMetrics &metrics, qsizetype pageLength, const QString &tagName);

} // namespace pagewick::extract
