// skyvane-cli's JSON writer: the order of the keys, one line or many, and
// bytes that are not UTF-8.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Json.h"

namespace {

cli::JsonObject Sample() {
    cli::JsonObject inner;
    inner.Add("Progress", 3LL);
    cli::JsonObject json;
    json.Add("Zeta", "a \"quoted\"\nline\t\x01");
    json.Add("Alpha", inner);
    json.Add("Items", std::vector<std::string>{"current", "total"});
    json.Add("Pages", std::vector<cli::JsonObject>{});
    json.Add("Running", false);
    json.AddNull("ProcessId");
    return json;
}

TEST(CliJson, KeysKeepTheirOrderOnOneLineOrMany) {
    const cli::JsonObject json = Sample();
    const std::string line = json.ToLine();
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    EXPECT_EQ(line,
              "{\"Zeta\":\"a \\\"quoted\\\"\\nline\\t\\u0001\",\"Alpha\":{\"Progress\":3},"
              "\"Items\":[\"current\",\"total\"],\"Pages\":[],\"Running\":false,"
              "\"ProcessId\":null}");
    // The indented form is the same object.
    EXPECT_EQ(nlohmann::ordered_json::parse(json.ToString()), nlohmann::ordered_json::parse(line));
    EXPECT_EQ(json.ToString().substr(0, 12), "{\n  \"Zeta\": ");
}

TEST(CliJson, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    cli::JsonObject json;
    // A Windows-1252 "é" and "ÿ", a stray continuation byte, a truncated
    // three-byte sequence at the end; and valid UTF-8 ("º") left alone.
    json.Add("Name", "caf\xE9 \xFF \x80 21\xC2\xBA \xE2\x82");
    json.Add("Items", std::vector<std::string>{"wu\xE9"});
    json.Add("Key\xE9", "x");
    for (const std::string& text : {json.ToString(), json.ToLine()}) {
        const auto parsed = nlohmann::json::parse(text);  // throws on invalid UTF-8
        EXPECT_EQ(parsed["Name"],
                  "caf\xEF\xBF\xBD \xEF\xBF\xBD \xEF\xBF\xBD 21\xC2\xBA \xEF\xBF\xBD");
        EXPECT_EQ(parsed["Items"][0], "wu\xEF\xBF\xBD");
        EXPECT_EQ(parsed["Key\xEF\xBF\xBD"], "x");
    }
}

}  // namespace
