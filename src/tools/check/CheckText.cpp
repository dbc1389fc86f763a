#include "tools/check/CheckText.h"

#include <algorithm>
#include <vector>

#include "core/paths/Token.h"
#include "core/plan/CopyPlanBuilder.h"
#include "core/plan/ScriptNumber.h"

namespace velkast::check {
namespace {

constexpr std::size_t kQuoteMax = 120;

// The edit distance of two texts, or more than the limit once it is sure to be.
std::size_t Distance(const std::wstring& a, const std::wstring& b, std::size_t limit) {
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit) {
        return limit + 1;
    }
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::wstring Quote(const std::wstring& text) {
    if (text.size() <= kQuoteMax) {
        return L"\"" + text + L"\"";
    }
    return L"\"" + text.substr(0, kQuoteMax) + L"...\"";
}

std::wstring Number(std::uint64_t value) {
    return std::to_wstring(value);
}

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\x3000';
}

bool HasEdgeSpaces(const std::wstring& text) {
    return !text.empty() && (IsSpace(text.front()) || IsSpace(text.back()));
}

bool OnlySpaces(const std::wstring& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), IsSpace);
}

std::wstring Folded(const std::wstring& text) {
    std::wstring folded;
    for (wchar_t c : text) {
        if (IsSpace(c)) {
            continue;
        }
        if (c >= 0xFF01 && c <= 0xFF5E) {
            c = static_cast<wchar_t>(c - 0xFF01 + 0x21);
        }
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
        folded.push_back(c);
    }
    return folded;
}

const wchar_t* NearMissHeader(const std::wstring& text) {
    for (const wchar_t* header : {CopyPlanBuilder::kParameterHeader, CopyPlanBuilder::kPostProcessHeader}) {
        if (text != header && Distance(Folded(text), Folded(header), 2) <= 2) {
            return header;
        }
    }
    return nullptr;
}

bool IsPlainNumber(const std::wstring& text) {
    const std::size_t length = ScriptNumberLength(text);
    return length > 0 && std::all_of(text.begin() + static_cast<std::ptrdiff_t>(length), text.end(), IsSpace);
}

std::wstring PathKey(const std::wstring& path) {
    std::wstring key = path;
    for (wchar_t& c : key) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        } else if (c == L'/') {
            c = L'\\';
        }
    }
    return key;
}

bool IsAbsolute(const std::wstring& path) {
    return !path.empty() && (path[0] == L'\\' || path[0] == L'/' || (path.size() >= 2 && path[1] == L':'));
}

bool ClimbsOut(const std::wstring& path) {
    int depth = 0;
    for (const std::wstring& name : Tokens(path, L"\\/")) {
        if (name == L"..") {
            if (--depth < 0) {
                return true;
            }
        } else if (name != L".") {
            ++depth;
        }
    }
    return false;
}

}  // namespace velkast::check
