#include "history/ArchiveCounter.h"

#include <charconv>

#include "platform/Platform.h"

namespace history {

namespace {

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

CounterReading ReadArchiveCounter(platform::Files& files, const std::string& path) {
    const auto bytes = files.ReadFile(path);
    if (!bytes) return {std::nullopt, "Cannot read \"" + path + "\"."};

    const std::string_view text = *bytes;
    const auto firstEnd = text.find('\n');
    std::string_view second;
    if (firstEnd != std::string_view::npos) {
        second = text.substr(firstEnd + 1);
        second = second.substr(0, second.find('\n'));
    }
    second = Trim(second);

    std::int32_t count = 0;
    const auto [end, ec] = std::from_chars(second.data(), second.data() + second.size(), count);
    if (second.empty() || ec != std::errc() || end != second.data() + second.size() || count < 0)
        return {std::nullopt, "\"" + path +
                                  "\" is damaged: its second line is not the number of archived "
                                  "work units. Skyvane has left it unchanged."};
    return {count, {}};
}

std::string ArchiveCounterText(std::int32_t count) {
    return "\r\n" + std::to_string(count) + "\r\n";
}

}  // namespace history
