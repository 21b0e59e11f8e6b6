#pragma once

#include "extract/candidatescore.h"

#include <QVector>

namespace pagewick::extract {

// What the second look knows of one accepted candidate.
struct AcceptedMeasures
{
    qsizetype textLength = 0;
    qsizetype markCount = 0;
};

// On a page of Western punctuation the best-ranked candidate can be an
// author's note or a sidebar beside a chapter whose paragraphs sit in
// blocks of their own: text per tag favours a few long paragraphs over the
// many short ones of a chapter. When the winner is clearly not the chapter,
// another accepted candidate with at least kSecondLookFactor times its text
// and its marks, the best-ranked of those (the greatest key, the earliest of
// equal keys) is taken instead. Answers the position in `accepted` of the
// candidate to take: `winner` unless the second look applies. Pages of
// Chinese punctuation are left as the ranking chose.
constexpr qsizetype kSecondLookFactor = 3;
qsizetype SecondLook(PunctuationMode mode, const QVector<AcceptedMeasures> &accepted, const QStringList &keys,
                     qsizetype winner);

} // namespace pagewick::extract
