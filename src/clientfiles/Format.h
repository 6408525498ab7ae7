#pragma once
// Number and text formatting shared by every window: durations, rounding
// halves to the even neighbour, the shortest decimal form, and the client's
// 8-bit text shown on a UTF-8 desktop.

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace clientfiles {

// Decimal text of n, with a leading "0" when it is one character long.
std::string TwoDigits(std::int64_t n);
// Seconds as hours:minutes:seconds with unpadded hours ("1:02:05"); a
// negative count is the magnitude with one "-" in front ("-1:02:05").
std::string FormatHMS(std::int64_t seconds);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4). Inline:
// the graph rounds two coordinates of every signal it draws.
inline double RoundHalfEven(double x) {
    // From 2^52 on every double is a whole number.
    if (!(std::fabs(x) < 0x1p52)) return x;
    // Exact whatever the floating-point rounding mode: truncation, and the
    // fraction it leaves (exactly representable) decides. Adding +0.0 turns
    // a whole part of -0 into 0, as "x minus its remainder" gives.
    const double whole = std::trunc(x) + 0.0;
    const double fraction = std::fabs(x - whole);
    const double away = whole + std::copysign(1.0, x);
    if (fraction != 0.5) return fraction < 0.5 ? whole : away;
    return std::fmod(whole, 2.0) == 0 ? whole : away;  // a tie: the even one
}
// x with `decimals` decimals: multiplied by 10^decimals, rounded, divided back.
double RoundTo(double x, int decimals);

// At most 15 significant digits, no trailing zeros, `decimalSeparator` as the
// decimal point; exponent form ("1.5E-6", "1E15") where the magnitude is
// below 0.0001 or, after rounding to 15 digits, at least 10^15. Zero is "0"
// (never "-0"); NaN and infinities are "NaN", "Inf", "-Inf".
std::string ShortestForm(double x, char decimalSeparator = '.');

// A decimal number as the client writes it (optional sign, digits, optional
// fraction and exponent, "." whatever the locale), filling all of `text`;
// nothing when it is not one or no double can hold it.
std::optional<double> ParseDecimal(std::string_view text);

// The client's numbers are plain decimals such as "1418745210.227335": an
// optional sign, digits and an optional fraction, read from `p`. When the
// digits fit 53 bits and there are at most 22 decimals, both the digits and
// the power of ten are exact doubles, and one division rounds exactly as the
// general conversion does: the same value, several times faster. Returns
// where the plain decimal ends (the caller decides whether what follows may
// follow a number), or nullptr for anything this cannot read exactly
// (long digit strings, no digits), which is left to the general conversion.
const char* ReadPlainDecimal(const char* p, const char* end, double& value);

// The client's files are Windows-1252 text; labels are UTF-8. The five bytes
// the code page leaves undefined become U+FFFD.
std::string Cp1252ToUtf8(std::string_view text);

}  // namespace clientfiles
