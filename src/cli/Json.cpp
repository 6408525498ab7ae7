#include "cli/Json.h"

#include <nlohmann/json.hpp>

namespace cli {

struct JsonObject::Value {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
};

namespace {

std::string Dump(const nlohmann::ordered_json& json, int indent) {
    return json.dump(indent, ' ', /*ensure_ascii=*/false,
                     nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace

JsonObject::JsonObject() : value_(std::make_unique<Value>()) {}
JsonObject::~JsonObject() = default;
JsonObject::JsonObject(JsonObject&&) noexcept = default;
JsonObject& JsonObject::operator=(JsonObject&&) noexcept = default;

// Keys go through std::string: a view has no conversion of its own.
void JsonObject::Add(std::string_view key, std::string_view text) {
    value_->json[std::string(key)] = std::string(text);
}

void JsonObject::Add(std::string_view key, long long number) {
    value_->json[std::string(key)] = number;
}

void JsonObject::Add(std::string_view key, bool flag) { value_->json[std::string(key)] = flag; }

void JsonObject::Add(std::string_view key, const std::vector<std::string>& texts) {
    value_->json[std::string(key)] = texts;
}

void JsonObject::Add(std::string_view key, const JsonObject& object) {
    value_->json[std::string(key)] = object.value_->json;
}

void JsonObject::Add(std::string_view key, const std::vector<JsonObject>& objects) {
    auto array = nlohmann::ordered_json::array();
    for (const JsonObject& object : objects)
        array.push_back(object.value_->json);
    value_->json[std::string(key)] = std::move(array);
}

void JsonObject::AddNull(std::string_view key) { value_->json[std::string(key)] = nullptr; }

std::string JsonObject::ToString() const { return Dump(value_->json, 2); }

std::string JsonObject::ToLine() const { return Dump(value_->json, -1); }

}  // namespace cli
