#include "history/SettingsRecord.h"

#include <algorithm>

namespace history {

namespace {

// Offsets and capacities of the record's fields.
constexpr std::size_t kClientPathAt = 0, kClientPathCapacity = 255;
constexpr std::size_t kStartInTrayAt = 256;
constexpr std::size_t kVersionAt = 257, kVersionCapacity = 4;
constexpr std::size_t kHideClientAt = 264;
constexpr std::size_t kPowerFailureOnlyAt = 265;
constexpr std::size_t kOldCacheSizeAt = 266;
constexpr std::size_t kClientParamsAt = 267, kClientParamsCapacity = 100;
constexpr std::size_t kAutoConnectAt = 368;
constexpr std::size_t kSaveGraphSettingsAt = 369;
constexpr std::size_t kGraphScaleAt = 370;
constexpr std::size_t kHiddenKindsAt = 371;
constexpr std::size_t kTotalModeAt = 372;
constexpr std::size_t kSignalPriorityAt = 373;
constexpr std::size_t kReserved377At = 377;
constexpr std::size_t kReserved378At = 378;
constexpr std::size_t kDotPlotAt = 379;
constexpr std::size_t kIgnoreFastAt = 380;
constexpr std::size_t kConnectPendingAt = 381;
constexpr std::size_t kMultipleInstancesAt = 382;
constexpr std::size_t kNoAlertsAt = 383;
constexpr std::size_t kCacheSizeAt = 384;

std::uint8_t Byte(std::string_view bytes, std::size_t at) {
    return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at]) : 0;
}

void PutByte(std::string& record, std::size_t at, std::uint8_t value) {
    record[at] = static_cast<char>(value);
}

// A length byte, then the text cut to `capacity`, then zeros.
void PutString(std::string& record, std::size_t at, std::size_t capacity, std::string_view text) {
    const std::size_t length = std::min(text.size(), capacity);
    PutByte(record, at, static_cast<std::uint8_t>(length));
    std::copy_n(text.begin(), length, record.begin() + static_cast<std::ptrdiff_t>(at + 1));
}

// A length byte larger than the field reads as the whole field.
std::string GetString(std::string_view bytes, std::size_t at, std::size_t capacity) {
    const std::size_t length = std::min<std::size_t>(Byte(bytes, at), capacity);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += static_cast<char>(Byte(bytes, at + 1 + i));
    return text;
}

}  // namespace

std::string EncodeSettingsRecord(const TSettingsRec& v) {
    std::string record(kSettingsRecordSize, '\0');
    PutString(record, kClientPathAt, kClientPathCapacity, v.ClientPath);
    PutByte(record, kStartInTrayAt, v.StartInTray);
    PutString(record, kVersionAt, kVersionCapacity, kSettingsVersion);
    PutByte(record, kHideClientAt, v.HideClient);
    PutByte(record, kPowerFailureOnlyAt, v.PowerFailureOnly);
    PutByte(record, kOldCacheSizeAt, static_cast<std::uint8_t>(v.OldCacheSize));
    PutString(record, kClientParamsAt, kClientParamsCapacity, v.ClientParams);
    PutByte(record, kAutoConnectAt, v.AutoConnect);
    PutByte(record, kSaveGraphSettingsAt, v.SaveGraphSettings);
    PutByte(record, kGraphScaleAt, v.GraphScale);
    PutByte(record, kHiddenKindsAt, v.HiddenKinds);
    PutByte(record, kTotalModeAt, v.TotalMode);
    for (std::size_t i = 0; i < v.SignalPriority.size(); ++i)
        PutByte(record, kSignalPriorityAt + i, v.SignalPriority[i]);
    PutByte(record, kReserved377At, v.Reserved377);
    PutByte(record, kReserved378At, v.Reserved378);
    PutByte(record, kDotPlotAt, v.DotPlot);
    PutByte(record, kIgnoreFastAt, v.IgnoreFast);
    PutByte(record, kConnectPendingAt, v.ConnectPending);
    PutByte(record, kMultipleInstancesAt, v.MultipleInstances);
    PutByte(record, kNoAlertsAt, v.NoAlerts);
    const auto cacheSize = static_cast<std::uint16_t>(v.CacheSize);
    PutByte(record, kCacheSizeAt, static_cast<std::uint8_t>(cacheSize & 0xFF));
    PutByte(record, kCacheSizeAt + 1, static_cast<std::uint8_t>(cacheSize >> 8));
    return record;
}

TSettingsRec DecodeSettingsRecord(std::string_view b) {
    TSettingsRec v;
    v.ClientPath = GetString(b, kClientPathAt, kClientPathCapacity);
    v.StartInTray = Byte(b, kStartInTrayAt) != 0;
    v.HideClient = Byte(b, kHideClientAt) != 0;
    v.PowerFailureOnly = Byte(b, kPowerFailureOnlyAt) != 0;
    v.OldCacheSize = static_cast<std::int8_t>(Byte(b, kOldCacheSizeAt));
    v.ClientParams = GetString(b, kClientParamsAt, kClientParamsCapacity);
    v.AutoConnect = Byte(b, kAutoConnectAt) != 0;
    v.SaveGraphSettings = Byte(b, kSaveGraphSettingsAt) != 0;
    v.GraphScale = Byte(b, kGraphScaleAt);
    v.HiddenKinds = Byte(b, kHiddenKindsAt);
    v.TotalMode = Byte(b, kTotalModeAt);
    for (std::size_t i = 0; i < v.SignalPriority.size(); ++i)
        v.SignalPriority[i] = Byte(b, kSignalPriorityAt + i);
    v.Reserved377 = Byte(b, kReserved377At);
    v.Reserved378 = Byte(b, kReserved378At);
    v.DotPlot = Byte(b, kDotPlotAt);
    v.IgnoreFast = Byte(b, kIgnoreFastAt) != 0;
    v.ConnectPending = Byte(b, kConnectPendingAt) != 0;
    v.MultipleInstances = Byte(b, kMultipleInstancesAt) != 0;
    v.NoAlerts = Byte(b, kNoAlertsAt) != 0;
    v.CacheSize = static_cast<std::int16_t>(Byte(b, kCacheSizeAt) | (Byte(b, kCacheSizeAt + 1) << 8));
    return v;
}

bool HasCurrentSettingsVersion(std::string_view bytes) {
    return Byte(bytes, kVersionAt) == kSettingsVersion.size() &&
           GetString(bytes, kVersionAt, kVersionCapacity) == kSettingsVersion;
}

}  // namespace history
