#include "clientfiles/Scanner.h"

#include <charconv>
#include <cmath>
#include <system_error>
#include <utility>

#include "clientfiles/Format.h"
#include "views/Dialogs.h"

namespace clientfiles {

namespace {

bool IsRealChar(char c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Value of a lower-case hex digit, or -1. Upper case is refused: the client
// writes lower case, and anything else is damage.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A whole token as a decimal number; anything else, including a value a
// double cannot hold or a token longer than the design's buffer, gives 0.
double ConvertReal(std::string_view token) {
    if (token.size() > kMaxRealToken) return 0;
    return ParseDecimal(token).value_or(0);
}

}  // namespace

Reading::Reading(ReadingGate& gate, std::string text) : gate_(&gate), text_(std::move(text)) {
    gate_->active_ = true;
}

Reading::Reading(Reading&& other) noexcept
    : gate_(std::exchange(other.gate_, nullptr)),
      text_(std::move(other.text_)),
      cursor_(other.cursor_) {}

Reading::~Reading() {
    if (gate_ != nullptr) gate_->active_ = false;
}

std::optional<Reading> ReadingGate::Begin(std::string text) {
    if (active_) return std::nullopt;
    return Reading(*this, std::move(text));
}

void Reading::Corrupt(std::string_view what, std::string_view key) {
    std::string message(what);
    message += " \"";
    message += key;
    message += "\" not found in one of SETI@home files. The file seems to be corrupt.";
    // Shown while this reading still holds the gate: a timer tick during the
    // modal box cannot start another reading.
    gate_->dialogs_.ShowError(message);
    throw ReadAbort{};
}

std::optional<char> Reading::Peek(std::size_t offset) const {
    if (offset >= text_.size() - cursor_) return std::nullopt;
    return text_[cursor_ + offset];
}

void Reading::SkipBlanks() {
    while (cursor_ < text_.size() && (text_[cursor_] == ' ' || text_[cursor_] == '\0'))
        ++cursor_;
}

void Reading::FindLine(std::string_view key) {
    for (;;) {
        if (text_.size() - cursor_ < key.size() + 1) {
            cursor_ = text_.size();
            return;
        }
        // Compared wherever the cursor stands: after a value was read it is
        // inside a line, the comparison fails and the next line is tried.
        if (std::string_view(text_).substr(cursor_, key.size()) == key) {
            cursor_ += key.size();
            return;
        }
        const std::size_t lineFeed = text_.find('\n', cursor_);
        if (lineFeed == std::string::npos || lineFeed + 1 >= text_.size()) Corrupt("Line", key);
        cursor_ = lineFeed + 1;
    }
}

int Reading::FindAnyLine(std::span<const std::string_view> keys) {
    for (;;) {
        const std::size_t lineStart = cursor_;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const std::string_view key = keys[i];
            if (text_.size() - lineStart < key.size() + 1) {
                cursor_ = text_.size();
                return -1;
            }
            if (std::string_view(text_).substr(lineStart, key.size()) == key) {
                cursor_ = lineStart + key.size();
                return static_cast<int>(i);
            }
        }
        const std::size_t lineFeed = text_.find('\n', lineStart);
        if (lineFeed == std::string::npos || lineFeed + 1 >= text_.size()) {
            cursor_ = text_.size();
            return -1;
        }
        cursor_ = lineFeed + 1;
    }
}

void Reading::FindString(std::string_view key) {
    for (;;) {
        if (AtEnd()) Corrupt("String", key);
        if (key.empty()) return;
        const std::size_t first = text_.find(key.front(), cursor_);
        if (first == std::string::npos) {
            cursor_ = text_.size();
            return;
        }
        cursor_ = first + 1;
        const std::string_view rest = key.substr(1);
        if (std::string_view(text_).substr(cursor_, rest.size()) == rest) {
            cursor_ += rest.size();
            return;
        }
        // Not the key after all: search on from just after that character.
    }
}

double Reading::ReadReal() {
    FindString("=");
    SkipBlanks();
    const std::size_t start = cursor_;
    while (cursor_ < text_.size() && IsRealChar(text_[cursor_]))
        ++cursor_;
    // A token cut off by the end of a bounded prefix may be missing digits.
    if (AtEnd()) return 0;
    return ConvertReal(std::string_view(text_).substr(start, cursor_ - start));
}

std::int32_t Reading::ReadInt() {
    FindString("=");
    SkipBlanks();
    const std::size_t start = cursor_;
    while (cursor_ < text_.size() && IsDigit(text_[cursor_]))
        ++cursor_;
    if (AtEnd()) return 0;
    std::int32_t value = 0;
    const char* first = text_.data() + start;
    const char* last = text_.data() + cursor_;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (start == cursor_ || ec != std::errc{} || ptr != last) throw ReadAbort{};
    return value;
}

bool Reading::ReadHexBytes(std::span<std::uint8_t> dest) {
    FindString("=");
    SkipBlanks();
    for (std::uint8_t& byte : dest) {
        if (text_.size() - cursor_ < 2) return false;
        const int high = HexValue(text_[cursor_]);
        const int low = HexValue(text_[cursor_ + 1]);
        if (high < 0 || low < 0) return false;
        byte = static_cast<std::uint8_t>(high * 16 + low);
        cursor_ += 2;
    }
    return true;
}

std::string Reading::ReadLineValue() {
    constexpr std::size_t kMaxValue = 49;
    FindString("=");
    SkipBlanks();
    const std::size_t start = cursor_;
    while (cursor_ < text_.size() && cursor_ - start < kMaxValue && text_[cursor_] != '\n')
        ++cursor_;
    return text_.substr(start, cursor_ - start);
}

std::string Reading::SkipLine() {
    const std::size_t start = cursor_;
    const std::size_t lineFeed = text_.find('\n', cursor_);
    if (lineFeed == std::string::npos) {
        cursor_ = text_.size();
        return text_.substr(start);
    }
    cursor_ = lineFeed + 1;
    return text_.substr(start, lineFeed - start);
}

}  // namespace clientfiles
