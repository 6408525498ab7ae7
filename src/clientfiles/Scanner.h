#pragma once
// The forward-only scanner over the client's 8-bit text files.
//
// A reading owns the text it walks: a whole text, or a large one taken block
// by block from a source, so that a file of many megabytes never has to be
// held at once. Only one reading exists at a time: the
// ReadingGate hands out a Reading and refuses another until the first is
// gone. A corrupt-file message is a modal box with a nested event loop, and
// timers keep firing while it is open; because the message is shown while
// its Reading is still alive, a tick that tries to start a second reading is
// refused by the gate instead of trampling the first.

#include <cstddef>
#include <cstdint>
#include <memory>
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
// A reading that ended because it told the user the file is corrupt.
struct ReportedCorrupt : ReadAbort {};

// The longest number token ReadReal converts; the client writes at most
// about 15 characters, so anything longer is damage, not a number.
inline constexpr std::size_t kMaxRealToken = 30;

class ReadingGate;

// The bytes of a text too large to hold at once, in order.
class TextSource {
public:
    virtual ~TextSource() = default;
    // Up to dest.size() next bytes of the text into `dest`: the count, 0 once
    // the text has ended (a failure ends it too).
    virtual std::size_t Read(std::span<char> dest) = 0;
};

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

    bool AtEnd() { return !Have(cursor_ + 1); }
    // Positions count from the start of the text, also for a text taken from
    // a source.
    std::size_t Cursor() const { return cursor_; }
    // The position just after the first line feed at or after `from`, when
    // both are among the bytes still held; nothing otherwise. Reads nothing
    // more and moves nothing.
    std::optional<std::size_t> HeldLineEnd(std::size_t from) const;
    // The text's length once its end has been reached (always for a whole
    // text); before that, the bytes taken so far.
    std::size_t Size() const { return base_ + size_; }
    // The character `offset` places after the cursor, or nothing past the end.
    std::optional<char> Peek(std::size_t offset = 0);

private:
    friend class ReadingGate;
    Reading(ReadingGate& gate, std::string text);
    Reading(ReadingGate& gate, std::unique_ptr<TextSource> source, std::size_t blockSize);

    [[noreturn]] void Corrupt(std::string_view what, std::string_view key);
    // FindString("="), quicker where the "=" is at the cursor.
    void FindEquals();
    void SkipBlanks();

    // Positions are absolute; the buffer holds the text from base_ on.
    std::size_t Limit() const { return base_ + size_; }
    const char* At(std::size_t position) const { return data_ + (position - base_); }
    // Whether the text reaches `end` (exclusive), taking more from the source
    // when needed. False means the whole text has been taken: Limit() is its
    // end.
    bool Have(std::size_t end) { return end <= Limit() || TakeUntil(end); }
    bool TakeUntil(std::size_t end);
    // One more block from the source; false at the end of the text. Bytes
    // before keep_ are no longer needed and may be dropped first.
    bool Take();
    // The position of the next `c` from `from` on, or npos at the end of the
    // text. Unless `retain`, the bytes searched are released as it goes.
    std::size_t FindChar(char c, std::size_t from, bool retain);

    ReadingGate* gate_;  // null once moved from
    std::string text_;   // a whole text
    std::unique_ptr<TextSource> source_;
    std::unique_ptr<char[]> buffer_;  // a source's blocks
    std::size_t capacity_ = 0;
    const char* data_ = nullptr;  // text_ or buffer_
    std::size_t base_ = 0;        // position of data_[0]
    std::size_t size_ = 0;        // bytes from data_ on
    std::size_t keep_ = 0;        // nothing before this is needed again
    bool complete_ = true;        // the source has nothing more
    std::size_t cursor_ = 0;
};

class ReadingGate {
public:
    explicit ReadingGate(views::Dialogs& dialogs) : dialogs_(dialogs) {}
    ReadingGate(const ReadingGate&) = delete;
    ReadingGate& operator=(const ReadingGate&) = delete;

    // A reading over `text`, or nothing while another reading is active.
    std::optional<Reading> Begin(std::string text);
    // A reading over what `source` supplies, taken `blockSize` bytes at a
    // time (more only where a single line or value needs it).
    std::optional<Reading> Begin(std::unique_ptr<TextSource> source, std::size_t blockSize);
    bool Busy() const { return active_; }

private:
    friend class Reading;
    views::Dialogs& dialogs_;
    bool active_ = false;
};

}  // namespace clientfiles
