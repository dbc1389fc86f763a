#pragma once
// A JSON value, built whole and then written out indented: the form in
// which the checker hands its report to tools.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace velkast::check {

class JsonValue {
public:
    using Members = std::vector<std::pair<const wchar_t*, JsonValue>>;
    using Items = std::vector<JsonValue>;

    JsonValue() = default;  // null
    static JsonValue Bool(bool value) { return JsonValue(value); }
    static JsonValue Number(std::uint64_t value) { return JsonValue(value); }
    static JsonValue Text(std::wstring text) { return JsonValue(std::move(text)); }
    static JsonValue Text(const wchar_t* text) { return Text(std::wstring(text)); }
    // The text, or null when there is none.
    static JsonValue Text(const std::optional<std::wstring>& text) {
        return text ? Text(*text) : JsonValue();
    }
    static JsonValue Object(Members members) { return JsonValue(std::move(members)); }
    static JsonValue Array(Items items) { return JsonValue(std::move(items)); }

    // Two spaces a level, each member and item on a line of its own; no
    // line break at the end.
    std::wstring Written() const;

private:
    template <typename Value>
    explicit JsonValue(Value value) : value_(std::move(value)) {}

    void Write(std::wstring& out, std::size_t depth) const;

    std::variant<std::nullptr_t, bool, std::uint64_t, std::wstring, Members, Items> value_ = nullptr;
};

}  // namespace velkast::check
