#include "history/ArchiveCounter.h"

#include <algorithm>
#include <charconv>
#include <limits>

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

CounterReading ReadArchiveCounter(platform::Files& files, const std::string& programDir) {
    const std::string path = programDir + kArchiveCounterName;
    const auto bytes = files.ReadFile(path);
    if (!bytes) return {std::nullopt, "Cannot read \"" + path + "\"."};
    return ParseArchiveCounter(files, programDir, *bytes);
}

CounterReading ParseArchiveCounter(platform::Files& files, const std::string& programDir,
                                   std::string_view text) {
    const std::string path = programDir + kArchiveCounterName;
    const auto firstEnd = text.find('\n');
    std::string_view second;
    if (firstEnd != std::string_view::npos) {
        second = text.substr(firstEnd + 1);
        second = second.substr(0, second.find('\n'));
    }
    second = Trim(second);

    std::int32_t count = 0;
    const auto [end, ec] = std::from_chars(second.data(), second.data() + second.size(), count);
    bool sound = !second.empty() && ec == std::errc() && end == second.data() + second.size() &&
                 count >= 0 && count < std::numeric_limits<std::int32_t>::max();
    // The folder is listed only for a counter that could be too far ahead.
    if (sound && count > kCounterLead) {
        const std::vector<std::int32_t> archived = ListArchive(files, programDir);
        const std::int32_t highest = archived.empty() ? 0 : archived.back();
        sound = count - highest <= kCounterLead;
    }
    if (!sound)
        return {std::nullopt, "\"" + path +
                                  "\" is damaged: its second line is not the number of archived "
                                  "work units. Skyvane has left it unchanged."};
    return {count, {}};
}

std::vector<ArchiveFile> ListArchiveFiles(platform::Files& files, const std::string& programDir) {
    // "seti<N>.txt", N as the archiver writes it: decimal, no leading zero.
    // Letters compare as the file system compares them where it ignores
    // case.
    const auto lower = [](std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    struct Listed {
        ArchiveFile file;
        bool exact;  // named as the archiver names it
    };
    std::vector<Listed> listed;
    for (const platform::DirEntry& entry :
         files.ListDirectory(programDir + kArchiveDirName, "seti*.txt")) {
        if (entry.isDirectory) continue;
        const std::string name = lower(entry.name);
        if (name.size() <= 8 || !name.starts_with("seti") || !name.ends_with(".txt")) continue;
        const std::string_view digits = std::string_view(name).substr(4, name.size() - 8);
        std::int32_t number = 0;
        const auto [end, ec] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (ec != std::errc() || end != digits.data() + digits.size() || digits.front() == '0' ||
            number < 1)
            continue;
        listed.push_back({{number, entry.size, entry.stamp}, name == entry.name});
    }
    std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
        return a.file.number != b.file.number ? a.file.number < b.file.number : a.exact > b.exact;
    });
    std::vector<ArchiveFile> archive;
    archive.reserve(listed.size());
    for (const Listed& item : listed)
        if (archive.empty() || archive.back().number != item.file.number)
            archive.push_back(item.file);
    return archive;
}

std::vector<std::int32_t> ListArchive(platform::Files& files, const std::string& programDir) {
    std::vector<std::int32_t> numbers;
    for (const ArchiveFile& file : ListArchiveFiles(files, programDir))
        numbers.push_back(file.number);
    return numbers;
}

std::string ArchiveCounterText(std::int32_t count) {
    return "\r\n" + std::to_string(count) + "\r\n";
}

}  // namespace history
