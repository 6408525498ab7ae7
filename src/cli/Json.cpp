#include "cli/Json.h"

#include <cstdio>

namespace cli {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        switch (ch) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                    out += escaped;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

void JsonObject::Add(std::string_view key, std::string_view text) {
    members_.emplace_back(key, JsonString(text));
}

void JsonObject::Add(std::string_view key, long long number) {
    members_.emplace_back(key, std::to_string(number));
}

void JsonObject::Add(std::string_view key, bool flag) {
    members_.emplace_back(key, flag ? "true" : "false");
}

void JsonObject::Add(std::string_view key, const std::vector<std::string>& texts) {
    std::string array = "[";
    for (std::size_t i = 0; i < texts.size(); ++i)
        array += (i ? ", " : "") + JsonString(texts[i]);
    members_.emplace_back(key, array + "]");
}

void JsonObject::AddRaw(std::string_view key, std::string json) {
    members_.emplace_back(key, std::move(json));
}

std::string JsonObject::ToString(int depth) const {
    const std::string indent(2 * static_cast<std::size_t>(depth), ' ');
    std::string out = "{";
    for (std::size_t i = 0; i < members_.size(); ++i) {
        out += (i ? ",\n  " : "\n  ") + indent;
        out += JsonString(members_[i].first) + ": " + members_[i].second;
    }
    return out + (members_.empty() ? "}" : "\n" + indent + "}");
}

}  // namespace cli
