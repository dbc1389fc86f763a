#pragma once
// Small text rules of the checker's diagnostics: how script texts are quoted,
// which spaces count, how near misses and paths are compared.

#include <cstdint>
#include <string>

namespace velkast::check {

// A text in double quotes, shortened when it is long.
std::wstring Quote(const std::wstring& text);
std::wstring Number(std::uint64_t value);

// A space, half-width or full-width.
bool IsSpace(wchar_t c);
bool HasEdgeSpaces(const std::wstring& text);
bool OnlySpaces(const std::wstring& text);

// Lower-case ASCII, full-width ASCII as ASCII, spaces left out: the form in
// which near misses of a keyword are compared.
std::wstring Folded(const std::wstring& text);
// The block header that the text nearly is, without being it, or null.
const wchar_t* NearMissHeader(const std::wstring& text);

// A number written as the updater expects one: digits, perhaps signed, with
// nothing else but white space around.
bool IsPlainNumber(const std::wstring& text);

// A path compared as Windows compares names: ASCII case and the kind of
// slash do not matter.
std::wstring PathKey(const std::wstring& path);
bool IsAbsolute(const std::wstring& path);
// True when ".." takes the path above where it starts.
bool ClimbsOut(const std::wstring& path);

}  // namespace velkast::check
