#include "clientfiles/Scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <span>
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

// Hands out a text a few bytes at a time, as a file read in blocks would.
class PieceSource : public clientfiles::TextSource {
public:
    PieceSource(std::string text, std::mt19937& random) : text_(std::move(text)), random_(random) {}
    std::size_t Read(std::span<char> dest) override {
        const std::size_t n = std::min(
            {dest.size(), text_.size() - at_, static_cast<std::size_t>(1 + random_() % 7)});
        std::copy_n(text_.data() + at_, n, dest.data());
        at_ += n;
        return n;
    }

private:
    std::string text_;
    std::size_t at_ = 0;
    std::mt19937& random_;
};

// What a walk of primitives gave: every value, the cursor after each step,
// where it aborted, the messages.
std::vector<std::string> Walk(Reading& r, const std::vector<int>& steps,
                              const testsupport::ScriptedDialogs& dialogs) {
    std::vector<std::string> seen;
    constexpr std::array<std::string_view, 3> keys = {"ab", "spike", "="};
    try {
        for (int step : steps) {
            std::string value;
            switch (step) {
                case 0:
                    r.FindLine("ab");
                    break;
                case 1:
                    r.FindString("=a");
                    break;
                case 2: {
                    const double real = r.ReadReal();
                    std::uint64_t bits = 0;
                    std::memcpy(&bits, &real, sizeof bits);
                    value = std::to_string(bits);
                    break;
                }
                case 3:
                    value = std::to_string(r.ReadInt());
                    break;
                case 4: {
                    std::array<std::uint8_t, 3> hex{};
                    value = r.ReadHexBytes(hex) ? "true" : "false";
                    for (auto b : hex)
                        value += " " + std::to_string(b);
                    break;
                }
                case 5:
                    value = r.ReadLineValue();
                    break;
                case 6:
                    value = r.SkipLine();
                    break;
                case 7:
                    value = std::to_string(r.FindAnyLine(keys));
                    break;
                case 8:
                    value = r.Peek(2).value_or('?');
                    break;
                default:
                    value = r.AtEnd() ? "end" : "more";
                    break;
            }
            seen.push_back(std::to_string(step) + ": " + value + " @" + std::to_string(r.Cursor()));
        }
    } catch (const ReadAbort&) {
        seen.push_back("abort @" + std::to_string(r.Cursor()));
    }
    for (const std::string& message : dialogs.errors)
        seen.push_back(message);
    return seen;
}

TEST_F(Scanner, ATextTakenInPiecesReadsAsTheWholeText) {
    // GIVEN random texts of the scanner's special characters and of signal
    // lines, and random walks of the primitives over them
    std::mt19937 random(77);
    const std::string alphabet("=\n\r 0123456789abfAF+-.eE\0xyzsp", 30);
    const std::string line =
        "spike: power=24.116882 ra=7.5 time=2451981.356829 fft_len=16384 pot=0a1bff\n";
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const std::size_t length = random() % 60;
        while (text.size() < length)
            if (random() % 3 == 0)
                text += line.substr(random() % line.size(), random() % 20);
            else
                text += alphabet[random() % alphabet.size()];
        std::vector<int> steps(1 + random() % 10);
        for (int& step : steps)
            step = static_cast<int>(random() % 10);

        // WHEN the same walk runs over the whole text and over its pieces
        std::vector<std::string> whole, pieces;
        {
            Reading r = Open(text);
            whole = Walk(r, steps, dialogs);
        }
        dialogs.errors.clear();
        {
            auto source = std::make_unique<PieceSource>(text, random);
            Reading r = std::move(gate.Begin(std::move(source), 1 + random() % 5).value());
            pieces = Walk(r, steps, dialogs);
            ASSERT_LE(r.Cursor(), r.Size());
        }
        dialogs.errors.clear();

        // THEN every value, cursor and message is the same
        ASSERT_EQ(pieces, whole) << "text: " << ::testing::PrintToString(text);
    }
}

TEST_F(Scanner, ALongTokenOrLineIsKeptWholeAcrossBlocks) {
    std::mt19937 random(5);
    const std::string text = "name=" + std::string(100, 'x') + "\nv=" + std::string(40, '0') +
                             "12.5\nn=" + std::string(50, '0') + "42\nh=" + std::string(600, 'a') +
                             "\n";
    auto source = std::make_unique<PieceSource>(text, random);
    Reading r = std::move(gate.Begin(std::move(source), 4).value());
    EXPECT_EQ(r.SkipLine(), "name=" + std::string(100, 'x'));
    EXPECT_EQ(r.ReadReal(), 0) << "longer than any number";
    EXPECT_EQ(r.ReadInt(), 42) << "leading zeros do not count";
    std::array<std::uint8_t, 300> hex{};
    EXPECT_TRUE(r.ReadHexBytes(hex));
    EXPECT_EQ(hex[299], 0xaa);
    EXPECT_EQ(r.Peek(), '\n');
}

}  // namespace
