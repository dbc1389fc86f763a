#pragma once
// Splitting a path into drive, directory, name and extension, and the folder
// part that the program takes from a file path.

#include <string>

namespace velkast {

// Scratch record of a split, with the sizes of the runtime's secure path
// splitting; each buffer includes its NUL.
struct SplitParts {
    wchar_t drive[3];
    wchar_t directory[256];
    wchar_t name[256];
    wchar_t extension[256];
};

// Splits the path as _wsplitpath_s does: the drive is the first two characters
// when the second is a colon; the directory runs up to the last backslash or
// slash, inclusive; the extension begins at the last dot of the rest. When a
// part does not fit its buffer (or the path is null), every part is left empty
// and the result is false.
bool SplitPath(const wchar_t* path, SplitParts& parts);

// The drive and directory parts of the path: for a file path, its folder with
// a trailing separator. Empty when the path does not split.
std::wstring GetFolderPart(SplitParts& parts, const wchar_t* path);

}  // namespace velkast
