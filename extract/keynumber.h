#pragma once

#include <QString>

// The numbers of the candidate keys and of the progress caption. Both are
// locale-independent: the program runs under zh_CN and C locales alike and
// the keys must compare the same way under either.
namespace pagewick::extract {

// v rounded to 15 significant digits, written with "." as decimal point, a
// leading zero before it below 1, no exponent, no grouping, no trailing
// zeros and no decimal point when the rounded value is integral.
// Infinities and NaN come out as "inf", "-inf" and "nan".
QString FormatKeyNumber(double v);

// v rounded to 4 decimal places, ties to even, judged on the exact binary
// value of v (so 0.03125 gives 0.0312, while 0.00015, stored just below the
// tie, gives 0.0001).
double RoundHalfEven4(double v);

} // namespace pagewick::extract
