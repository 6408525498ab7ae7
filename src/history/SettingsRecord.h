#pragma once
// "Skyvane.set": one 768-byte record, little-endian, strings prefixed by
// their length and padded with zeros, flags one byte (0 off, else on).
// Stored files of older versions are read as they stand, so the layout
// never moves.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace history {

inline constexpr std::size_t kSettingsRecordSize = 768;
inline constexpr const char* kSettingsFileName = "Skyvane.set";
inline constexpr std::string_view kSettingsVersion = "3.42";

// The in-memory values the record mirrors (all but its version text).
struct TSettingsRec {
    std::string ClientPath;  // with trailing separator; at most 255 bytes stored
    bool StartInTray = false;
    bool HideClient = false;
    bool PowerFailureOnly = false;
    std::int8_t OldCacheSize = 0;  // cache size as versions before 3.42 kept it
    std::string ClientParams;      // at most 100 bytes stored
    bool AutoConnect = false;
    bool SaveGraphSettings = false;
    std::uint8_t GraphScale = 0;   // 1, 2, 4, 8, 16 or 32; others read as 2
    std::uint8_t HiddenKinds = 0;  // bit per signal kind hidden on the graph
    std::uint8_t TotalMode = 0;    // 1 all, 2 best five, 3 last twenty
    // Signal kinds in rising priority, as stored; the graph's live order is
    // kept apart and only copied in and out of here.
    std::array<std::uint8_t, 4> SignalPriority{0, 0, 0, 0};
    std::uint8_t Reserved377 = 0;  // kept as read
    std::uint8_t Reserved378 = 0;  // kept as read
    std::uint8_t DotPlot = 0;      // 0 lines, 1 dots
    bool IgnoreFast = false;
    bool ConnectPending = false;
    bool MultipleInstances = false;
    bool NoAlerts = false;
    std::int16_t CacheSize = 0;  // 0: no cache

    friend bool operator==(const TSettingsRec&, const TSettingsRec&) = default;
};

// The record's bytes for `values`, with the current version text.
std::string EncodeSettingsRecord(const TSettingsRec& values);

// Every field of a whole record. `bytes` must hold at least one record.
TSettingsRec DecodeSettingsRecord(std::string_view bytes);

// Whether `bytes` carry exactly the current version text. `bytes` may be
// shorter than a record: missing bytes count as zeros.
bool HasCurrentSettingsVersion(std::string_view bytes);

}  // namespace history
