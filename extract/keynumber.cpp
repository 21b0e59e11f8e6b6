#include "extract/keynumber.h"

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <system_error>

namespace pagewick::extract {

namespace {

constexpr int kSignificantDigits = 15;

} // namespace

QString FormatKeyNumber(double v)
{
    if (std::isnan(v))
        return QStringLiteral("nan");
    if (std::isinf(v))
        return v < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    if (v == 0) // also -0, which has no sign in a key
        return QStringLiteral("0");

    // "d.dddddddddddddde±x": the digits after correct rounding, and the
    // decimal exponent after any carry that rounding caused.
    char sci[64];
    const auto res = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific,
                                   kSignificantDigits - 1);
    const std::string_view text(sci, static_cast<std::size_t>(res.ptr - sci));

    const bool negative = text.front() == '-';
    const std::size_t ePos = text.find('e');
    std::string digits;
    digits.reserve(kSignificantDigits);
    for (std::size_t k = negative ? 1 : 0; k < ePos; ++k) {
        if (text[k] != '.')
            digits.push_back(text[k]);
    }
    int exponent = 0;
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+' ? 1 : 0),
                    text.data() + text.size(), exponent);

    // Place the decimal point after digit number exponent + 1.
    std::string out;
    if (negative)
        out.push_back('-');
    const int intDigits = exponent + 1;
    if (intDigits <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-intDigits), '0');
        out += digits;
    } else if (intDigits >= static_cast<int>(digits.size())) {
        out += digits;
        out.append(static_cast<std::size_t>(intDigits) - digits.size(), '0');
    } else {
        out.append(digits, 0, static_cast<std::size_t>(intDigits));
        out.push_back('.');
        out.append(digits, static_cast<std::size_t>(intDigits), std::string::npos);
    }

    if (out.find('.') != std::string::npos) {
        while (out.back() == '0')
            out.pop_back();
        if (out.back() == '.')
            out.pop_back();
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

double RoundHalfEven4(double v)
{
    if (!std::isfinite(v))
        return v;
    // Fixed notation of a double can need over 300 integer digits.
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
    if (res.ec != std::errc())
        return v;
    double rounded = v;
    std::from_chars(buf, res.ptr, rounded);
    return rounded;
}

} // namespace pagewick::extract
