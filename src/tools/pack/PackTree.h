#pragma once
// The files of a folder of the local file system, as velkast-pack lays them
// out in a package: every file below the folder, with its path relative to
// it, in a fixed order (the files of a folder by name, then its subfolders
// by name).

#include <filesystem>
#include <string>
#include <vector>

#include "tools/pack/PackReport.h"

namespace velkast::pack {

struct TreeFile {
    std::vector<std::wstring> names;  // the folders below the root, then the file's name
    std::filesystem::path path;       // where it is
};

struct Tree {
    std::vector<TreeFile> files;
    // Folders without a file anywhere below them (the root included).
    std::vector<std::filesystem::path> emptyFolders;
};

// The tree below the folder. What cannot be listed, a link to a folder and
// anything that is neither a file nor a folder are reported as errors.
Tree ListTree(const std::filesystem::path& root, Report& report);

// The names joined with backslashes.
std::wstring Joined(const std::vector<std::wstring>& names);

}  // namespace velkast::pack
