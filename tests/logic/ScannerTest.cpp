#include "clientfiles/Scanner.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "support/ScriptedDialogs.h"

using clientfiles::ReadAbort;
using clientfiles::Reading;
using clientfiles::ReadingGate;

namespace {

const std::string kCorrupt =
    "\" not found in one of SETI@home files. The file seems to be corrupt.";

class Scanner : public ::testing::Test {
protected:
    Reading Open(std::string text) { return std::move(gate.Begin(std::move(text)).value()); }

    testsupport::ScriptedDialogs dialogs;
    ReadingGate gate{dialogs};
};

TEST_F(Scanner, FindLineMatchesKeysAsLinePrefixesInFileOrder) {
    {
        Reading a = Open("a=1\nb= 2.5e3\n");
        a.FindLine("b");
        EXPECT_EQ(a.ReadReal(), 2500);
    }
    {
        Reading b = Open("abc=12.5\nab=7");
        b.FindLine("ab");
        EXPECT_EQ(b.ReadReal(), 12.5);
        b.FindLine("ab");  // the cursor stands inside the first line: the next is tried
        EXPECT_EQ(b.Peek(), '=');
    }
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(Scanner, CorruptFileMessagesNameTheKey) {
    {
        // A missing key on the lines left: the "Line" message, then the abort.
        Reading a = Open("a=1\nb=2\n");
        EXPECT_THROW(a.FindLine("zz"), ReadAbort);
    }
    {
        // A line exactly as long as the key is too short (it needs one more):
        // the end, silently.
        Reading b = Open("a=1\nxy");
        b.FindLine("zz");
        EXPECT_TRUE(b.AtEnd());
    }
    // Lines shorter than the key: the end, silently; the value after it then
    // shows the "String" message for "=".
    Reading c = Open("a=1\nb=2\n");
    c.FindLine("longkey");
    EXPECT_TRUE(c.AtEnd());
    EXPECT_THROW(c.ReadReal(), ReadAbort);
    EXPECT_EQ(dialogs.errors,
              (std::vector<std::string>{"Line \"zz" + kCorrupt, "String \"=" + kCorrupt}));
}

TEST_F(Scanner, FindAnyLineReturnsTheIndexOfTheKeyFoundOrMinusOneSilently) {
    constexpr std::array<std::string_view, 2> keys = {"major_v", "ver"};
    {
        Reading a = Open("type=result\nver=2\nmore=lines\nmajor_version=3\n");
        EXPECT_EQ(a.FindAnyLine(keys), 1);
        EXPECT_EQ(a.Peek(), '=');
        EXPECT_EQ(a.FindAnyLine(keys), 0);
    }
    // Too short for the first key of the table: the end, although "ver" would fit.
    Reading b = Open("ver=1\n");
    EXPECT_EQ(b.FindAnyLine(keys), -1);
    EXPECT_TRUE(b.AtEnd());
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(Scanner, FindStringSearchesOnAfterAPartialMatch) {
    Reading r = Open("xaxab=1");
    r.FindString("ab");
    EXPECT_EQ(r.Cursor(), 5u);
    r.FindString("zz");  // missing: silently at the end
    EXPECT_TRUE(r.AtEnd());
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(Scanner, ReadRealTokenRules) {
    auto real = [this](std::string text) { return Open(std::move(text)).ReadReal(); };
    EXPECT_EQ(real("x=+5\n"), 5);
    EXPECT_EQ(real("x=-0.25\n"), -0.25);
    EXPECT_EQ(real("x=8.517978e+00 y\n"), 8.517978);
    EXPECT_EQ(real(std::string("x= \0 \0 7\n", 9)), 7);  // blanks and NUL bytes skipped
    // "x=5" runs to the end of the text and may have been cut short; the last
    // token has 31 characters.
    for (const char* zero : {"x=5", "x=\n", "x=abc\n", "x=1.2.3\n", "x=+-\n", "x=1e\n", "x=1e999\n",
                             "x=1234567890123456789012345678901\n"})
        EXPECT_EQ(real(zero), 0) << zero;
}

TEST_F(Scanner, ReadIntTakesDigitsOnly) {
    {
        Reading a = Open("x=1234.56\n");
        EXPECT_EQ(a.ReadInt(), 1234);
        EXPECT_EQ(a.Peek(), '.');
    }
    EXPECT_EQ(Open("x=5").ReadInt(), 0);
    EXPECT_EQ(Open("x=2147483647\n").ReadInt(), 2147483647);
    EXPECT_EQ(Open("x=000000000000000000000042\n").ReadInt(), 42);
    for (const char* bad : {"x=-5\n", "x=\n", "x=2147483648\n", "x=99999999999999999999999\n"})
        EXPECT_THROW(Open(bad).ReadInt(), ReadAbort) << bad;
    EXPECT_TRUE(dialogs.errors.empty());  // conversion failures are silent
}

TEST_F(Scanner, ReadHexBytesTakesLowerCasePairsWithinTheText) {
    using Bytes = std::array<std::uint8_t, 2>;
    Bytes bytes{1, 2};
    EXPECT_TRUE(Open("=0aff").ReadHexBytes(bytes));
    EXPECT_EQ(bytes, (Bytes{10, 255}));
    bytes = {1, 2};
    EXPECT_FALSE(Open("=0AFF").ReadHexBytes(bytes));
    EXPECT_EQ(bytes, (Bytes{1, 2}));
    EXPECT_FALSE(Open("= 0af").ReadHexBytes(bytes));  // the second pair runs past the end
    EXPECT_EQ(bytes, (Bytes{10, 2}));

    EXPECT_TRUE(Open("=").ReadHexBytes({}));
}

TEST_F(Scanner, ReadLineValueKeepsCarriageReturnsAndCutsAt49) {
    {
        Reading a = Open("name=abc\r\n");
        EXPECT_EQ(a.ReadLineValue(), "abc\r");
        EXPECT_EQ(a.Peek(), '\n');
    }
    EXPECT_EQ(Open("name=  " + std::string(60, 'v') + "\n").ReadLineValue(), std::string(49, 'v'));
    EXPECT_EQ(Open("k=a b \n").ReadLineValue(), "a b ");
}

TEST_F(Scanner, SkipLineReturnsTheRestOfTheLine) {
    Reading r = Open("ab\r\ncd");
    EXPECT_EQ(r.SkipLine(), "ab\r");
    EXPECT_EQ(r.Peek(), 'c');
    EXPECT_EQ(r.SkipLine(), "cd");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.SkipLine(), "");
}

TEST_F(Scanner, GateRefusesASecondReadingEvenWhileAMessageIsOpen) {
    {
        std::optional<Reading> moved = gate.Begin("a=1\n");
        Reading r = std::move(*moved);
        moved.reset();  // a moved-from reading does not release the gate
        EXPECT_FALSE(gate.Begin("b=2\n").has_value());
        bool refusedWhileOpen = false;
        dialogs.whileOpen = [&] { refusedWhileOpen = !gate.Begin("c=3\n").has_value(); };
        EXPECT_THROW(r.FindLine("zz"), ReadAbort);
        EXPECT_TRUE(refusedWhileOpen);
    }
    EXPECT_FALSE(gate.Busy());
    EXPECT_TRUE(gate.Begin("d=4\n").has_value());
}

TEST_F(Scanner, GarbageNeverReadsOutsideTheText) {
    // GIVEN random short texts rich in the scanner's special characters
    std::mt19937 random(1234);
    const std::string alphabet("=\n\r 0123456789abfAF+-.eE\0xyz", 28);
    std::array<std::uint8_t, 4> hex{};
    const std::array<std::function<void(Reading&)>, 7> primitives = {
        [](Reading& r) { r.FindLine("ab"); },     [](Reading& r) { r.FindString("=a"); },
        [](Reading& r) { r.ReadReal(); },         [](Reading& r) { r.ReadInt(); },
        [&](Reading& r) { r.ReadHexBytes(hex); }, [](Reading& r) { r.ReadLineValue(); },
        [](Reading& r) { r.SkipLine(); }};
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 24, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        // WHEN the primitives walk it THEN nothing leaves the text (ASan watches)
        Reading r = Open(text);
        try {
            for (int step = 0; step < 8; ++step) {
                primitives[random() % primitives.size()](r);
                ASSERT_LE(r.Cursor(), r.Size());
            }
        } catch (const ReadAbort&) {
        }
    }
}

}  // namespace
