#pragma once
// A small writer of JSON objects whose keys keep the order they were added
// in, so that the CLI's output reads like the window, top to bottom.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// `text` (UTF-8) as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

class JsonObject {
public:
    void Add(std::string_view key, std::string_view text);
    void Add(std::string_view key, const char* text) { Add(key, std::string_view(text)); }
    void Add(std::string_view key, long long number);
    void Add(std::string_view key, bool flag);
    void Add(std::string_view key, const std::vector<std::string>& texts);
    void AddRaw(std::string_view key, std::string json);

    // The object, one member per line, indented for nesting at `depth`.
    std::string ToString(int depth = 0) const;

private:
    std::vector<std::pair<std::string, std::string>> members_;
};

}  // namespace cli
