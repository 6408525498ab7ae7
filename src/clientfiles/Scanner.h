#pragma once
// The forward-only scanner over the client's 8-bit text files.
//
// A reading owns the text it walks. Only one reading exists at a time: the
// ReadingGate hands out a Reading and refuses another until the first is
// gone. A corrupt-file message is a modal box with a nested event loop, and
// timers keep firing while it is open; because the message is shown while
// its Reading is still alive, a tick that tries to start a second reading is
// refused by the gate instead of trampling the first.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace views {
class Dialogs;
}

namespace clientfiles {

// Thrown by a primitive to abort the current reading (after its message, if
// any, was closed). Readers catch it at their top; the Reading releases the
// text as it goes out of scope.
struct ReadAbort {};

// The longest number token ReadReal converts; the client writes at most
// about 15 characters, so anything longer is damage, not a number.
inline constexpr std::size_t kMaxRealToken = 30;

class ReadingGate;

class Reading {
public:
    Reading(Reading&& other) noexcept;
    Reading& operator=(Reading&&) = delete;
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;
    ~Reading();

    // Cursor just past `key` at the start of a line. Fewer than len(key)+1
    // characters left: cursor to the end, silently. Key on no later line:
    // the "Line ..." corrupt-file message, then ReadAbort.
    void FindLine(std::string_view key);
    // Index of the first key (table order) found at the start of a line, with
    // the cursor just past it, or -1 with the cursor at the end. The keys are
    // tried in table order at each line start, and the first one for which
    // fewer than len(key)+1 characters are left ends the search. No message.
    int FindAnyLine(std::span<const std::string_view> keys);
    // Cursor just past the next occurrence of `key`, or at the end when there
    // is none. Called with the cursor already at the end: the "String ..."
    // corrupt-file message, then ReadAbort.
    void FindString(std::string_view key);

    // The number after the next "=" (blanks and NUL bytes skipped), from a
    // token of the characters "+-.0123456789Ee". A token that runs to the end
    // of the text gives 0 (it may be cut short). An empty token, a malformed
    // one ("1.2.3", "+-", "1e"), one longer than kMaxRealToken characters
    // and one beyond the range of a double all give 0. Never aborts.
    double ReadReal();
    // The digits-only integer after the next "=" (blanks and NUL bytes
    // skipped). A sign or a decimal point ends the token. An empty token or
    // one out of the 32-bit range (leading zeros do not count) aborts
    // silently; a token that runs to the end of the text gives 0.
    std::int32_t ReadInt();
    // Lower-case hex pairs after the next "=" into `dest` (its size is the
    // byte count). False at the first bad character or when a pair would run
    // past the end; bytes already stored stay.
    bool ReadHexBytes(std::span<std::uint8_t> dest);
    // At most 49 characters after the next "=" (and blanks), up to the line
    // feed; carriage returns and trailing blanks stay.
    std::string ReadLineValue();
    // The rest of the current line without its line feed; cursor to the
    // start of the next line (or the end).
    std::string SkipLine();

    bool AtEnd() const { return cursor_ >= text_.size(); }
    std::size_t Cursor() const { return cursor_; }
    std::size_t Size() const { return text_.size(); }
    // The character `offset` places after the cursor, or nothing past the end.
    std::optional<char> Peek(std::size_t offset = 0) const;

private:
    friend class ReadingGate;
    Reading(ReadingGate& gate, std::string text);

    [[noreturn]] void Corrupt(std::string_view what, std::string_view key);
    void SkipBlanks();

    ReadingGate* gate_;  // null once moved from
    std::string text_;
    std::size_t cursor_ = 0;
};

class ReadingGate {
public:
    explicit ReadingGate(views::Dialogs& dialogs) : dialogs_(dialogs) {}
    ReadingGate(const ReadingGate&) = delete;
    ReadingGate& operator=(const ReadingGate&) = delete;

    // A reading over `text`, or nothing while another reading is active.
    std::optional<Reading> Begin(std::string text);
    bool Busy() const { return active_; }

private:
    friend class Reading;
    views::Dialogs& dialogs_;
    bool active_ = false;
};

}  // namespace clientfiles
