#include "clientfiles/Format.h"

#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace clientfiles {

std::string TwoDigits(std::int64_t n) {
    std::string text = std::to_string(n);
    if (text.size() == 1) text.insert(0, 1, '0');
    return text;
}

std::string FormatHMS(std::int64_t seconds) {
    // A negative count (a clock that went backwards, a damaged file) keeps
    // its sign in front of the hours: -3725 is "-1:02:05", not "-1:-2:-5".
    // The magnitude is taken unsigned so that INT64_MIN does not overflow.
    const bool negative = seconds < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(seconds) : static_cast<std::uint64_t>(seconds);
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / 3600);
    text += ':';
    text += TwoDigits(static_cast<std::int64_t>(magnitude % 3600 / 60));
    text += ':';
    text += TwoDigits(static_cast<std::int64_t>(magnitude % 60));
    return text;
}

double RoundTo(double x, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return RoundHalfEven(x * scale) / scale;
}

std::string ShortestForm(double x, char decimalSeparator) {
    if (std::isnan(x)) return "NaN";
    if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
    if (x == 0) return "0";  // also -0: a minus sign on zero tells nothing

    // to_chars with a precision is %.15g without the locale: 15 significant
    // digits, trailing zeros dropped, exponent below 1E-4 and from 1E15 on.
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), x,
                                   std::chars_format::general, 15);
    if (ec != std::errc{}) return "0";  // cannot happen with 64 characters
    const std::string_view raw(buffer.data(), static_cast<std::size_t>(end - buffer.data()));

    // "1.5e-06" -> "1.5E-6", "1e+15" -> "1E15".
    std::string text;
    const std::size_t e = raw.find('e');
    const std::string_view mantissa = raw.substr(0, e);
    for (char c : mantissa)
        text += c == '.' ? decimalSeparator : c;
    if (e != std::string_view::npos) {
        std::string_view exponent = raw.substr(e + 1);
        text += 'E';
        if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-')) {
            if (exponent.front() == '-') text += '-';
            exponent.remove_prefix(1);
        }
        while (exponent.size() > 1 && exponent.front() == '0')
            exponent.remove_prefix(1);
        text += exponent;
    }
    return text;
}

namespace {

// Code points of the bytes 0x80 to 0x9F in Windows-1252. The five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD:
// a visible replacement character tells the user that the client's file held
// something odd, where the C1 control code of the same number would vanish.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,  // 88-8F
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,  // 98-9F
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        // Every code point of the table lies in the Basic Multilingual Plane.
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte <= 0x9F)
            AppendUtf8(out, kHighControls[byte - 0x80]);
        else
            AppendUtf8(out, byte);  // ASCII and 0xA0-0xFF equal their Latin-1 code points
    }
    return out;
}

namespace {

// 10^0 .. 10^19, every power of ten a 64-bit integer holds.
constexpr auto kTenTo = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t power = 1;
    for (auto& p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();

// Up to eight digits at a time, read as one 64-bit word: the scanner's
// numbers are mostly ten to sixteen digits, and a byte at a time costs a
// branch and a multiplication each.
struct DigitRun {
    std::uint64_t value;  // of the digits read
    int count;            // how many
};

std::uint64_t LoadWord(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The digits from `p` on: whole words while eight bytes are at hand, then a
// byte at a time. `count` includes leading zeros; past 19 digits `value` has
// wrapped and means nothing.
DigitRun ReadDigits(const char* p, const char* end) {
    DigitRun run{0, 0};
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 8) {
            // Digits become 0..9; a byte is a digit when adding 0x76 leaves
            // its top bit clear. A carry out of a non-digit byte only reaches
            // the bytes after it, which do not count.
            const std::uint64_t x = LoadWord(p) ^ 0x3030303030303030u;
            const std::uint64_t notDigit = ((x + 0x7676767676767676u) | x) & 0x8080808080808080u;
            const int digits = notDigit == 0 ? 8 : std::countr_zero(notDigit) / 8;
            if (digits == 0) return run;
            // The digits moved to the top bytes, zeros before them: the
            // usual combination of pairs, quads and octets gives their value.
            std::uint64_t v = x << (8 * (8 - digits));
            v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFu;
            v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;
            v = (v * 10000 + (v >> 32)) & 0x00000000FFFFFFFFu;
            run.value = run.value * kTenTo[digits] + v;
            run.count += digits;
            p += digits;
            if (digits < 8) return run;
        }
    }
    for (; p != end && static_cast<unsigned char>(*p - '0') < 10; ++p, ++run.count)
        run.value = run.value * 10 + static_cast<std::uint64_t>(*p - '0');
    return run;
}

}  // namespace

const char* ReadPlainDecimal(const char* p, const char* end, double& value) {
    // Where doubles are computed in wider registers (x87 on 32-bit x86), the
    // quotient is rounded twice and may miss the correctly rounded value by
    // one unit: there the general conversion reads every number.
    if constexpr (FLT_EVAL_METHOD != 0) return nullptr;
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int kMaxDigits = 19;  // still within 64 bits
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    const DigitRun whole = ReadDigits(p, end);
    p += whole.count;
    DigitRun fraction{0, 0};
    if (p != end && *p == '.') {
        fraction = ReadDigits(++p, end);
        p += fraction.count;
    }
    const int count = whole.count + fraction.count;
    if (count == 0 || count > kMaxDigits) return nullptr;
    const std::uint64_t digits = whole.value * kTenTo[fraction.count] + fraction.value;
    if (digits > (std::uint64_t{1} << 53)) return nullptr;
    value = static_cast<double>(digits) / kPowersOfTen[fraction.count];
    if (negative) value = -value;
    return p;
}

std::optional<double> ParseDecimal(std::string_view text) {
    if (double value = 0; !text.empty()) {
        const char* const textEnd = text.data() + text.size();
        if (ReadPlainDecimal(text.data(), textEnd, value) == textEnd) return value;
    }
    // from_chars takes a "-" but no "+".
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    double value = 0;
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), last, value, std::chars_format::general);
    if (ec != std::errc{} || ptr != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace clientfiles
