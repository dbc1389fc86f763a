#pragma once
// The text rules that every path of the program goes through. Folder paths end
// in a backslash; a path is a folder and a name joined without a separator.

#include <cstddef>
#include <cstdint>
#include <string>

namespace velkast {

// Fixed path buffers hold at most 259 characters and a NUL.
constexpr std::size_t kMaxPath = 260;
using PathBuffer = wchar_t[kMaxPath];

// A path of kMaxPath characters or more: Windows opens it only with long path
// support.
inline bool IsLongPath(const std::wstring& path) {
    return path.size() >= kMaxPath;
}

// Results of CopyPathText, with the values of StringCchCopyW.
constexpr std::int32_t kPathCopied = 0;
constexpr std::int32_t kPathCut = static_cast<std::int32_t>(0x8007007Au);

// Copies at most 259 characters of the source (null counts as empty) and a
// NUL into the buffer; a longer source is cut and kPathCut reported.
std::int32_t CopyPathText(PathBuffer& dest, const wchar_t* src);

// Ends the path in a backslash, as PathAddBackslashW does in a buffer of 260
// characters: the text counts up to its first NUL; an empty text stays empty;
// a text of 259 characters or more that would need the backslash is left as
// it is, since the backslash and the NUL would not fit.
void AddBackslash(std::wstring& path);

// Turns every "/" into a backslash.
void ToBackslashes(std::wstring& path);

// Replaces each pair of backslashes with one, left to right, never pairing a
// backslash it produced: three in a row become two, four become two. The two
// backslashes that begin a network path (\\server\share) are kept.
void CollapseBackslashes(std::wstring& path);

}  // namespace velkast
