#pragma once
// How the fuzzers cut one input into the files of a client directory: the
// parts between separator lines go, in order, to the files a harness names.
// A missing or empty part means the file is absent. Seeds are written the
// same way (JoinParts), so that the fuzzer starts from sound directories.

#include <string>
#include <string_view>
#include <vector>

namespace fuzzing {

inline constexpr std::string_view kPartSeparator = "\n@@@@\n";

inline std::vector<std::string_view> SplitParts(std::string_view input, std::size_t count) {
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < count) {
        const std::size_t at = input.find(kPartSeparator);
        if (at == std::string_view::npos) break;
        parts.push_back(input.substr(0, at));
        input.remove_prefix(at + kPartSeparator.size());
    }
    parts.push_back(input);
    parts.resize(count);
    return parts;
}

inline std::string JoinParts(const std::vector<std::string>& parts) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i != 0) joined += kPartSeparator;
        joined += parts[i];
    }
    return joined;
}

}  // namespace fuzzing
