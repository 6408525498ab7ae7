#pragma once
// Plain string checks of the client's files for the stand-in's tests: what a
// reader walking the files forward, key by key, needs to find.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standintest {

inline std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

// The key of every "key=value" line, in file order.
inline std::vector<std::string> Keys(std::string_view text) {
    std::vector<std::string> keys;
    for (const std::string& line : Lines(text)) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) keys.push_back(line.substr(0, equals));
    }
    return keys;
}

// The value of the first line "key=value".
inline std::optional<std::string> Value(std::string_view text, std::string_view key) {
    for (const std::string& line : Lines(text)) {
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=')
            return line.substr(key.size() + 1);
    }
    return std::nullopt;
}

inline double Number(std::string_view text, std::string_view key) {
    const auto value = Value(text, key);
    return value ? std::stod(*value) : -1e300;
}

// Position of the first line beginning with `key` at or after `from`, or npos.
inline std::size_t LineStart(std::string_view text, std::string_view key, std::size_t from = 0) {
    std::size_t pos = from;
    while (pos < text.size()) {
        if (text.substr(pos).starts_with(key)) return pos;
        const std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) return std::string_view::npos;
        pos = end + 1;
    }
    return std::string_view::npos;
}

// The state keys, in the order the client writes them.
inline std::vector<std::string> StateKeyOrder() {
    std::vector<std::string> keys = {
        "ncfft",         "cr",         "fl",         "cpu",           "prog",      "potfreq",
        "potactivity",   "outfilepos", "bs_power",   "bs_score",      "bs_bin",    "bs_fft_ind",
        "bs_chirp_rate", "bs_fft_len", "bg_score",   "bg_sigma",      "bg_power",  "bg_true_mean",
        "bg_chisq",      "bg_bin",     "bg_fft_ind", "bg_chirp_rate", "bg_fft_len"};
    for (int i = 0; i < 64; ++i)
        keys.push_back("bg_pot " + std::to_string(i));
    for (const char* key :
         {"bp_score",      "bp_power",      "bp_mean",       "bp_period",     "bp_freq_bin",
          "bp_time_bin",   "bp_chirp_rate", "bp_fft_len",    "bp_pot",        "bt_score",
          "bt_power",      "bt_mean",       "bt_period",     "bt_bperiod",    "bt_tpotind0_0",
          "bt_tpotind0_1", "bt_tpotind1_0", "bt_tpotind1_1", "bt_tpotind2_0", "bt_tpotind2_1",
          "bt_freq_bin",   "bt_time_bin",   "bt_chirp_rate", "bt_scale",      "bt_fft_len",
          "bt_pot"}) {
        keys.emplace_back(key);
    }
    return keys;
}

// A whole state file: every key once, in order, the last line ended.
inline ::testing::AssertionResult IsWholeState(std::string_view text) {
    if (text.empty() || text.back() != '\n')
        return ::testing::AssertionFailure() << "state does not end with a line feed";
    if (Keys(text) != StateKeyOrder())
        return ::testing::AssertionFailure() << "state keys out of order:\n" << text;
    return ::testing::AssertionSuccess();
}

inline bool IsSignalLine(std::string_view line) {
    return line.starts_with("spike: ") || line.starts_with("gaussian: ") ||
           line.starts_with("triplet: ") || line.starts_with("pulse: ");
}

// The signal lines at the end of a result file, joined.
inline std::string SignalSection(std::string_view result) {
    std::string lines;
    for (const std::string& line : Lines(result))
        if (IsSignalLine(line)) lines += line + "\n";
    return lines;
}

// A result file laid out as its readers walk it: nothing needed in the first
// 20 bytes; from there the version lines, then the header with name and
// time_recorded; the header's figures within 900 bytes and "cpu" within 3000;
// the final state at -range; then the signal lines, as many bytes as the
// state's outfilepos says.
inline ::testing::AssertionResult IsResultLayout(std::string_view result, int range,
                                                 std::string_view major = "3",
                                                 std::string_view minor = "3") {
    auto fail = [&](std::string_view why) {
        return ::testing::AssertionFailure() << why << " in:\n" << result.substr(0, 1500);
    };
    if (result.find('\n') < 20) return fail("first line ends before byte 20");
    const std::size_t majorAt = LineStart(result, "major_v", 20);
    const std::size_t ver = LineStart(result, "ver", 20);
    if (majorAt == std::string_view::npos || (ver != std::string_view::npos && ver < majorAt))
        return fail("no major_version line first after byte 20");
    if (Value(result.substr(majorAt), "major_version") != major) return fail("major version");
    const std::size_t minorAt = LineStart(result, "minor", majorAt);
    if (minorAt == std::string_view::npos ||
        Value(result.substr(minorAt), "minor_version") != minor)
        return fail("minor version");
    std::size_t at = minorAt;
    for (const char* key :
         {"name", "start_ra", "start_dec", "end_ra", "end_dec", "angle_range", "time_recorded",
          "subband_base", "subband_sample_", "receiver", "nsamples"}) {
        at = LineStart(result, key, at);
        if (at == std::string_view::npos || at >= 900) return fail(std::string(key) + " not found");
    }
    const std::size_t header = LineStart(result, "end_seti_header", at);
    if (header == std::string_view::npos) return fail("no end_seti_header");
    const std::size_t stateStart = LineStart(result, "ncfft", header);
    const std::size_t cpu = LineStart(result, "cpu=", header);
    if (stateStart == std::string_view::npos || cpu == std::string_view::npos || cpu >= 3000)
        return fail("no cpu line within 3000 bytes");
    std::size_t signals = stateStart;
    while (signals < result.size() && !IsSignalLine(result.substr(signals))) {
        const std::size_t end = result.find('\n', signals);
        signals = end == std::string_view::npos ? result.size() : end + 1;
    }
    const std::string_view state = result.substr(stateStart, signals - stateStart);
    if (!IsWholeState(state)) return fail("final state is not whole");
    char expected[32];
    std::snprintf(expected, sizeof expected, "%.6e", -static_cast<double>(range));
    if (Value(state, "cr") != expected) return fail("cr does not end at -range");
    if (Value(state, "prog") != "1.00000000") return fail("prog is not 1");
    const std::string_view tail = result.substr(signals);
    for (const std::string& line : Lines(tail))
        if (!IsSignalLine(line)) return fail("not a signal line: " + line);
    if (Value(state, "outfilepos") != std::to_string(tail.size()))
        return fail("outfilepos differs from the signal bytes");
    return ::testing::AssertionSuccess();
}

}  // namespace standintest
