#include "clientfiles/Scanner.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <utility>

#include "clientfiles/Format.h"
#include "views/Dialogs.h"

namespace clientfiles {

namespace {

constexpr std::size_t npos = std::string::npos;

// Character classes by table: the scanner looks at every byte of a result
// file, and a lookup beats a chain of comparisons.
constexpr std::uint8_t kNotHex = 0xFF;

struct CharTables {
    std::array<std::uint8_t, 256> hex{};  // value of a lower-case hex digit, else kNotHex
    std::array<bool, 256> real{};         // may stand in a number token
};

constexpr CharTables MakeTables() {
    CharTables t;
    for (int c = 0; c < 256; ++c) {
        // Upper case is refused: the client writes lower case, and anything
        // else is damage.
        t.hex[static_cast<std::size_t>(c)] =
            c >= '0' && c <= '9'   ? static_cast<std::uint8_t>(c - '0')
            : c >= 'a' && c <= 'f' ? static_cast<std::uint8_t>(c - 'a' + 10)
                                   : kNotHex;
        t.real[static_cast<std::size_t>(c)] =
            (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
    }
    return t;
}
constexpr CharTables kTables = MakeTables();

std::uint8_t HexValue(char c) {
    return kTables.hex[static_cast<unsigned char>(c)];
}

bool IsRealChar(char c) {
    return kTables.real[static_cast<unsigned char>(c)];
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether the text at `p` begins with `key`; keys are a few characters.
bool StartsWith(const char* p, std::string_view key) {
    for (const char c : key)
        if (*p++ != c) return false;
    return true;
}

// A whole token as a decimal number; anything else, including a value a
// double cannot hold or a token longer than the design's buffer, gives 0.
double ConvertReal(std::string_view token) {
    if (token.size() > kMaxRealToken) return 0;
    return ParseDecimal(token).value_or(0);
}

}  // namespace

Reading::Reading(ReadingGate& gate, std::string text)
    : gate_(&gate), text_(std::move(text)), data_(text_.data()), size_(text_.size()) {
    gate_->active_ = true;
}

Reading::Reading(ReadingGate& gate, std::unique_ptr<TextSource> source, std::size_t blockSize)
    : gate_(&gate),
      source_(std::move(source)),
      capacity_(std::max<std::size_t>(blockSize, 1)),
      complete_(false) {
    buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    data_ = buffer_.get();
    gate_->active_ = true;
}

Reading::Reading(Reading&& other) noexcept
    : gate_(std::exchange(other.gate_, nullptr)),
      text_(std::move(other.text_)),
      source_(std::move(other.source_)),
      buffer_(std::move(other.buffer_)),
      capacity_(other.capacity_),
      data_(buffer_ ? buffer_.get() : text_.data()),
      base_(other.base_),
      size_(other.size_),
      keep_(other.keep_),
      complete_(other.complete_),
      cursor_(other.cursor_) {}

Reading::~Reading() {
    if (gate_ != nullptr) gate_->active_ = false;
}

std::optional<Reading> ReadingGate::Begin(std::string text) {
    if (active_) return std::nullopt;
    return Reading(*this, std::move(text));
}

std::optional<Reading> ReadingGate::Begin(std::unique_ptr<TextSource> source,
                                          std::size_t blockSize) {
    if (active_) return std::nullopt;
    return Reading(*this, std::move(source), blockSize);
}

void Reading::Corrupt(std::string_view what, std::string_view key) {
    std::string message(what);
    message += " \"";
    message += key;
    message += "\" not found in one of SETI@home files. The file seems to be corrupt.";
    // Shown while this reading still holds the gate: a timer tick during the
    // modal box cannot start another reading.
    gate_->dialogs_.ShowError(message);
    throw ReportedCorrupt{};
}

// ------------------------------------------------------------- the buffer

bool Reading::TakeUntil(std::size_t end) {
    while (Limit() < end)
        if (!Take()) return false;
    return true;
}

bool Reading::Take() {
    if (complete_) return false;
    // Drop what nobody needs again; keep the rest at the front.
    const std::size_t keep = std::clamp(keep_, base_, Limit());
    if (keep > base_) {
        const std::size_t kept = Limit() - keep;
        std::memmove(buffer_.get(), buffer_.get() + (keep - base_), kept);
        base_ = keep;
        size_ = kept;
    }
    // A line or value longer than a block: room for another block.
    if (size_ == capacity_) {
        auto larger = std::make_unique_for_overwrite<char[]>(2 * capacity_);
        std::memcpy(larger.get(), buffer_.get(), size_);
        buffer_ = std::move(larger);
        capacity_ *= 2;
    }
    data_ = buffer_.get();
    const std::size_t got =
        source_->Read(std::span<char>(buffer_.get() + size_, capacity_ - size_));
    if (got == 0) {
        complete_ = true;
        return false;
    }
    size_ += std::min(got, capacity_ - size_);
    return true;
}

std::size_t Reading::FindChar(char c, std::size_t from, bool retain) {
    // The next key or "=" is mostly a few characters on: a plain look first,
    // the library's search beyond.
    constexpr std::size_t kNear = 32;
    for (std::size_t end = std::min(Limit(), from + kNear); from < end; ++from)
        if (*At(from) == c) return from;
    for (;;) {
        if (from < Limit()) {
            const void* hit = std::memchr(At(from), c, Limit() - from);
            if (hit != nullptr)
                return base_ + static_cast<std::size_t>(static_cast<const char*>(hit) - data_);
            from = Limit();
        }
        if (!retain) keep_ = from;
        if (!Take()) return npos;
    }
}

std::optional<std::size_t> Reading::HeldLineEnd(std::size_t from) const {
    if (from < base_ || from >= Limit()) return std::nullopt;
    const void* hit = std::memchr(At(from), '\n', Limit() - from);
    if (hit == nullptr) return std::nullopt;
    return base_ + static_cast<std::size_t>(static_cast<const char*>(hit) - data_) + 1;
}

// ----------------------------------------------------------- primitives

std::optional<char> Reading::Peek(std::size_t offset) {
    if (!Have(cursor_ + offset + 1)) return std::nullopt;
    return *At(cursor_ + offset);
}

void Reading::SkipBlanks() {
    for (;;) {
        const char* p = At(cursor_);
        const char* const end = At(Limit());
        while (p != end && (*p == ' ' || *p == '\0'))
            ++p;
        keep_ = cursor_ = base_ + static_cast<std::size_t>(p - data_);
        if (p != end || !Take()) return;
    }
}

void Reading::FindLine(std::string_view key) {
    for (;;) {
        keep_ = cursor_;
        if (!Have(cursor_ + key.size() + 1)) {
            cursor_ = Limit();
            return;
        }
        // Compared wherever the cursor stands: after a value was read it is
        // inside a line, the comparison fails and the next line is tried.
        if (StartsWith(At(cursor_), key)) {
            cursor_ += key.size();
            return;
        }
        const std::size_t lineFeed = FindChar('\n', cursor_, false);
        if (lineFeed == npos || !Have(lineFeed + 2)) Corrupt("Line", key);
        cursor_ = lineFeed + 1;
    }
}

int Reading::FindAnyLine(std::span<const std::string_view> keys) {
    for (;;) {
        const std::size_t lineStart = cursor_;
        keep_ = lineStart;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const std::string_view key = keys[i];
            if (!Have(lineStart + key.size() + 1)) {
                cursor_ = Limit();
                return -1;
            }
            if (StartsWith(At(lineStart), key)) {
                cursor_ = lineStart + key.size();
                return static_cast<int>(i);
            }
        }
        const std::size_t lineFeed = FindChar('\n', lineStart, false);
        if (lineFeed == npos || !Have(lineFeed + 2)) {
            cursor_ = Limit();
            return -1;
        }
        cursor_ = lineFeed + 1;
    }
}

void Reading::FindString(std::string_view key) {
    // Mostly the key is a few characters on, within the block at hand: a
    // plain look there first. Not found in it, the search below starts
    // over from the cursor and finds the same first occurrence.
    if (!key.empty() && cursor_ + key.size() <= Limit()) {
        constexpr std::size_t kNear = 64;
        const char* const from = At(cursor_);
        const char* const end = At(std::min(Limit() - key.size(), cursor_ + kNear)) + 1;
        for (const char* p = from; p != end; ++p) {
            p = static_cast<const char*>(std::memchr(p, key.front(), static_cast<std::size_t>(end - p)));
            if (p == nullptr) break;
            if (StartsWith(p + 1, key.substr(1))) {
                const std::size_t first = cursor_ + static_cast<std::size_t>(p - from);
                keep_ = first + 1;
                cursor_ = first + key.size();
                return;
            }
        }
    }
    for (;;) {
        if (AtEnd()) Corrupt("String", key);
        if (key.empty()) return;
        keep_ = cursor_;
        const std::size_t first = FindChar(key.front(), cursor_, false);
        if (first == npos) {
            cursor_ = Limit();
            return;
        }
        cursor_ = first + 1;
        keep_ = cursor_;
        const std::string_view rest = key.substr(1);
        if (Have(cursor_ + rest.size()) && StartsWith(At(cursor_), rest)) {
            cursor_ += rest.size();
            return;
        }
        // Not the key after all: search on from just after that character.
    }
}

void Reading::FindEquals() {
    // The value's "=" mostly follows its key at once.
    if (cursor_ < Limit() && *At(cursor_) == '=') {
        keep_ = ++cursor_;
        return;
    }
    FindString("=");
}

double Reading::ReadReal() {
    FindEquals();
    SkipBlanks();
    const std::size_t start = cursor_;
    keep_ = start;
    if (double value = 0; Have(cursor_ + 1)) {
        // The number's end must be in view, not cut off by the end of a
        // block, and must not go on as an exponent.
        const char* const limit = At(Limit());
        const char* const p = ReadPlainDecimal(At(cursor_), limit, value);
        if (p != nullptr && p != limit && !IsRealChar(*p)) {
            cursor_ = base_ + static_cast<std::size_t>(p - data_);
            return value;
        }
    }
    for (;;) {
        const char* p = At(cursor_);
        const char* const end = At(Limit());
        while (p != end && IsRealChar(*p))
            ++p;
        cursor_ = base_ + static_cast<std::size_t>(p - data_);
        if (p != end) break;
        // A token too long to be a number need not be kept.
        if (cursor_ - start > kMaxRealToken) keep_ = cursor_;
        if (!Take()) break;
    }
    // A token cut off by the end of a bounded prefix may be missing digits.
    if (AtEnd() || cursor_ - start > kMaxRealToken) return 0;
    return ConvertReal(std::string_view(At(start), cursor_ - start));
}

std::int32_t Reading::ReadInt() {
    FindEquals();
    SkipBlanks();
    const std::size_t start = cursor_;
    // Leading zeros do not count; more than 32 bits do.
    std::uint64_t value = 0;
    bool overflow = false;
    while (Have(cursor_ + 1) && IsDigit(*At(cursor_))) {
        if (!overflow) {
            value = value * 10 + static_cast<std::uint64_t>(*At(cursor_) - '0');
            overflow = value > static_cast<std::uint64_t>(INT32_MAX);
        }
        keep_ = ++cursor_;
    }
    if (AtEnd()) return 0;
    if (start == cursor_ || overflow) throw ReadAbort{};
    return static_cast<std::int32_t>(value);
}

bool Reading::ReadHexBytes(std::span<std::uint8_t> dest) {
    FindEquals();
    SkipBlanks();
    keep_ = cursor_;
    std::size_t i = 0;
    if (Have(cursor_ + 2 * dest.size())) {
        // The usual case: every pair at hand.
        const char* p = At(cursor_);
        for (; i < dest.size(); ++i, p += 2) {
            const std::uint8_t high = HexValue(p[0]);
            const std::uint8_t low = HexValue(p[1]);
            if ((high | low) > 15) break;  // either is kNotHex
            dest[i] = static_cast<std::uint8_t>(high << 4 | low);
        }
        cursor_ += 2 * i;
        return i == dest.size();
    }
    for (; i < dest.size(); ++i) {
        if (!Have(cursor_ + 2)) return false;
        const std::uint8_t high = HexValue(*At(cursor_));
        const std::uint8_t low = HexValue(*At(cursor_ + 1));
        if (high == kNotHex || low == kNotHex) return false;
        dest[i] = static_cast<std::uint8_t>(high << 4 | low);
        keep_ = cursor_ += 2;
    }
    return true;
}

std::string Reading::ReadLineValue() {
    constexpr std::size_t kMaxValue = 49;
    FindEquals();
    SkipBlanks();
    const std::size_t start = cursor_;
    keep_ = start;
    while (Have(cursor_ + 1) && cursor_ - start < kMaxValue && *At(cursor_) != '\n')
        ++cursor_;
    return std::string(At(start), cursor_ - start);
}

std::string Reading::SkipLine() {
    const std::size_t start = cursor_;
    keep_ = start;
    const std::size_t lineFeed = FindChar('\n', cursor_, true);
    if (lineFeed == npos) {
        cursor_ = Limit();
        return std::string(At(start), cursor_ - start);
    }
    cursor_ = lineFeed + 1;
    return std::string(At(start), lineFeed - start);
}

}  // namespace clientfiles
