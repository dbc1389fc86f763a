#include "tools/check/JsonValue.h"

namespace velkast::check {
namespace {

void WriteString(std::wstring& out, const std::wstring& text) {
    static const wchar_t kHex[] = L"0123456789abcdef";
    out.push_back(L'"');
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out.push_back(L'\\');
            out.push_back(c);
        } else if (c == L'\n') {
            out += L"\\n";
        } else if (c == L'\r') {
            out += L"\\r";
        } else if (c == L'\t') {
            out += L"\\t";
        } else if (static_cast<std::uint32_t>(c) < 0x20) {
            out += L"\\u00";
            out.push_back(kHex[(c >> 4) & 0xF]);
            out.push_back(kHex[c & 0xF]);
        } else {
            out.push_back(c);
        }
    }
    out.push_back(L'"');
}

void NewLine(std::wstring& out, std::size_t depth) {
    out.push_back(L'\n');
    out.append(depth * 2, L' ');
}

// The members or items between their brackets, each written by the call.
template <typename List, typename WriteOne>
void WriteList(std::wstring& out,
               std::size_t depth,
               const List& list,
               wchar_t open,
               wchar_t close,
               WriteOne write) {
    out.push_back(open);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0) {
            out.push_back(L',');
        }
        NewLine(out, depth + 1);
        write(list[i]);
    }
    if (!list.empty()) {
        NewLine(out, depth);
    }
    out.push_back(close);
}

}  // namespace

std::wstring JsonValue::Written() const {
    std::wstring out;
    Write(out, 0);
    return out;
}

void JsonValue::Write(std::wstring& out, std::size_t depth) const {
    if (std::holds_alternative<std::nullptr_t>(value_)) {
        out += L"null";
    } else if (const bool* flag = std::get_if<bool>(&value_)) {
        out += *flag ? L"true" : L"false";
    } else if (const std::uint64_t* number = std::get_if<std::uint64_t>(&value_)) {
        out += std::to_wstring(*number);
    } else if (const std::wstring* text = std::get_if<std::wstring>(&value_)) {
        WriteString(out, *text);
    } else if (const Members* members = std::get_if<Members>(&value_)) {
        WriteList(out, depth, *members, L'{', L'}', [&](const auto& member) {
            WriteString(out, member.first);
            out += L": ";
            member.second.Write(out, depth + 1);
        });
    } else {
        WriteList(out, depth, std::get<Items>(value_), L'[', L']',
                  [&](const JsonValue& item) { item.Write(out, depth + 1); });
    }
}

}  // namespace velkast::check
