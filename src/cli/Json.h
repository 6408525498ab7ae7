#pragma once
// skyvane-cli's JSON objects, written by nlohmann::json. Keys keep the order
// they were added in, so that the output reads like the window, top to
// bottom. Texts are meant to be UTF-8, but a path or a file name is the
// system's bytes: a byte that is not UTF-8 becomes U+FFFD, so the output is
// always valid JSON. nlohmann's header is included by Json.cpp alone.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

class JsonObject {
public:
    JsonObject();
    ~JsonObject();
    JsonObject(JsonObject&&) noexcept;
    JsonObject& operator=(JsonObject&&) noexcept;

    void Add(std::string_view key, std::string_view text);
    void Add(std::string_view key, const char* text) { Add(key, std::string_view(text)); }
    void Add(std::string_view key, long long number);
    void Add(std::string_view key, bool flag);
    void Add(std::string_view key, const std::vector<std::string>& texts);
    void Add(std::string_view key, const JsonObject& object);
    void Add(std::string_view key, const std::vector<JsonObject>& objects);
    void AddNull(std::string_view key);

    // Indented by two, one member per line: for people.
    std::string ToString() const;
    // On one line: for status bars and scripts that read line by line.
    std::string ToLine() const;

private:
    struct Value;
    std::unique_ptr<Value> value_;
};

}  // namespace cli
