#include "clientfiles/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace clientfiles;

namespace {

TEST(Format, TwoDigitsPadsOneCharacterOnly) {
    EXPECT_EQ(TwoDigits(0), "00");
    EXPECT_EQ(TwoDigits(5), "05");
    EXPECT_EQ(TwoDigits(12), "12");
    EXPECT_EQ(TwoDigits(123), "123");
    EXPECT_EQ(TwoDigits(-5), "-5");
}

TEST(Format, FormatHMSHasUnpaddedHours) {
    EXPECT_EQ(FormatHMS(3725), "1:02:05");
    EXPECT_EQ(FormatHMS(0), "0:00:00");
    EXPECT_EQ(FormatHMS(59), "0:00:59");
    EXPECT_EQ(FormatHMS(360000), "100:00:00");
    EXPECT_EQ(FormatHMS(-3725), "-1:02:05");
    EXPECT_EQ(FormatHMS(std::numeric_limits<std::int64_t>::min()), "-2562047788015215:30:08");
}

TEST(Format, RoundHalfEvenSendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(0.49999999999999994), 0);
    EXPECT_EQ(RoundHalfEven(1e300), 1e300);
    EXPECT_EQ(RoundTo(1.125, 2), 1.12);  // 112.5 is a tie
    EXPECT_EQ(RoundTo(63115200 / 31557600.0, 2), 2);
}

TEST(Format, RoundHalfEvenIsTheNearestWholeNumberMinusNothing) {
    // x minus its IEEE remainder by 1 is the defining, slower form: same
    // values and the same sign of zero, over quarters, near-halves and wide
    // magnitudes of both signs.
    const auto reference = [](double x) { return x - std::remainder(x, 1.0); };
    std::vector<double> values = {0.0, -0.0, 0.25, -0.25, 0.5, -0.5, 0x1p52 - 0.5, -0x1p52 + 0.5,
                                  0x1p52, 0x1p53 + 2, 4503599627370495.5, 1e-300};
    for (int i = -4000; i <= 4000; ++i) values.push_back(i / 4.0);
    for (double x = 1e-3; x < 1e18; x *= 1.37) {
        values.push_back(x);
        values.push_back(-x);
        values.push_back(std::nextafter(std::floor(x) + 0.5, 0.0));
        values.push_back(std::nextafter(std::floor(x) + 0.5, 1e300));
    }
    for (const double x : values) {
        const double expected = reference(x);
        EXPECT_EQ(RoundHalfEven(x), expected) << x;
        EXPECT_EQ(std::signbit(RoundHalfEven(x)), std::signbit(expected)) << x;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
    EXPECT_EQ(RoundHalfEven(-INFINITY), -INFINITY);
}

TEST(Format, ShortestFormHas15DigitsNoTrailingZerosAndTheUsersSeparator) {
    EXPECT_EQ(ShortestForm(2.5), "2.5");
    EXPECT_EQ(ShortestForm(100), "100");
    EXPECT_EQ(ShortestForm(0.45), "0.45");
    EXPECT_EQ(ShortestForm(0.1 + 0.2), "0.3");
    EXPECT_EQ(ShortestForm(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(ShortestForm(1418741455 * 1e-9), "1.418741455");
    EXPECT_EQ(ShortestForm(999999999999999), "999999999999999");
    EXPECT_EQ(ShortestForm(0.0001), "0.0001");
    EXPECT_EQ(ShortestForm(1.5e-6), "1.5E-6");
    EXPECT_EQ(ShortestForm(1e15), "1E15");
    EXPECT_EQ(ShortestForm(-1.25e-20, ','), "-1,25E-20");
    EXPECT_EQ(ShortestForm(2.5, ','), "2,5");
    EXPECT_EQ(ShortestForm(-0.0), "0");
}

TEST(Format, Cp1252ToUtf8CoversTheWholeCodePage) {
    EXPECT_EQ(Cp1252ToUtf8("21\xBA"
                           "15'"),
              "21\u00BA15'");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\xE9\xFF"), "\u20AC\u0178\u00E9\u00FF");
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Cp1252ToUtf8("plain\r\n"), "plain\r\n");
}

TEST(Format, ParseDecimalGivesTheCorrectlyRoundedValue) {
    // The client's plain decimals, the edges of the exact shortcut (53 bits
    // of digits, 22 decimals) and what only the general conversion takes.
    struct Case {
        const char* text;
        double value;
    };
    for (const Case& c :
         {Case{"1418745210.227335", 1418745210.227335}, Case{"-0.513044", -0.513044},
          Case{"+24.5", 24.5}, Case{"5.", 5}, Case{".5", 0.5},
          Case{"9007199254740993", 9007199254740993.0},
          Case{"9007199254740992", 9007199254740992.0}, Case{"0.0000000000000000000001", 1e-22},
          Case{"0.00000000000000000000001", 1e-23}, Case{"2.5e3", 2500},
          Case{"1234567890123456789012", 1234567890123456789012.0}}) {
        const std::optional<double> parsed = ParseDecimal(c.text);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(*parsed, c.value) << c.text;
    }
    EXPECT_TRUE(std::signbit(*ParseDecimal("-0.000000")));
    for (const char* bad : {"", ".", "-", "+-1", "--1", "1.2.3", "1e", "1-", "0x1", "1e400"})
        EXPECT_FALSE(ParseDecimal(bad)) << bad;

    // Random plain decimals convert exactly as strtod converts them.
    std::mt19937_64 random(2718);
    for (int i = 0; i < 100000; ++i) {
        std::string text = random() % 4 == 0 ? "-" : "";
        const std::size_t digits = 1 + random() % 20;
        const std::size_t point = random() % (digits + 1);
        for (std::size_t d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        const std::optional<double> parsed = ParseDecimal(text);
        ASSERT_TRUE(parsed) << text;
        ASSERT_EQ(*parsed, std::strtod(text.c_str(), nullptr)) << text;

        // Inside a line, the plain reading stops where the number does,
        // whatever follows and however the digits fall across words.
        const std::string line = text + (i % 2 == 0 ? " freq=1" : "\n9.5:90123456");
        double value = 0;
        const char* end = ReadPlainDecimal(line.data(), line.data() + line.size(), value);
        if (end == nullptr) continue;  // left to the general conversion
        ASSERT_EQ(end, line.data() + text.size()) << line;
        ASSERT_EQ(value, *parsed) << line;
    }
}

}  // namespace
